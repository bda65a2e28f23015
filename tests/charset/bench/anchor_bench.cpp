// The anchors of the converter benchmark, built natively by run_bench.sh: glibc's iconv and ICU convert
// the same files the same way (whole file, output block kept), RUNS times each. Prints one line per
// case and library: case, library, input bytes, median seconds, slowest seconds, "ok" or "failed".
//   anchor_bench <data folder> <runs>
#include <iconv.h>
#include <unicode/ucnv.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

struct Case
{
    const char* name;
    const char* file;
    const char* iconvFrom;
    const char* iconvTo;
    const char* icuFrom;
    const char* icuTo;
};

// The code pages as each library names them (Windows' 932 and 936 tables in ICU).
const Case kCases[] = {
    {"1252-to-utf8", "latin.1252", "CP1252", "UTF-8", "windows-1252", "UTF-8"},
    {"utf8-to-1252", "latin.utf8", "UTF-8", "CP1252", "UTF-8", "windows-1252"},
    {"932-to-utf16-text", "text.932", "CP932", "UTF-16LE", "windows-31j", "UTF-16LE"},
    {"932-to-utf16-all", "all.932", "CP932", "UTF-16LE", "windows-31j", "UTF-16LE"},
    {"utf16-to-932-text", "text.932.utf16", "UTF-16LE", "CP932", "UTF-16LE", "windows-31j"},
    {"utf16-to-932-all", "all.932.utf16", "UTF-16LE", "CP932", "UTF-16LE", "windows-31j"},
    {"gbk-to-utf8-text", "text.gbk", "GBK", "UTF-8", "windows-936-2000", "UTF-8"},
    {"gbk-to-utf8-all", "all.gbk", "GBK", "UTF-8", "windows-936-2000", "UTF-8"},
    {"2022jp-to-utf16", "text.2022jp", "ISO-2022-JP", "UTF-16LE", "ISO-2022-JP", "UTF-16LE"},
    {"utf16-to-2022jp", "text.2022jp.utf16", "UTF-16LE", "ISO-2022-JP", "UTF-16LE", "ISO-2022-JP"},
};

double Now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

bool ReadFile(const std::string& path, std::string& data)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    fseek(f, 0, SEEK_SET);
    data.resize(size > 0 ? size : 0);
    bool ok = size > 0 && fread(&data[0], 1, data.size(), f) == data.size();
    fclose(f);
    return ok;
}

bool IconvOnce(iconv_t cd, std::string& in, std::string& out)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* ip = &in[0];
    char* op = &out[0];
    size_t il = in.size(), ol = out.size();
    return iconv(cd, &ip, &il, &op, &ol) != (size_t)-1 && il == 0;
}

// ICU's own route between two converters (UTF-16 pivot, with its direct UTF-8 paths).
bool IcuOnce(UConverter* from, UConverter* to, const std::string& in, std::string& out)
{
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(from);
    ucnv_reset(to);
    char* target = &out[0];
    const char* source = in.data();
    ucnv_convertEx(to, from, &target, target + out.size(), &source, in.data() + in.size(), nullptr, nullptr,
                   nullptr, nullptr, true, true, &status);
    return U_SUCCESS(status) && source == in.data() + in.size();
}

void Report(const char* name, const char* library, size_t bytes, std::vector<double>& times, bool ok)
{
    std::sort(times.begin(), times.end());
    printf("%s %s %zu %.6f %.6f %s\n", name, library, bytes, times[times.size() / 2], times.back(), ok ? "ok" : "failed");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: anchor_bench <data folder> <runs>\n");
        return 2;
    }
    int runs = std::max(1, atoi(argv[2]));
    for (const Case& c : kCases) {
        std::string in;
        if (!ReadFile(std::string(argv[1]) + "/" + c.file, in)) {
            fprintf(stderr, "cannot read %s\n", c.file);
            return 1;
        }
        std::string out(in.size() * 4 + 16, '\0');

        iconv_t cd = iconv_open(c.iconvTo, c.iconvFrom);
        if (cd == (iconv_t)-1) {
            fprintf(stderr, "iconv has no %s -> %s\n", c.iconvFrom, c.iconvTo);
            return 1;
        }
        std::vector<double> times;
        bool ok = true;
        for (int i = 0; i < runs; ++i) {
            double start = Now();
            ok = IconvOnce(cd, in, out) && ok;
            times.push_back(Now() - start);
        }
        iconv_close(cd);
        Report(c.name, "iconv", in.size(), times, ok);

        UErrorCode status = U_ZERO_ERROR;
        UConverter* from = ucnv_open(c.icuFrom, &status);
        UConverter* to = ucnv_open(c.icuTo, &status);
        if (U_FAILURE(status)) {
            fprintf(stderr, "ICU has no %s -> %s\n", c.icuFrom, c.icuTo);
            return 1;
        }
        times.clear();
        ok = true;
        for (int i = 0; i < runs; ++i) {
            double start = Now();
            ok = IcuOnce(from, to, in, out) && ok;
            times.push_back(Now() - start);
        }
        ucnv_close(from);
        ucnv_close(to);
        Report(c.name, "icu", in.size(), times, ok);
    }
    return 0;
}
