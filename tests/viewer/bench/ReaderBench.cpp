// The reader benchmark: run by run_reader.sh on the files make_reader_files.py writes (not a test).
//   reader_bench form <pdf> <fields> <runs>    the form read whole (pdf::ReadPdfForm), its field count checked
//   reader_bench repair <pdf> <objects> <runs> the file opened through the repair scan, its object count checked
// The median of the runs and the slowest, then the peak working set.
#include <windows.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "viewer/PdfDocument.h"
#include "viewer/PdfForm.h"

namespace {

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

[[noreturn]] void Fail(const std::string& what)
{
    std::printf("reader_bench: %s\n", what.c_str());
    std::exit(1);
}

std::string ReadFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) Fail(std::string("cannot read ") + path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The form read as the viewer reads it; the number of fields.
size_t ReadForm(const std::string& bytes)
{
    pdf::FormDocument form;
    std::string error;
    if (!pdf::ReadPdfForm(bytes, form, error)) Fail("the form could not be read: " + error);
    return form.fields.size();
}

// The file opened (its startxref is broken: the scan finds every object) and its catalog read.
size_t Repair(const std::string& bytes)
{
    pdf::Document doc(bytes);
    if (doc.Catalog()->kind != pdf::Kind::Dict) Fail("no catalog after the repair");
    return doc.ObjectCount();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) Fail("usage: reader_bench form|repair <pdf> <expected count> <runs>");
    std::string mode = argv[1];
    if (mode != "form" && mode != "repair") Fail("unknown mode " + mode);
    std::string bytes = ReadFile(argv[2]);
    size_t expected = std::strtoul(argv[3], nullptr, 10);
    int runs = std::atoi(argv[4]);
    if (runs < 1) Fail("no runs");
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        double start = Now();
        size_t count = 0;
        try {
            count = mode == "form" ? ReadForm(bytes) : Repair(bytes);
        } catch (const pdf::PdfError& e) {
            Fail(std::string("refused: ") + e.what());
        }
        double elapsed = Now() - start;
        if (count != expected) Fail("read " + std::to_string(count) + ", not " + std::to_string(expected));
        times.push_back(elapsed);
    }
    std::sort(times.begin(), times.end());
    double median = runs % 2 ? times[runs / 2] : (times[runs / 2 - 1] + times[runs / 2]) / 2;
    std::printf("%s: median %.1f ms (slowest %.1f, %d runs)\n",
                mode == "form" ? "form read of 20,000 fields in an object stream" : "repair of 40,000 objects", median,
                times.back(), runs);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    std::printf("  peak working set: %.1f MB\n", memory.PeakWorkingSetSize / 1048576.0);
    return 0;
}
