// The second reference side of the XML benchmark: Debian's pugixml on the same file, timed the same
// way (parse from memory, write indented to memory, free): median and slowest of the runs, and the
// process's peak memory. Built natively by run_bench.sh:  pugixml_bench <file> <repeats>
#include <pugixml.hpp>
#include <sys/resource.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

namespace {

double Now()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

// Collects the written text in memory, as the other sides write to memory.
struct StringWriter : pugi::xml_writer
{
    std::string text;
    void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
};

void PrintTimes(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    printf("%s %.6f %.6f ", name, times[times.size() / 2], times.back());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    FILE* f = fopen(argv[1], "rb");
    if (!f)
        return 2;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fseek(f, 0, SEEK_SET);
    std::string text(n > 0 ? n : 0, '\0');
    if (n <= 0 || fread(&text[0], 1, text.size(), f) != text.size())
        return 2;
    fclose(f);
    int repeats = std::max(1, atoi(argv[2]));
    std::vector<double> parse, write, release;
    size_t written = 0;
    for (int i = 0; i < repeats; ++i) {
        double t0 = Now();
        auto* doc = new pugi::xml_document();
        if (!doc->load_buffer(text.data(), text.size())) {
            fprintf(stderr, "no document\n");
            return 1;
        }
        double t1 = Now();
        StringWriter out;
        doc->save(out, "  ", pugi::format_default, pugi::encoding_utf8);
        double t2 = Now();
        written = out.text.size();
        std::string().swap(out.text);
        delete doc;
        double t3 = Now();
        parse.push_back(t1 - t0);
        write.push_back(t2 - t1);
        release.push_back(t3 - t2);
    }
    rusage ru = {};
    getrusage(RUSAGE_SELF, &ru);
    PrintTimes("parse", parse);
    PrintTimes("write", write);
    PrintTimes("free", release);
    printf("peak_mb %.1f out_bytes %zu\n", ru.ru_maxrss / 1024.0, written);
    return 0;
}
