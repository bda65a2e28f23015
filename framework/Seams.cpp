// The default behaviour behind each seam (the real system call) and the swap a test makes.
#include "framework/Seams.h"
#include "framework/App.h"
#include <shellapi.h>

namespace
{
MessageBoxSink g_messageBoxSink;
FileChooser g_fileChooser;
ShellOpener g_shellOpener;
Clock g_clock;
}

void AfxSetMessageBoxSink(MessageBoxSink sink)
{
    g_messageBoxSink = std::move(sink);
}

bool AfxHasMessageBoxSink()
{
    return static_cast<bool>(g_messageBoxSink);
}

int AfxShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    CString caption = lpszCaption ? lpszCaption : AfxGetAppName();
    CString text = lpszText;
    if (g_messageBoxSink)
        return g_messageBoxSink(hWndOwner, text, caption, nType);
    return ::MessageBoxW(hWndOwner, text, caption, nType);
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
