// Calls a function of a library that no system has, loaded on first use: the failure report's message goes to the file named on the command line (caption, a
// vertical bar, text, in UTF-8), and the report ends the program with exit code 1. Exit code 0 and
// "returned" in the file would mean the call went on without its library.
//   delay_failure_probe <output file>
#include "framework/DelayLoad.h"
#include "framework/Seams.h"
#include <cstdio>
#include <string>

extern "C" int WINAPI AbsentFunction(int value);   // from formstead_absent.dll, loaded on first use

namespace
{
std::string Utf8(const CString& text)
{
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string bytes(size > 0 ? size : 0, '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.GetString(), text.GetLength(), &bytes[0], size, nullptr, nullptr);
    return bytes;
}

FILE* g_out = nullptr;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2 || !(g_out = _wfopen(argv[1], L"wb")))
        return 2;
    AfxSetMessageBoxSink([](HWND, const CString& text, const CString& caption, UINT) {
        const std::string line = Utf8(caption) + "|" + Utf8(text);
        std::fwrite(line.data(), 1, line.size(), g_out);
        std::fflush(g_out);
        return IDOK;
    });
    const int result = AbsentFunction(7);
    std::fprintf(g_out, "\nreturned %d", result);
    std::fclose(g_out);
    return 0;
}
