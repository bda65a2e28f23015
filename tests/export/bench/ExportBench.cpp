// Export benchmark: page building of the sample claim form with every field filled, beside a plain copy
// of the same bytes; then, when a record count is given, a whole export of that many records. Run by
// hand: export_bench <claim form pdf> [records].
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "export/ClearinghouseFile.h"
#include "export/ClearinghousePage.h"
#include "export/RecordFields.h"
#include "viewer/FormFieldNames.h"
#include "viewer/FormXml.h"
#include "viewer/PdfForm.h"

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
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
}

std::string ReadFileBytes(const char* path)
{
    std::string bytes;
    FILE* file = std::fopen(path, "rb");
    if (!file)
        return bytes;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    return bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: export_bench <claim form pdf> [records]\n");
        return 2;
    }
    pdf::FormDocument form;
    std::string error;
    if (!pdf::ReadPdfForm(ReadFileBytes(argv[1]), form, error))
    {
        std::fprintf(stderr, "cannot read the form: %s\n", error.c_str());
        return 1;
    }
    const std::vector<std::wstring> keys = viewer::MakeFieldKeys(form.fields);
    std::vector<std::wstring> values;
    for (size_t i = 0; i < keys.size(); ++i)
        values.push_back(form.fields[i].type == pdf::FieldType::Text ? L"Value " + std::to_wstring(i) : L"YES");
    const std::wstring xml = viewer::BuildFormXml(keys, values);
    std::printf("record XML: %u characters\n", static_cast<unsigned>(xml.size()));
    if (FAILED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;

    const int pages = 1000;
    const ClearinghouseLayout layout;
    int placed = 0;
    double start = Now();
    size_t total = 0;
    for (int i = 0; i < pages; ++i)
        total += PageToAnsi(BuildClearinghousePage(xml, layout, &placed)).size();
    const double build = Now() - start;
    // The same bytes copied plainly: the page as text in, the ANSI page out.
    const std::wstring page = BuildClearinghousePage(xml, layout);
    std::wstring copy;
    start = Now();
    for (int i = 0; i < pages; ++i)
    {
        copy.assign(xml);
        total += PageToAnsi(page).size() + copy.size();
    }
    const double plain = Now() - start;
    start = Now();
    for (int i = 0; i < pages; ++i)
        ReadRecordFields(xml, [&](const wchar_t*, size_t n, const std::wstring& v) { total += n + v.size(); });
    std::printf("read only: %.3f ms a page\n", (Now() - start) / pages);
    start = Now();
    for (int i = 0; i < pages; ++i)
        total += PageToAnsi(BlankClearinghousePage()).size();
    std::printf("blank+ansi only: %.3f ms a page\n", (Now() - start) / pages);
    std::printf("page building: %d pages of %d values in %.1f ms (%.3f ms a page); plain copy %.1f ms; ratio %.1f\n",
                pages, placed, build, build / pages, plain, plain > 0 ? build / plain : 0.0);

    if (argc > 2)
    {
        const size_t records = static_cast<size_t>(std::atoi(argv[2]));
        wchar_t folder[MAX_PATH];
        ::GetTempPathW(MAX_PATH, folder);
        const std::wstring path = std::wstring(folder) + L"export_bench.txt";
        start = Now();
        const ClearinghouseResult result = WriteClearinghouseFile(path, records, [&](size_t, std::wstring& text) {
            text = xml;
            return RecordRead::Found;
        });
        const double whole = Now() - start;
        std::printf("file of %u records: %.1f ms, outcome %d, peak memory %.1f MB\n",
                    static_cast<unsigned>(result.pages), whole, static_cast<int>(result.outcome), PeakMegabytes());
        ::DeleteFileW(path.c_str());
    }
    std::printf("(%u)\n", static_cast<unsigned>(total % 10));
    ::CoUninitialize();
    return 0;
}
