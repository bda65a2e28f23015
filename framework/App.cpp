// The application object: names, start-up, the message loop and pump, profile settings in the
// registry, the command line, and the Afx* functions that reach the application.
#include "framework/App.h"
#include "framework/Seams.h"
#include "framework/Controls.h"
#include <shellapi.h>
#include <ole2.h>

namespace
{
CWinApp* g_app = nullptr;
HINSTANCE g_resourceHandle = nullptr;
bool g_oleInitialised = false;
int g_quitCode = 0;

CString ExecutableBaseName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString name = path;
    name = name.Mid(name.ReverseFind(L'\\') + 1);
    int dot = name.ReverseFind(L'.');
    return dot >= 0 ? name.Left(dot) : name;
}
}

void CCommandLineInfo::ParseParam(const TCHAR* pszParam, BOOL bFlag, BOOL)
{
    if (!bFlag && m_strFileName.IsEmpty())
    {
        m_strFileName = pszParam;
        m_nShellCommand = FileOpen;
    }
}

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
    ON_COMMAND(ID_FILE_NEW, OnFileNew)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pPreviousApp(g_app)
{
    g_app = this;
    m_strExeName = ExecutableBaseName();
    m_strAppName = lpszAppName ? CString(lpszAppName) : m_strExeName;
    m_strProfileName = m_strAppName;
    m_pszExeName = m_strExeName;
    m_pszAppName = m_strAppName;
    m_pszProfileName = m_strProfileName;
}

CWinApp::~CWinApp()
{
    for (CDocTemplate* docTemplate : m_templates)
        delete docTemplate;
    m_templates.clear();
    if (g_app == this)
        g_app = m_pPreviousApp;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return g_quitCode;
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}

BOOL CWinApp::PumpMessage()
{
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1)
        return TRUE;
    if (!got)
    {
        g_quitCode = (int)msg.wParam;
        return FALSE;
    }
    if (!PreTranslateMessage(&msg))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL CWinApp::OnIdle(LONG)
{
    // Nothing of a handler is on the stack here, so the temporary wrappers can go.
    CWnd::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
    CMenu::DeleteTempMap();
    return FALSE;
}

int CWinApp::Run()
{
    for (;;)
    {
        MSG peek;
        if (!::PeekMessageW(&peek, nullptr, 0, 0, PM_NOREMOVE))
            OnIdle(0);
        if (!PumpMessage())
            break;
    }
    return ExitInstance();
}

void CWinApp::SetRegistryKey(LPCTSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    m_strProfileName = m_strAppName;
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(AfxGetResourceHandle(), nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (!m_pszRegistryKey || !m_pszProfileName)
        return nullptr;
    const CString registryKey = AfxGetRegistryKeyOverride();
    CString path = CString(L"Software\\") + (registryKey.IsEmpty() ? CString(m_pszRegistryKey) : registryKey) + L"\\" +
                   m_pszProfileName;
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                          nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

HKEY CWinApp::GetSectionKey(LPCTSTR lpszSection)
{
    HKEY appKey = GetAppRegistryKey();
    if (!appKey)
        return nullptr;
    HKEY key = nullptr;
    LONG status = ::RegCreateKeyExW(appKey, lpszSection, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                                    nullptr, &key, nullptr);
    ::RegCloseKey(appKey);
    return status == ERROR_SUCCESS ? key : nullptr;
}

UINT CWinApp::GetProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nDefault)
{
    if (!m_pszRegistryKey)
        return ::GetPrivateProfileIntW(lpszSection, lpszEntry, nDefault, m_pszProfileName);
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return nDefault;
    DWORD value = 0, type = 0, size = sizeof(value);
    LONG status = ::RegQueryValueExW(key, lpszEntry, nullptr, &type, (BYTE*)&value, &size);
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof(value))
        return nDefault;
    return value;
}

BOOL CWinApp::WriteProfileInt(LPCTSTR lpszSection, LPCTSTR lpszEntry, int nValue)
{
    if (!m_pszRegistryKey)
    {
        wchar_t text[16];
        wsprintfW(text, L"%d", nValue);
        return ::WritePrivateProfileStringW(lpszSection, lpszEntry, text, m_pszProfileName);
    }
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return FALSE;
    DWORD value = (DWORD)nValue;
    LONG status = ::RegSetValueExW(key, lpszEntry, 0, REG_DWORD, (const BYTE*)&value, sizeof(value));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszDefault)
{
    if (!m_pszRegistryKey)
    {
        wchar_t text[4096] = {};
        ::GetPrivateProfileStringW(lpszSection, lpszEntry, lpszDefault ? lpszDefault : L"", text, 4096, m_pszProfileName);
        return text;
    }
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return lpszDefault;
    DWORD type = 0, size = 0;
    CString value;
    LONG status = ::RegQueryValueExW(key, lpszEntry, nullptr, &type, nullptr, &size);
    if (status == ERROR_SUCCESS && type == REG_SZ)
    {
        int units = (int)(size / sizeof(wchar_t));
        wchar_t* buffer = value.GetBuffer(units + 1);
        status = ::RegQueryValueExW(key, lpszEntry, nullptr, &type, (BYTE*)buffer, &size);
        buffer[status == ERROR_SUCCESS ? size / sizeof(wchar_t) : 0] = 0;
        value.ReleaseBuffer();
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ)
        return lpszDefault;
    return value;
}

BOOL CWinApp::WriteProfileString(LPCTSTR lpszSection, LPCTSTR lpszEntry, LPCTSTR lpszValue)
{
    if (!m_pszRegistryKey)
        return ::WritePrivateProfileStringW(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
    if (!lpszEntry)
    {
        // No entry: the whole section goes.
        HKEY appKey = GetAppRegistryKey();
        if (!appKey)
            return FALSE;
        LONG status = ::RegDeleteKeyW(appKey, lpszSection);
        ::RegCloseKey(appKey);
        return status == ERROR_SUCCESS;
    }
    HKEY key = GetSectionKey(lpszSection);
    if (!key)
        return FALSE;
    LONG status;
    if (!lpszValue)
        status = ::RegDeleteValueW(key, lpszEntry);
    else
        status = ::RegSetValueExW(key, lpszEntry, 0, REG_SZ, (const BYTE*)lpszValue,
                                  (DWORD)((lstrlenW(lpszValue) + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    ParseCommandLine(rCmdInfo, ::GetCommandLineW());
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo, LPCWSTR lpszCommandLine)
{
    int count = 0;
    LPWSTR* arguments = ::CommandLineToArgvW(lpszCommandLine, &count);
    if (!arguments)
        return;
    for (int i = 1; i < count; ++i)
    {
        const wchar_t* parameter = arguments[i];
        BOOL flag = FALSE;
        if (parameter[0] == L'-' || parameter[0] == L'/')
        {
            flag = TRUE;
            ++parameter;
        }
        rCmdInfo.ParseParam(parameter, flag, i == count - 1);
    }
    ::LocalFree(arguments);
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand)
    {
    case CCommandLineInfo::FileNew:
        OnFileNew();
        return m_pMainWnd != nullptr;
    case CCommandLineInfo::FileOpen:
        if (m_templates.empty() || !m_templates.front()->OpenDocumentFile(rCmdInfo.m_strFileName))
            return FALSE;
        return m_pMainWnd != nullptr;
    default:
        return TRUE;
    }
}

void CWinApp::OnFileNew()
{
    if (!m_templates.empty())
        m_templates.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return -1;
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = lpCmdLine;
    app->m_nCmdShow = nCmdShow;
    int exitCode;
    if (!app->InitInstance())
    {
        if (app->m_pMainWnd)
            app->m_pMainWnd->DestroyWindow();
        exitCode = app->ExitInstance();
    }
    else
    {
        exitCode = app->Run();
    }
    if (g_oleInitialised)
    {
        ::OleUninitialize();
        g_oleInitialised = false;
    }
    return exitCode;
}

CWinApp* AfxGetApp()
{
    return g_app;
}

CWnd* AfxGetMainWnd()
{
    return g_app ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle()
{
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleW(nullptr);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_resourceHandle ? g_resourceHandle : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_resourceHandle = hInstResource;
}

LPCTSTR AfxGetAppName()
{
    return g_app ? g_app->m_pszAppName : L"Formstead";
}

BOOL AfxPumpMessage()
{
    if (g_app)
    {
        if (g_app->PumpMessage())
            return TRUE;
        ::PostQuitMessage(g_quitCode);
        return FALSE;
    }
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == -1)
        return TRUE;
    if (!got)
    {
        ::PostQuitMessage((int)msg.wParam);
        return FALSE;
    }
    if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL AfxOleInit()
{
    HRESULT hr = ::OleInitialize(nullptr);
    if (FAILED(hr))
        return FALSE;
    g_oleInitialised = true;
    return TRUE;
}

void AfxEnableControlContainer()
{
    // Hosted controls here are our own windows (the viewer); nothing needs registering for them.
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    CWnd* mainWnd = AfxGetMainWnd();
    HWND owner = mainWnd && ::IsWindowEnabled(mainWnd->m_hWnd) ? mainWnd->m_hWnd : nullptr;
    return AfxShowMessageBox(owner, lpszText, AfxGetAppName(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(AfxGetResourceHandle(), nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
