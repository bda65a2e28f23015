// The form page's button bar: Save as New, Save as Template and Update and Save turn what the user
// typed into the form into rows of the form's database; then the records page is shown.
#pragma once
#include <functional>

#include "framework/Dialog.h"

class CHTMLCtrl;
class FormPageHost;
enum class SaveStep;

// What became of one save.
enum class SaveOutcome
{
    Stored,
    Empty,  // every value was empty: nothing stored
    Failed, // the database refused it, or the exchange could not run
};

class CPdfButtons : public CDialog
{
public:
    enum { IDD = 148 };
    CPdfButtons() = default;

    // The host and the form page's browser control; both outlive the bar.
    void Attach(FormPageHost* host, CHTMLCtrl* browser)
    {
        m_host = host;
        m_browser = browser;
    }

    // The "Save" exchange on the browser control and a save as a new record.
    SaveOutcome SendSaveCommands(CHTMLCtrl& browser);

    CString m_strReply;

protected:
    void OnOK() override {}
    void OnCancel() override {}

    afx_msg void OnSaveAsNew();
    afx_msg void OnSaveAsTemplate();
    afx_msg void OnUpdateAndSave();
    afx_msg void OnZoomIn();
    afx_msg void OnZoomOut();
    afx_msg void OnCheckFormsUpdates();
    afx_msg void OnPrintOptions();
    afx_msg void OnClearingHouse();

    // Runs the exchange into m_strReply; false when nothing may be done (busy, or the page went away).
    bool Exchange(CHTMLCtrl& browser, const std::function<void(SaveStep)>& onStep = nullptr);
    void RepaintBrowser();

    FormPageHost* m_host = nullptr;
    CHTMLCtrl* m_browser = nullptr;

    DECLARE_MESSAGE_MAP()
};
