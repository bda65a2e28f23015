// "Print Preferences": the print mode and the offsets for pre-printed paper, sent to the form as
// bridge commands; the offsets are kept in FormInfo.zoomfactor.
#pragma once
#include <functional>

#include "export/PrintOffsets.h"
#include "framework/Dialog.h"

class CHTMLCtrl;
class FormPageHost;

class CPrintForm : public CDialog
{
public:
    enum { IDD = 105 };
    CPrintForm(FormPageHost& host, CHTMLCtrl& browser, CWnd* parent = nullptr)
        : CDialog(IDD, parent), m_host(host), m_browser(browser)
    {
    }

    // Called when the dialog moves (the form page repaints what the dialog uncovered).
    std::function<void()> m_onMove;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;     // "Print": the dialog stays open
    void OnCancel() override; // "CancelPrint", then closes

    afx_msg void OnShiftUp();
    afx_msg void OnShiftDown();
    afx_msg void OnShiftRight();
    afx_msg void OnShiftLeft();
    afx_msg void OnEntireForm();
    afx_msg void OnFilledTextOnly();
    afx_msg void OnBlackWhiteForm();
    afx_msg void OnMove(int x, int y);

    // Reads both edits; a text that is not a whole number is refused with a message and the edit
    // gets back the last accepted value. False when either was refused.
    bool ReadOffsets();
    void ShowOffsets();
    // Moves the offsets by the given steps and sends them as "Shift=horizontal,vertical".
    void SendShift(int horizontal, int vertical);
    void Send(const wchar_t* command);
    // Checks the radio (and only it) and sends its mode command.
    void SelectMode(int radio, const wchar_t* command);
    void StoreOffsets();

    FormPageHost& m_host;
    CHTMLCtrl& m_browser;
    PrintOffsets m_offsets; // the last accepted values

    DECLARE_MESSAGE_MAP()
};
