// The second reference side of the XML benchmark: Debian's pugixml on the same file, timed the same
// way (parse from memory, write indented to memory, free): median and slowest of the runs, the first
// parse and the repeated ones apart, and the process's peak memory. Built natively by run_bench.sh:  pugixml_bench <file> <repeats>
#include <pugixml.hpp>
#include <sys/resource.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
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

// The elements in the order they close, each as "<tag name=value ...>text" with the blanks of its text
// left out: their count and an FNV-1a hash, as make_documents.py summarises the input.
struct Summary {
    unsigned long long elements = 0;
    uint64_t hash = 14695981039346656037ull;
    void mix(const char* p, bool skipBlanks = false)
    {
        for (; *p; ++p) {
            unsigned char c = (unsigned char)*p;
            if (skipBlanks && (c == ' ' || c == '\t' || c == '\r' || c == '\n'))
                continue;
            hash = (hash ^ c) * 1099511628211ull;
        }
    }
};

void SummarizeElement(const pugi::xml_node& node, Summary& s)
{
    s.mix("<");
    s.mix(node.name());
    for (const pugi::xml_attribute& a : node.attributes()) {
        s.mix(" ");
        s.mix(a.name());
        s.mix("=");
        s.mix(a.value());
    }
    s.mix(">");
    for (const pugi::xml_node& child : node.children())
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            s.mix(child.value(), true);
    ++s.elements;
}

// Post-order walk without recursion: deep documents would overflow the stack.
Summary Summarize(const pugi::xml_document& doc)
{
    Summary s;
    std::vector<pugi::xml_node> open;
    for (pugi::xml_node n = doc.document_element(); n; n = n.next_sibling())
        if (n.type() == pugi::node_element)
            open.push_back(n);
    std::vector<std::pair<pugi::xml_node, bool>> stack;
    for (auto it = open.rbegin(); it != open.rend(); ++it)
        stack.push_back({*it, false});
    while (!stack.empty()) {
        auto [node, expanded] = stack.back();
        stack.pop_back();
        if (expanded) {
            SummarizeElement(node, s);
            continue;
        }
        stack.push_back({node, true});
        std::vector<pugi::xml_node> children;
        for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
            if (c.type() == pugi::node_element)
                children.push_back(c);
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({*it, false});
    }
    return s;
}

void PrintTimes(const char* name, std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    printf("%s %.6f %.6f ", name, times[times.size() / 2], times.back());
}

// The first parse (the process's first use of the parser) and the median and slowest of the parses
// after it, which find the allocator's memory already taken from the system.
void PrintFirstAndRepeated(const std::vector<double>& parse)
{
    printf("first %.6f ", parse[0]);
    if (parse.size() > 1)
        PrintTimes("repeated", std::vector<double>(parse.begin() + 1, parse.end()));
    else
        printf("repeated - - ");
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
    Summary summary;
    for (int i = 0; i < repeats; ++i) {
        double t0 = Now();
        auto* doc = new pugi::xml_document();
        if (!doc->load_buffer(text.data(), text.size())) {
            fprintf(stderr, "no document\n");
            return 1;
        }
        double t1 = Now();
        if (i == 0)
            summary = Summarize(*doc);  // untimed: the result checked against the input
        double tw = Now();
        StringWriter out;
        doc->save(out, "  ", pugi::format_default, pugi::encoding_utf8);
        double t2 = Now();
        written = out.text.size();
        std::string().swap(out.text);
        delete doc;
        double t3 = Now();
        parse.push_back(t1 - t0);
        write.push_back(t2 - tw);
        release.push_back(t3 - t2);
    }
    rusage ru = {};
    getrusage(RUSAGE_SELF, &ru);
    PrintTimes("parse", parse);
    PrintTimes("write", write);
    PrintTimes("free", release);
    PrintFirstAndRepeated(parse);
    printf("peak_mb %.1f out_bytes %zu elements %llu checksum %016llx\n", ru.ru_maxrss / 1024.0, written,
           summary.elements, (unsigned long long)summary.hash);
    return 0;
}
