// Throughput of the converter on the files that run_bench.py prepares: for each case, the median and
// the slowest of RUNS conversions of the whole file, and the time of the first use of a double-byte
// table. Prints one line per case: name, input bytes, median seconds, slowest seconds.
//   charset_bench <data folder> [runs]
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>
#include "charset/EncodingConvert.h"
#include "kit/DataBuffer.h"

namespace {

std::vector<unsigned char> readFile(const std::string& path)
{
    std::vector<unsigned char> data;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return data;
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    data.resize(size > 0 ? (size_t)size : 0);
    if (size > 0 && fread(data.data(), 1, data.size(), f) != data.size())
        data.clear();
    fclose(f);
    return data;
}

double seconds()
{
    static LARGE_INTEGER frequency = {};
    if (!frequency.QuadPart)
        QueryPerformanceFrequency(&frequency);
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return (double)now.QuadPart / (double)frequency.QuadPart;
}

struct Case
{
    const char* name;
    const char* file;
    int from;
    int to;
};

} // namespace

int main(int argc, char** argv)
{
    std::string dir = argc > 1 ? argv[1] : ".";
    int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 7;
    EncodingConvert conv;

    // First use of the double-byte tables: building them is part of the first conversion.
    const unsigned char sample[] = {0x88, 0x9F, 0x41};
    for (int page : {932, 936}) {
        DataBuffer out;
        double start = seconds();
        conv.EncConvert(page, 1200, sample, 2, out);
        EncodingConvert probe;
        DataBuffer back;
        probe.EncConvert(1200, page, out.getData(), out.getSize(), back);
        double took = seconds() - start;
        printf("first-use-%d 0 %.6f %.6f\n", page, took, took);
    }

    const Case cases[] = {
        {"1252-to-utf8", "latin.1252", 1252, 65001},   {"utf8-to-1252", "latin.utf8", 65001, 1252},
        {"932-to-utf16-text", "text.932", 932, 1200},   {"932-to-utf16-all", "all.932", 932, 1200},
        {"utf16-to-932-text", "text.932.utf16", 1200, 932}, {"utf16-to-932-all", "all.932.utf16", 1200, 932},
        {"gbk-to-utf8-text", "text.gbk", 936, 65001},   {"gbk-to-utf8-all", "all.gbk", 936, 65001},
        {"2022jp-to-utf16", "text.2022jp", 50220, 1200}, {"utf16-to-2022jp", "text.2022jp.utf16", 1200, 50220},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> data = readFile(dir + "/" + c.file);
        if (data.empty()) {
            fprintf(stderr, "cannot read %s\n", c.file);
            return 1;
        }
        std::vector<double> times;
        bool ok = true;
        // The output block is kept between rounds, as a caller converting repeatedly would keep it.
        DataBuffer out;
        for (int round = 0; round < runs; round++) {
            out.clear();
            double start = seconds();
            ok = conv.EncConvert(c.from, c.to, data.data(), (uint32_t)data.size(), out) && ok;
            times.push_back(seconds() - start);
        }
        std::sort(times.begin(), times.end());
        printf("%s %u %.6f %.6f%s\n", c.name, (unsigned)data.size(), times[times.size() / 2], times.back(),
               ok ? "" : " (lossy)");
    }
    return 0;
}
