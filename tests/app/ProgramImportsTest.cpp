// The libraries the program's executable names in its import table, which the system loads before the
// program's first line runs: those needed only for file and print dialogs and downloads are not among
// them (they are loaded on first use).
#include <gtest/gtest.h>
#include "tests/support/TempFolder.h"
#include <windows.h>
#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace
{
// The file offset of a relative virtual address, through the section that holds it; 0 when none does.
size_t OffsetOf(const std::string& image, const IMAGE_NT_HEADERS32& nt, size_t sectionsAt, DWORD rva)
{
    for (WORD i = 0; i < nt.FileHeader.NumberOfSections; ++i)
    {
        IMAGE_SECTION_HEADER section;
        if (sectionsAt + (i + 1) * sizeof(section) > image.size())
            return 0;
        memcpy(&section, image.data() + sectionsAt + i * sizeof(section), sizeof(section));
        if (rva >= section.VirtualAddress && rva < section.VirtualAddress + section.SizeOfRawData)
            return section.PointerToRawData + (rva - section.VirtualAddress);
    }
    return 0;
}

// The names of the imported libraries, in lower case, read from the file; empty when it is no 32-bit PE.
std::vector<std::string> ImportedLibraries(const std::string& image)
{
    std::vector<std::string> names;
    IMAGE_DOS_HEADER dos;
    if (image.size() < sizeof(dos))
        return names;
    memcpy(&dos, image.data(), sizeof(dos));
    IMAGE_NT_HEADERS32 nt;
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || image.size() < dos.e_lfanew + sizeof(nt))
        return names;
    memcpy(&nt, image.data() + dos.e_lfanew, sizeof(nt));
    if (nt.Signature != IMAGE_NT_SIGNATURE || nt.OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC)
        return names;
    const size_t sectionsAt = dos.e_lfanew + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + nt.FileHeader.SizeOfOptionalHeader;
    const DWORD importsRva = nt.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    size_t at = OffsetOf(image, nt, sectionsAt, importsRva);
    for (IMAGE_IMPORT_DESCRIPTOR entry; at && at + sizeof(entry) <= image.size(); at += sizeof(entry))
    {
        memcpy(&entry, image.data() + at, sizeof(entry));
        if (!entry.Name)
            break;
        const size_t nameAt = OffsetOf(image, nt, sectionsAt, entry.Name);
        if (!nameAt || nameAt >= image.size())
            break;
        std::string name(image.c_str() + nameAt);
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return (char)std::tolower(c); });
        names.push_back(name);
    }
    return names;
}

bool Holds(const std::vector<std::string>& names, const char* name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}
}

TEST(ProgramImports, DialogAndDownloadLibrariesAreNotLoadedAtStart)
{
    const std::string image = ReadWholeFile(FORMSTEAD_PROGRAM_FILE);
    ASSERT_GT(image.size(), 4096u);
    const std::vector<std::string> names = ImportedLibraries(image);
    // The reader finds what every window program imports...
    EXPECT_TRUE(Holds(names, "kernel32.dll"));
    EXPECT_TRUE(Holds(names, "user32.dll"));
    EXPECT_TRUE(Holds(names, "gdi32.dll"));
    // ...and the libraries of the file and print dialogs and of downloads are not there.
    EXPECT_FALSE(Holds(names, "comdlg32.dll"));
    EXPECT_FALSE(Holds(names, "wininet.dll"));
}
