// Appending a text dump to its file.
#include "export/TextDump.h"

#include <windows.h>

const char kTextDumpWarning[] =
    "[!!!WARNING. SYSTEM MESSAGE!!!] Can not save data. Please save the record to the database, restart the "
    "application and try again. Contact your supplier if the issue will still appear [!!!WARNING. SYSTEM MESSAGE!!!]";

bool AppendTextDump(const std::wstring& path, const std::string& bytes)
{
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size())
    {
        DWORD written = 0;
        ok = ::WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &written, nullptr) &&
             written > 0;
        done += written;
    }
    return ::CloseHandle(file) && ok;
}
