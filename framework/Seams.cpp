// The default behaviour behind each seam (the real system call) and the swap a test makes.
#include "framework/Seams.h"
#include "framework/App.h"
#include "framework/Dialog.h"
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>
#include <vector>

namespace
{
MessageBoxSink g_messageBoxSink;
FileChooser g_fileChooser;
ShellOpener g_shellOpener;
Clock g_clock;
Sleeper g_sleeper;
TraceSink g_traceSink;
CString g_registryKeyOverride;
CString g_appDataFolder;

// The program the system starts for addresses of that scheme ("mailto", "http"); empty when none.
CString ProgramForScheme(LPCWSTR scheme)
{
    wchar_t program[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (::AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, scheme, L"open", program, &length) != S_OK)
        return CString();
    return CString(program);
}

// Whether a mail program takes mail addresses. A system that hands them to its web browser has none
// (the browser finds none and says nothing), though it reports the browser started.
bool HasMailProgram()
{
    const CString mail = ProgramForScheme(L"mailto");
    return !mail.IsEmpty() && mail.CompareNoCase(ProgramForScheme(L"http")) != 0;
}

bool IsMailAddress(LPCTSTR text)
{
    return text && ::StrCmpNIW(text, L"mailto:", 7) == 0;
}
}

void AfxSetMessageBoxSink(MessageBoxSink sink)
{
    g_messageBoxSink = std::move(sink);
}

bool AfxHasMessageBoxSink()
{
    return static_cast<bool>(g_messageBoxSink);
}

namespace
{
// The message boxes being shown on this thread, innermost last: the window each is centred on and
// the box once it has been seen.
struct CentredBox
{
    HWND owner;
    HWND box;
};
thread_local std::vector<CentredBox> t_boxes;

// Centres the box on the owner's top-level window, kept inside the work area of the owner's monitor.
void CentreOnOwner(HWND box, HWND owner)
{
    HWND top = ::GetAncestor(owner, GA_ROOT);
    RECT ownerRect, boxRect;
    if (!top || !::IsWindowVisible(top) || ::IsIconic(top) || !::GetWindowRect(top, &ownerRect) ||
        !::GetWindowRect(box, &boxRect))
        return;
    MONITORINFO monitor = {sizeof(monitor)};
    if (!::GetMonitorInfoW(::MonitorFromWindow(top, MONITOR_DEFAULTTONEAREST), &monitor))
        return;
    const RECT& work = monitor.rcWork;
    const int width = boxRect.right - boxRect.left, height = boxRect.bottom - boxRect.top;
    int x = (ownerRect.left + ownerRect.right - width) / 2;
    int y = (ownerRect.top + ownerRect.bottom - height) / 2;
    x = std::max<int>(work.left, std::min<int>(x, work.right - width));
    y = std::max<int>(work.top, std::min<int>(y, work.bottom - height));
    ::SetWindowPos(box, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The system places a message box in the middle of the screen; as the box is first activated it is
// moved over the window it belongs to.
LRESULT CALLBACK CentreBoxHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && !t_boxes.empty() && !t_boxes.back().box)
    {
        HWND activated = (HWND)wParam;
        wchar_t className[16] = {};
        ::GetClassNameW(activated, className, 16);
        if (lstrcmpW(className, L"#32770") == 0)
        {
            t_boxes.back().box = activated;
            CentreOnOwner(activated, t_boxes.back().owner);
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
}

int AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    // While a modal dialog runs the box belongs to it (closing the box must not enable a window the
    // dialog keeps disabled); else to the caller's window.
    const HWND modalOwner = CDialog::ModalOwnerFor(hWndOwner);
    if (modalOwner != ::GetAncestor(hWndOwner, GA_ROOT))
        hWndOwner = modalOwner;
    CString caption = lpszCaption ? lpszCaption : AfxGetAppName();
    CString text = lpszText;
    if (g_messageBoxSink)
        return g_messageBoxSink(hWndOwner, text, caption, nType);
    if (!hWndOwner)
        return ::MessageBoxW(hWndOwner, text, caption, nType);
    t_boxes.push_back({hWndOwner, nullptr});
    HHOOK hook = ::SetWindowsHookExW(WH_CBT, CentreBoxHook, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(hWndOwner, text, caption, nType);
    if (hook)
        ::UnhookWindowsHookEx(hook);
    t_boxes.pop_back();
    return answer;
}

void AfxSetFileChooser(FileChooser chooser)
{
    g_fileChooser = std::move(chooser);
}

BOOL AfxChooseFile(OPENFILENAMEW& ofn, bool bOpen)
{
    if (g_fileChooser)
        return g_fileChooser(ofn, bOpen);
    return bOpen ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
}

void AfxSetShellOpener(ShellOpener opener)
{
    g_shellOpener = std::move(opener);
}

BOOL AfxShellOpen(HWND hWndOwner, LPCTSTR lpszVerb, LPCTSTR lpszFile, LPCTSTR lpszParameters,
                  LPCTSTR lpszDirectory, int nShowCmd)
{
    if (g_shellOpener)
        return g_shellOpener(hWndOwner, lpszVerb, lpszFile, lpszParameters, lpszDirectory, nShowCmd);
    if (IsMailAddress(lpszFile) && !HasMailProgram())
        return FALSE;
    HINSTANCE result = ::ShellExecuteW(hWndOwner, lpszVerb, lpszFile, lpszParameters, lpszDirectory, nShowCmd);
    return (INT_PTR)result > 32;   // values up to 32 are error codes
}

void AfxSetClock(Clock clock)
{
    g_clock = std::move(clock);
}

SYSTEMTIME AfxGetLocalTime()
{
    if (g_clock)
        return g_clock();
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

void AfxSetSleeper(Sleeper sleeper)
{
    g_sleeper = std::move(sleeper);
}

void AfxSleep(DWORD milliseconds)
{
    if (g_sleeper)
        g_sleeper(milliseconds);
    else
        ::Sleep(milliseconds);
}

void AfxSetTraceSink(TraceSink sink)
{
    g_traceSink = std::move(sink);
}

void AfxTraceLine(const wchar_t* line)
{
    if (g_traceSink)
        g_traceSink(line ? line : L"");
}

void AfxSetRegistryKeyOverride(const CString& registryKey)
{
    g_registryKeyOverride = registryKey;
}

CString AfxGetRegistryKeyOverride()
{
    return g_registryKeyOverride;
}

void AfxSetAppDataFolder(const CString& folder)
{
    g_appDataFolder = folder;
}

CString AfxGetAppDataFolder()
{
    if (!g_appDataFolder.IsEmpty())
        return g_appDataFolder;
    wchar_t appData[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, appData, CSIDL_APPDATA, TRUE))
        return CString();
    return appData;
}
