// The application object (CWinApp): start-up, the message loop and the one-message pump every modal
// loop and wait uses, the profile (registry) functions, the command line, and the Afx* globals.
#pragma once
#include <vector>
#include "framework/Wnd.h"
#include "framework/Frame.h"

class CCommandLineInfo : public CObject
{
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppUnregister, FileNothing = -1 };
    CCommandLineInfo() = default;
    // Called once for each argument, after a leading '/' or '-' has been removed (bFlag is then TRUE).
    virtual void ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL bLast);

    int m_nShellCommand = FileNew;
    CString m_strFileName;
};

class CWinApp : public CCmdTarget
{
    DECLARE_DYNAMIC(CWinApp)
public:
    // The one application object of the program; it registers itself for AfxGetApp.
    explicit CWinApp(LPCTSTR lpszAppName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    LPTSTR m_lpCmdLine = nullptr;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCTSTR m_pszAppName = nullptr;       // the program's title
    LPCTSTR m_pszExeName = nullptr;       // the executable's base name
    LPCTSTR m_pszRegistryKey = nullptr;   // set by SetRegistryKey
    LPCTSTR m_pszProfileName = nullptr;   // the key under the registry key (the program's title)
    CWnd* m_pMainWnd = nullptr;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop: runs until WM_QUIT, then ExitInstance; answers its exit code.
    virtual int Run();
    // Takes one message from the queue (waiting for one), lets the windows translate it and dispatches
    // it. FALSE on WM_QUIT, which is posted again for the outer loop.
    virtual BOOL PumpMessage();
    // Offers the message to its window and the window's parents (PreTranslateMessage), up to the top.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);

    // Profile settings: HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>.
    void SetRegistryKey(LPCTSTR lpszRegistryKey);
    void SetRegistryKey(UINT nIDRegistryKey);
    UINT GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault);
    BOOL WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue);
    CString GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault = nullptr);
    BOOL WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue);
    // The open key of the program or of a section (created when missing); the caller closes it.
    HKEY GetAppRegistryKey();
    HKEY GetSectionKey(LPCTSTR lpszSection);

    void AddDocTemplate(CDocTemplate* pTemplate) { m_templates.push_back(pTemplate); }
    void ParseCommandLine(CCommandLineInfo& rCmdInfo);
    // The same for a given command line (program name first, as GetCommandLine gives it).
    void ParseCommandLine(CCommandLineInfo& rCmdInfo, LPCWSTR lpszCommandLine);
    BOOL ProcessShellCommand(CCommandLineInfo& rCmdInfo);
    afx_msg void OnFileNew();
    afx_msg void OnAppExit();


protected:
    std::vector<CDocTemplate*> m_templates;
    CWinApp* m_pPreviousApp;   // an application object made while another lived (tests) hands back to it
    CString m_strAppName, m_strExeName, m_strRegistryKey, m_strProfileName;
    friend int AfxWinMain(HINSTANCE, HINSTANCE, LPTSTR, int);
    DECLARE_MESSAGE_MAP()
};

// The framework's main routine: initialises the application object, runs it, answers the exit code.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
LPCTSTR AfxGetAppName();
// Pumps one message through the application's pump (or a plain one without an application).
BOOL AfxPumpMessage();
// OLE for the thread; FALSE when it cannot be initialised.
BOOL AfxOleInit();
void AfxEnableControlContainer();
// A message box captioned with the program's name, owned by the main window; goes through the
// message-box sink.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
