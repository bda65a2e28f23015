// Reads, loads and draws PDF files as the viewer does, for the tests that start it in a process of
// its own per file or batch (a file that ends the process names itself by the last "begin" line):
//   pdf_probe FILE...
// For each file it writes, as UTF-8 lines on its standard output:
//   begin <file>
//   field <name> <value>       the fields pdf::ReadPdfForm read (tab separated)
//   read-refused <reason>      ... or why it read none
//   refused <message>          the form window did not load the file: its message
//   ink <page> <pixels>        the dark pixels of each page drawn into a bitmap as printed
//   drawn <pages>              every page drawn, and the window painted
//   peak <bytes>               the process's peak working set so far
// Exit code 0 when every file was dealt with, refused or not; 2 when no file was given.
// Nothing here catches an exception: one that escapes the viewer ends the probe abnormally.
#include "viewer/FormWindow.h"
#include "viewer/PdfForm.h"
#include "../NoFormHost.h"
#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
    return out;
}

// Tabs and line ends inside a name or value would break the line format.
std::string OneLine(const std::wstring& text)
{
    std::string out = Utf8(text);
    for (char& c : out)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return out;
}

void Line(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
}

void PrintPeak()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        Line("peak\t" + std::to_string(static_cast<unsigned long long>(counters.PeakWorkingSetSize)));
    else
        Line("peak\tunknown");
    std::fflush(stdout);
}

bool ReadBytes(const std::wstring& path, std::string& bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) && read == bytes.size());
    }
    CloseHandle(file);
    return ok;
}

void ReadFields(const std::wstring& path)
{
    std::string bytes, error;
    if (!ReadBytes(path, bytes)) {
        Line("read-refused\tthe file could not be read");
        return;
    }
    pdf::FormDocument form;
    if (!pdf::ReadPdfForm(bytes, form, error)) {
        Line("read-refused\t" + OneLine(std::wstring(error.begin(), error.end())));
        return;
    }
    for (const pdf::FormField& field : form.fields) Line("field\t" + OneLine(field.name) + "\t" + OneLine(field.value));
}

// Handles what the window posted to itself (controls made in slices, paints) until nothing is left.
void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Pixels darker than mid-grey in the bitmap.
long DarkPixels(HDC dc, HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::string pixels(static_cast<size_t>(width) * height * 4, '\0');
    if (!GetDIBits(dc, bitmap, 0, height, &pixels[0], &info, DIB_RGB_COLORS)) return -1;
    long dark = 0;
    for (size_t i = 0; i + 3 < pixels.size(); i += 4) {
        const unsigned char* px = reinterpret_cast<const unsigned char*>(&pixels[i]);
        if ((px[0] * 114 + px[1] * 587 + px[2] * 299) / 1000 < 128) ++dark;
    }
    return dark;
}

// Draws every page as printed (at the screen's resolution) into a screen-compatible bitmap
// through the window's own page drawing.
int DrawPages(const viewer::FormWindow& window, size_t pages)
{
    const int width = 1100, height = 1100;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    for (size_t p = 0; p < pages; ++p) {
        PatBlt(dc, 0, 0, width, height, WHITENESS);
        window.Render(dc, static_cast<int>(p), viewer::PrintMode::All, 0, 0);
        SelectObject(dc, old);
        Line("ink\t" + std::to_string(p) + "\t" + std::to_string(DarkPixels(dc, bitmap, width, height)));
        old = SelectObject(dc, bitmap);
    }
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return static_cast<int>(pages);
}

void Probe(HWND frame, const std::wstring& path)
{
    Line("begin " + Utf8(path));
    std::fflush(stdout);
    ReadFields(path);
    std::fflush(stdout);
    NoFormHost host;
    viewer::FormWindow window(host);
    RECT client;
    GetClientRect(frame, &client);
    if (!window.Create(frame, client)) {
        Line("refused\tthe form window could not be made");
        return;
    }
    if (!window.Load(path)) Line("refused\t" + OneLine(window.Error()));
    std::fflush(stdout);
    RedrawWindow(window.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    Line("drawn\t" + std::to_string(DrawPages(window, window.Script().Form().pages.size())));
    DestroyWindow(window.Hwnd());
    Pump();
    PrintPeak();
}

HWND MakeFrame()
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"FormsteadPdfProbe";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND frame = CreateWindowExW(0, wc.lpszClassName, L"PDF probe", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 800,
                                 600, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    UpdateWindow(frame);
    return frame;
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args || count < 2) {
        std::fputs("usage: pdf_probe FILE...\n", stderr);
        return 2;
    }
    HWND frame = MakeFrame();
    for (int i = 1; i < count; ++i) Probe(frame, args[i]);
    DestroyWindow(frame);
    LocalFree(args);
    std::fflush(stdout);
    return 0;
}
