// Export benchmark: the whole clearinghouse export as the records page runs it, from reading the
// selected rows out of a real form database to the file renamed into place. Run by hand (see
// run_bench.sh), in two steps so that each export process's peak working set is its own:
//   export_bench make <folder> <claim form pdf> <records>   the form's database <folder>\CMS1500.gdb,
//       registered from the sample form's fields, with that many records, every field filled
//   export_bench export <folder> <records> <runs> [timed]   the export of every record, in a display
//       order unlike the row order, timed runs times; then (unless "timed") where the time goes and
//       page building beside a plain copy. A cold run is one "timed" run after the page cache is dropped.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ClaimDatabase.h"
#include "export/ClearinghouseFile.h"
#include "export/ClearinghousePage.h"
#include "pages/ClearinghouseExport.h"

namespace {

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters))
        return -1.0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

[[noreturn]] void Fail(const std::string& what)
{
    std::printf("export_bench: %s\n", what.c_str());
    std::exit(1);
}

std::wstring DatabasePath(const std::wstring& folder)
{
    return folder + L"\\CMS1500.gdb";
}

// A small deterministic generator, so every run makes the same records and the same order.
struct Random
{
    unsigned state;
    unsigned Next()
    {
        state = state * 1103515245u + 12345u;
        return (state >> 8) & 0xFFFFFF;
    }
};

// A value for every field, differing from record to record: boxes checked, amounts as digits, texts
// up to the field's length limit.
std::wstring FieldValue(const pdf::FormField& field, const std::wstring& key, int index, int record)
{
    if (field.type != pdf::FieldType::Text)
        return L"YES";
    std::wstring value;
    if (key.find(L"ollars") != std::wstring::npos)
        value = std::to_wstring(10 + (record * 37 + index) % 9000);
    else if (key.find(L"ents") != std::wstring::npos)
        value = std::to_wstring(10 + (record + index) % 90);
    else
        value = L"Value " + std::to_wstring(index) + L" of " + std::to_wstring(record);
    if (field.maxLength > 0 && value.size() > static_cast<size_t>(field.maxLength))
        value.resize(static_cast<size_t>(field.maxLength));
    return value;
}

// Registers the form as the program does and stores the records in one transaction, each row as a
// "Save" stores it: the field values as UTF-8 in their columns, the form XML the form writes.
int MakeDatabase(const std::wstring& folder, const std::wstring& formPath, int records)
{
    const ClaimFormFields form = ReadClaimFormFields(formPath);
    const MadeDatabase made = MakeClaimDatabase(
        DatabasePath(folder), form, records,
        [&](const pdf::FormField& field, const std::wstring&, int index, int record) {
            return FieldValue(field, form.keys[static_cast<size_t>(index)], index, record);
        });
    std::printf("database: %d records of %u fields, %.0f bytes of form XML a record, made in %.1f s\n", records,
                static_cast<unsigned>(form.keys.size()), made.xmlBytesPerRecord, made.seconds);
    return 0;
}

// Every record selected, in the order a list sorted by some column shows them: a fixed shuffle.
std::vector<RecordKey> DisplayOrder(int records)
{
    std::vector<RecordKey> keys(static_cast<size_t>(records));
    for (int i = 0; i < records; ++i)
        keys[static_cast<size_t>(i)].id = i + 1;
    Random random = {20100429u};
    for (size_t i = keys.size(); i > 1; --i)
        std::swap(keys[i - 1], keys[random.Next() % i]);
    return keys;
}

long long FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The first page of the file, which must be the first record's page.
std::string FirstBlock(const std::wstring& path, size_t size)
{
    std::string bytes(size, '\0');
    FILE* file = ::_wfopen(path.c_str(), L"rb");
    if (!file)
        Fail("cannot read the exported file");
    const size_t got = std::fread(&bytes[0], 1, size, file);
    std::fclose(file);
    bytes.resize(got);
    return bytes;
}

// SQLite reads its pages with ReadFile at an offset given in an OVERLAPPED; under Wine such a call
// costs some 45 us against 2 us for a seek and a plain read. This stand-in reads by file position,
// to show what the export would take with that cost gone.
BOOL WINAPI PositionedReadFile(HANDLE file, LPVOID buffer, DWORD size, LPDWORD got, LPOVERLAPPED overlapped)
{
    if (overlapped)
    {
        LARGE_INTEGER at;
        at.LowPart = overlapped->Offset;
        at.HighPart = static_cast<LONG>(overlapped->OffsetHigh);
        if (!::SetFilePointerEx(file, at, nullptr, FILE_BEGIN))
            return FALSE;
    }
    return ::ReadFile(file, buffer, size, got, nullptr);
}

double ExportOnce(const std::wstring& dbPath, const std::vector<RecordKey>& order, const std::wstring& path,
                  long long expectedSize)
{
    const double start = Now();
    ExportRecordSource source;
    std::string error;
    if (!source.Open(dbPath, error))
        Fail("open: " + error);
    const ClearinghouseResult result = WriteRecordsToClearinghouseFile(source, order, path, error);
    const double took = Now() - start;
    if (result.outcome != ClearinghouseOutcome::Written || result.pages != order.size() || result.blankPages != 0)
        Fail("the export failed: " + error);
    if (FileSize(path) != expectedSize)
        Fail("the file has " + std::to_string(FileSize(path)) + " bytes, not " + std::to_string(expectedSize));
    return took;
}

double Median(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

// Page building alone (the page and its ANSI bytes from a record's XML) beside a plain copy of the
// same bytes: the XML in, the finished page out.
void PageBuildingRatio(const std::wstring& xml)
{
    const int pages = 1000;
    const ClearinghouseLayout layout;
    int placed = 0;
    size_t total = 0;
    double start = Now();
    for (int i = 0; i < pages; ++i)
        total += PageToAnsi(BuildClearinghousePage(xml, layout, &placed)).size();
    const double build = Now() - start;
    const std::string page = PageToAnsi(BuildClearinghousePage(xml, layout));
    std::wstring xmlCopy;
    std::string pageCopy;
    start = Now();
    for (int i = 0; i < pages; ++i)
    {
        xmlCopy.assign(xml);
        pageCopy.assign(page);
        total += xmlCopy.size() + pageCopy.size();
    }
    const double plain = Now() - start;
    std::printf("page building: %d values a page, %.3f ms a page; plain copy of the same bytes %.4f ms; ratio %.0f "
                "(%u)\n",
                placed, build / pages, plain / pages, plain > 0 ? build / plain : 0.0,
                static_cast<unsigned>(total % 10));
}

int RunExport(const std::wstring& folder, int records, int runs, bool timedOnly)
{
    const std::wstring dbPath = DatabasePath(folder);
    const std::wstring path = folder + L"\\Clearinghouse export.txt";
    const std::vector<RecordKey> order = DisplayOrder(records);
    const long long expectedSize = static_cast<long long>(records) * (kPageLength + 8);
    std::vector<double> times;
    for (int run = 0; run < runs; ++run)
    {
        const double took = ExportOnce(dbPath, order, path, expectedSize);
        times.push_back(took);
        std::printf("  run %d: %.0f ms\n", run + 1, took);
    }
    const double peak = PeakMegabytes();
    if (timedOnly)
    {
        std::printf("export of %d records: %.0f ms median of %d runs; peak working set %.1f MB\n", records,
                    Median(times), runs, peak);
        return ::DeleteFileW(path.c_str()) ? 0 : 1;
    }

    // The file begins with the first displayed record's page; its XML also feeds the page ratio.
    ExportRecordSource source;
    std::string error;
    std::wstring xml;
    if (!source.Open(dbPath, error) || source.Read(order.front(), xml, error) != RecordRead::Found)
        Fail("reading the first record: " + error);
    const std::string expected = PageToAnsi(BuildClearinghousePage(xml)) + kPageSeparator;
    if (FirstBlock(path, expected.size()) != expected)
        Fail("the file does not begin with the first displayed record's page");
    if (!::DeleteFileW(path.c_str()))
        Fail("cannot delete the exported file");

    // Where the time goes: the database's part alone.
    double start = Now();
    size_t characters = 0;
    for (const RecordKey& key : order)
    {
        if (source.Read(key, xml, error) != RecordRead::Found)
            Fail("read: " + error);
        characters += xml.size();
    }
    const double reading = Now() - start;

    std::printf("export of %d records (%lld bytes): median %.0f ms, slowest %.0f ms of %d runs; peak working set "
                "%.1f MB\n",
                records, expectedSize, Median(times), *std::max_element(times.begin(), times.end()), runs, peak);
    std::printf("reading and decoding the records alone: %.0f ms (%.0f characters of XML a record)\n", reading,
                static_cast<double>(characters) / records);
    PageBuildingRatio(xml);

    sqlite3_vfs* vfs = sqlite3_vfs_find(nullptr);
    if (!vfs || !vfs->xSetSystemCall ||
        vfs->xSetSystemCall(vfs, "ReadFile", reinterpret_cast<sqlite3_syscall_ptr>(&PositionedReadFile)) != SQLITE_OK)
        Fail("cannot replace SQLite's ReadFile");
    const double positioned = ExportOnce(dbPath, order, path, expectedSize);
    if (vfs->xSetSystemCall(vfs, "ReadFile", nullptr) != SQLITE_OK || !::DeleteFileW(path.c_str()))
        Fail("cannot restore SQLite's ReadFile");
    std::printf("the same export with SQLite's pages read by file position, not by offset: %.0f ms\n", positioned);
    return 0;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    if (!argv)
        return 2;
    const std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"make" && argc == 5)
        return MakeDatabase(argv[2], argv[3], std::max(1, _wtoi(argv[4])));
    if (mode == L"export" && (argc == 5 || (argc == 6 && std::wstring(argv[5]) == L"timed")))
    {
        if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
            return 1;
        const int result = RunExport(argv[2], std::max(1, _wtoi(argv[3])), std::max(1, _wtoi(argv[4])), argc == 6);
        ::CoUninitialize();
        return result;
    }
    std::fprintf(stderr, "usage: export_bench make <folder> <claim form pdf> <records>\n"
                         "       export_bench export <folder> <records> <runs> [timed]\n");
    return 2;
}
