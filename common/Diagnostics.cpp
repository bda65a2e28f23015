// Debug-viewer trace and module log file. The viewer is reached with synchronous messages; the log file
// is opened, appended to and closed for every line so that other readers always see whole lines.
#include "common/Diagnostics.h"
#include <cstring>
#include <cwchar>

namespace {

const char kViewerClass[] = "TavikDebug";
char g_viewerClass[64] = "TavikDebug";
const UINT kViewerProbe = WM_USER + 4;
const int kViewerEdit = 1020;
const DWORD kModulePathMax = 1000;

// The viewer window when one is running and accepts text, else null.
HWND AcceptingViewer(bool wide)
{
    HWND viewer = FindWindowA(g_viewerClass, nullptr);
    if (!viewer)
        return nullptr;
    LRESULT answer = wide ? SendMessageW(viewer, kViewerProbe, 0, 0) : SendMessageA(viewer, kViewerProbe, 0, 0);
    return answer == 0 ? viewer : nullptr;
}

} // namespace

bool SetDebugViewerClass(const char* className)
{
    const char* name = className && *className ? className : kViewerClass;
    if (std::strlen(name) >= sizeof g_viewerClass)
        return false;
    std::strcpy(g_viewerClass, name);
    return true;
}

const char* DebugViewerClass()
{
    return g_viewerClass;
}

void DebugTraceA(const char* text, BOOL lineBreak)
{
    HWND viewer = AcceptingViewer(false);
    if (!viewer)
        return;
    SendDlgItemMessageA(viewer, kViewerEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text ? text : ""));
    if (lineBreak)
        SendDlgItemMessageA(viewer, kViewerEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>("\r\n"));
}

void DebugTraceW(const wchar_t* text, BOOL lineBreak)
{
    HWND viewer = AcceptingViewer(true);
    if (!viewer)
        return;
    SendDlgItemMessageW(viewer, kViewerEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(text ? text : L""));
    if (lineBreak)
        SendDlgItemMessageW(viewer, kViewerEdit, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(L"\r\n"));
}

void SQLiteTraceToViewer(const char* sql, BOOL lineBreak)
{
    DebugTraceA(sql, lineBreak);
}

void AppendToModuleLog(const char* text, BOOL lineBreak)
{
    wchar_t path[kModulePathMax + 8];
    DWORD length = GetModuleFileNameW(nullptr, path, kModulePathMax);
    if (length == 0 || length >= kModulePathMax)
        return;   // no name, or a name cut short: better no log than a log in the wrong place
    wcscpy(path + length, L".log");

    HANDLE file = CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    LARGE_INTEGER zero = {};
    if (SetFilePointerEx(file, zero, nullptr, FILE_END)) {
        DWORD written = 0;
        DWORD size = text ? static_cast<DWORD>(std::strlen(text)) : 0;
        bool ok = size == 0 || (WriteFile(file, text, size, &written, nullptr) && written == size);
        if (ok && lineBreak)
            WriteFile(file, "\r\n", 2, &written, nullptr);
    }
    CloseHandle(file);
}
