// Start-up and shutdown of the program.
#include "app/FormsteadApp.h"
#include "app/FormsteadDoc.h"
#include "app/FormsteadView.h"
#include "app/MainFrame.h"
#include "common/Diagnostics.h"
#include "framework/Seams.h"
#include "formdb/MasterDatabase.h"
#include "resources/resource.h"
#include <gdiplus.h>
#include <io.h>

const wchar_t kInitErrorCaption[] = L"Init Error";

IMPLEMENT_DYNAMIC(CFormsteadApp, CWinApp)

CFormsteadApp::CFormsteadApp() : CWinApp(L"Formstead")
{
}

BOOL CFormsteadApp::InitInstance()
{
    Gdiplus::GdiplusStartupInput gdiplusInput;   // version 1, no debug callback, both flags off
    m_bGdiplusStarted = Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr) == Gdiplus::Ok;

    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);

    CWinApp::InitInstance();
    // What the form viewer reports (a page cut short by a limit, a file it refused) goes to the trace.
    AfxSetTraceSink([](const wchar_t* line) { DebugTraceW(line, TRUE); });
    if (!AfxOleInit())
    {
        AfxMessageBox(IDP_OLE_INIT_FAILED);
        return FALSE;
    }
    AfxEnableControlContainer();

    char modulePath[512] = {};
    ::GetModuleFileNameA(nullptr, modulePath, sizeof(modulePath));
    char* lastSlash = strrchr(modulePath, '\\');
    if (lastSlash)
        lastSlash[1] = 0;
    char containerPath[600];
    wsprintfA(containerPath, "%scontainer.htm", modulePath);
    if (_access(containerPath, 0) != 0)
    {
        AfxShowMessageBox(nullptr, L"Can not access [container.htm]. The application will be closed", kInitErrorCaption, MB_OK);
        return FALSE;
    }

    MasterLogo logo;
    if (!ReadMasterLogo(logo))
    {
        AfxShowMessageBox(nullptr, L"Your master-database is corrupted. The application will be closed", kInitErrorCaption, MB_OK);
        return FALSE;
    }
    m_strUpdatesAddress = logo.updatesAddress;

    SetRegistryKey(L"Formstead");

    CSingleDocTemplate* docTemplate = new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CFormsteadDoc),
                                                             RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CFormsteadView));
    AddDocTemplate(docTemplate);

    if (m_strCommandLine.IsEmpty())
        ParseCommandLine(m_cmdInfo);
    else
        ParseCommandLine(m_cmdInfo, m_strCommandLine);
    if (!ProcessShellCommand(m_cmdInfo))
    {
        if (logo.logo)
            ::DeleteObject(logo.logo);
        return FALSE;
    }

    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    // A dialog of start-up (a new form's registration) may have taken the activation with the focus
    // of one of its controls; the user works in the main window.
    m_pMainWnd->SetForegroundWindow();
    ::SetActiveWindow(m_pMainWnd->m_hWnd);

    if (logo.logo)
    {
        CMainFrame* frame = static_cast<CMainFrame*>(m_pMainWnd);
        HWND picture = ::GetDlgItem(frame->m_wndNavigator.m_hWnd, IDC_LOGO);
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)logo.logo);
        if (!::SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0))
        {
            // The picture did not take the bitmap; it shows the system's close glyph instead.
            ::DeleteObject(logo.logo);
            ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)::LoadBitmapW(nullptr, MAKEINTRESOURCEW(32754)));
        }
    }
    return TRUE;
}

int CFormsteadApp::ExitInstance()
{
    ::DeleteFileW(LogoFilePath());
    if (m_bGdiplusStarted)
    {
        Gdiplus::GdiplusShutdown(m_gdiplusToken);
        m_bGdiplusStarted = false;
    }
    return CWinApp::ExitInstance();
}
