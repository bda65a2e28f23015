// The registration dialog: shows a form's PDF, asks the form for its field list and creates the
// form's database. The same dialog shows the updates page (mode 2) and a completed file to import
// (mode 3).
#pragma once
#include <memory>

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "bridge/HTMLCtrl.h"

#include "pages/FormPageHost.h"

class RegisterForm : public CDialog
{
public:
    enum { IDD = 151 };
    enum Mode
    {
        kModeNone = 0,
        kModeRegister = 1,
        kModeDownload = 2,
        kModeImport = 3,
    };

    explicit RegisterForm(FormPageHost* host, CWnd* parent = nullptr) : CDialog(IDD, parent), m_host(host) {}
    // The dialog keeps the host and deletes it with itself.
    explicit RegisterForm(std::unique_ptr<FormPageHost> host)
        : CDialog(IDD, nullptr), m_host(host.get()), m_ownedHost(std::move(host))
    {
    }

    // Prepares the (modeless) dialog for a mode and lays it out.
    void SetMode(int mode);

    CHTMLCtrl m_browser;
    int m_nMode = kModeNone;
    CString m_szImportPath;
    CString m_strReply;
    CButton m_cancel;

protected:
    BOOL OnInitDialog() override;
    afx_msg void OnRegister();
    // "Import this form" (mode 3): stores the shown file as a new record of the current form.
    afx_msg void OnImportThisForm();
    afx_msg void OnSize(UINT nType, int cx, int cy);

    void ApplyMode();
    void LoadPdf(const CString& path);
    void LayOut();

    FormPageHost* m_host;
    std::unique_ptr<FormPageHost> m_ownedHost;
    bool m_browserPlaced = false;

    DECLARE_MESSAGE_MAP()
};

// Runs the registration of the host's current form as a modal dialog; IDOK after a registration.
INT_PTR RunRegisterFormModal(FormPageHost& host, CWnd* parent);
