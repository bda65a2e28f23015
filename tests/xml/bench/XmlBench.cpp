// Benchmark of the XML toolkit: loads one file's text through the public handle and writes it back,
// printing the median and the slowest time of each step, the first parse and the repeated ones apart,
// and the process's peak memory. One file per run, so that the
// peak belongs to that file. Run by run_bench.sh beside the reference programs.
// Each run's result is checked, outside the timing: the text it wrote is parsed again and its
// elements summarised (count and a hash of tags, attributes and texts); all runs must agree, and
// run_bench.sh compares the summary with the one make_documents.py computed from the input. With
// parse-only, an untimed parse of the input is summarised instead.
//   xml_bench <file> <repeats> [parse-only]
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>
#include "xml/TreeNode.h"
#include "xml/XkXml.h"

namespace {

double seconds(LARGE_INTEGER a, LARGE_INTEGER b, LARGE_INTEGER freq)
{
    return double(b.QuadPart - a.QuadPart) / double(freq.QuadPart);
}

// "median slowest" of the runs' times.
std::string medianAndSlowest(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    char text[64];
    snprintf(text, sizeof text, "%.6f %.6f", times[times.size() / 2], times.back());
    return text;
}

// The first parse (the process's first use of the toolkit) and "median slowest" of the parses after
// it, which find the allocator's memory already taken from the system; "- -" with a single run.
std::string firstAndRepeated(const std::vector<double>& parse)
{
    char first[32];
    snprintf(first, sizeof first, "%.6f", parse[0]);
    std::string repeated = parse.size() > 1 ? medianAndSlowest(std::vector<double>(parse.begin() + 1, parse.end()))
                                            : std::string("- -");
    return std::string(first) + " repeated " + repeated;
}

bool readFile(const char* path, std::string& bytes)
{
    FILE* f = fopen(path, "rb");
    if (!f)
        return false;
    fseek(f, 0, SEEK_END);
    long n = ftell(f);
    fseek(f, 0, SEEK_SET);
    bytes.resize(n);
    bool ok = fread(&bytes[0], 1, n, f) == (size_t)n;
    fclose(f);
    return ok;
}

// The elements of a document in the order they close, each as "<tag name=value ...>text" with the
// blanks of the text left out (trimming and the joining of text pieces move them): their count and
// an FNV-1a hash of those bytes. make_documents.py summarises the input text the same way.
struct Summary {
    uint64_t elements = 0;
    uint64_t hash = 14695981039346656037ull;

    void mix(const char* p, int n, bool skipBlanks = false)
    {
        for (int i = 0; i < n; ++i) {
            unsigned char c = (unsigned char)p[i];
            if (skipBlanks && (c == ' ' || c == '\t' || c == '\r' || c == '\n'))
                continue;
            hash = (hash ^ c) * 1099511628211ull;
        }
    }
    void mix(const char* text) { mix(text, (int)strlen(text)); }
    bool operator==(const Summary& o) const { return elements == o.elements && hash == o.hash; }
    bool operator!=(const Summary& o) const { return !(*this == o); }
};

void summarizeElement(TreeNode* node, Summary& s)
{
    s.mix("<");
    s.mix(node->getTag());
    if (AttributeSet* attrs = node->attributes()) {
        for (int i = 0; i < attrs->getNumAttributes(); ++i) {
            const char* name;
            const char* value;
            int nameLength, valueLength;
            attrs->getPair(i, name, nameLength, value, valueLength);
            s.mix(" ");
            s.mix(name, nameLength);
            s.mix("=");
            s.mix(value, valueLength);
        }
    }
    s.mix(">");
    s.mix(node->getContent(), node->getContentLength(), true);
    ++s.elements;
}

Summary summarize(TreeNode* root)
{
    Summary s;
    struct Open {
        TreeNode* node;
        int next;
    };
    std::vector<Open> open{{root, 0}};
    while (!open.empty()) {
        Open& top = open.back();
        if (top.next < top.node->getNumChildren()) {
            TreeNode* child = top.node->getChild(top.next++);
            open.push_back({child, 0});
        } else {
            summarizeElement(top.node, s);
            open.pop_back();
        }
    }
    return s;
}

// Parses a text in place and summarises it; false when no element comes out.
bool summarizeText(const char* text, Summary& s)
{
    TreeNode* root = nullptr;
    if (!TreeNode::parseXmlString(text, nullptr, nullptr, root, true) || !root)
        return false;
    s = summarize(root);
    root->deleteTree();
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        fprintf(stderr, "usage: xml_bench <file> <repeats> [parse-only]\n");
        return 2;
    }
    std::string text;
    if (!readFile(argv[1], text)) {
        fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    int repeats = atoi(argv[2]) > 0 ? atoi(argv[2]) : 1;
    LARGE_INTEGER freq, t0, t1, t2, t3;
    QueryPerformanceFrequency(&freq);
    std::vector<double> parse, write, release;
    size_t written = 0;
    Summary result;
    for (int i = 0; i < repeats; ++i) {
        XkXml* xml = new XkXml();
        xml->SetUtf8(true);
        QueryPerformanceCounter(&t0);
        if (!xml->LoadXml(text.c_str())) {
            fprintf(stderr, "no document\n");
            return 1;
        }
        QueryPerformanceCounter(&t1);
        // A deeply nested document of 50 MB is written with indentation to well over 1 GB, more
        // than a 32-bit process can hold twice; such a run measures the parse only.
        const char* output = argc == 3 ? xml->getXml() : "";
        QueryPerformanceCounter(&t2);
        // Measured outside the timing: the reference side gets the length from its writer.
        written = strlen(output);
        if (argc == 3 && written == 0) {
            fprintf(stderr, "run %d: the write failed\n", i + 1);
            return 1;
        }
        Summary run;
        if (!summarizeText(argc == 3 ? output : text.c_str(), run) || (i > 0 && run != result)) {
            fprintf(stderr, "run %d: the %s does not hold the document of the first run\n", i + 1,
                    argc == 3 ? "text written" : "document parsed");
            return 1;
        }
        result = run;
        LARGE_INTEGER t2b;
        QueryPerformanceCounter(&t2b);
        delete xml;
        QueryPerformanceCounter(&t3);
        parse.push_back(seconds(t0, t1, freq));
        write.push_back(argc == 4 ? 0 : seconds(t1, t2, freq));
        release.push_back(seconds(t2b, t3, freq));
    }
    PROCESS_MEMORY_COUNTERS pmc = {};
    pmc.cb = sizeof pmc;
    GetProcessMemoryInfo(GetCurrentProcess(), &pmc, sizeof pmc);
    printf("parse %s write %s free %s first %s peak_mb %.1f out_bytes %u elements %llu checksum %016llx\n",
           medianAndSlowest(parse).c_str(), medianAndSlowest(write).c_str(), medianAndSlowest(release).c_str(),
           firstAndRepeated(parse).c_str(),
           pmc.PeakWorkingSetSize / 1048576.0, (unsigned)written, (unsigned long long)result.elements,
           (unsigned long long)result.hash);
    return 0;
}
