// The form page (step "Create New Record"): shows the current form in the browser control, makes
// sure the form is registered before it is used, loads the current record into it, and carries
// the button bar and the zoom bar.
#pragma once
#include <memory>

#include "common/TabCtrlEx.h"
#include "framework/Dialog.h"
#include "pages/PdfButtons.h"
#include "pages/Zoomer.h"
#include "bridge/HTMLCtrl.h"

#include "pages/FormPageHost.h"
#include "pages/PageMinimum.h"

class CPage3 : public CDialog, public PageMinimum
{
public:
    enum { IDD = 144 };
    explicit CPage3(FormPageHost* host) : m_host(host) {}
    // The page keeps the host and deletes it with itself.
    explicit CPage3(std::unique_ptr<FormPageHost> host) : m_host(host.get()), m_ownedHost(std::move(host)) {}

    // Sends the current record's (or template's) form XML to the form as "FieldSet|" + XML.
    void LoadRecordIntoPdf();

    // Each bar control whole, and a strip of the form below the bars.
    int MinimumWidth() const override;
    int MinimumHeight(int width) const override;

    CHTMLCtrl m_browser;
    CPdfButtons m_buttons;
    CZoomer m_zoomer;
    CTabCtrlEx m_tabs;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    // Places the tab strip, the two bars and the form in a page of this client size.
    void LayOut(int cx, int cy);
    // Where the bars go in a page this wide (FlowBarControls then gives them the planned sizes).
    struct BarsPlan
    {
        int room = 0;        // the zoom bar's row width
        int zoomLeft = 0;
        int buttonsTop = 0;
        int buttonsRoom = 0; // the button bar's row width
        int buttonsLeft = 0;
        int bottom = 0;      // below both bars
    };
    BarsPlan PlanBars(int cx) const;
    afx_msg void OnTabChange(NMHDR* header, LRESULT* result);

    enum class FormState
    {
        Usable,  // registered (now)
        Refused, // not registered or unreadable: the user has been told
        Gone,    // the page's window went away during the registration: touch nothing
    };
    // Checks that the form is registered, running the registration when it is not.
    FormState EnsureRegistered();
    // Disables the save buttons and says why the form cannot be used.
    void RefuseForm(const CString& why);

    FormPageHost* m_host;
    std::unique_ptr<FormPageHost> m_ownedHost;
    bool m_usable = false;

    DECLARE_MESSAGE_MAP()
};
