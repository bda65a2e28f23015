/* The reference side of the XML benchmark: Debian's libxml2 tree parser on the same file, timed
   the same way (parse from memory, dump to memory, free): median and slowest of the runs, the first
   parse and the repeated ones apart, and the process's peak memory. Built natively by run_bench.sh:  xml2_bench <file> <repeats> */
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <time.h>

static int compare(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

/* Sorts the times and prints "median slowest". */
static void print_times(const char* name, double* times, int n)
{
    qsort(times, n, sizeof *times, compare);
    printf("%s %.6f %.6f ", name, times[n / 2], times[n - 1]);
}

/* The elements in the order they close, each as "<tag name=value ...>text" with the blanks of its text
   left out: their count and an FNV-1a hash, as make_documents.py summarises the input. */
struct summary {
    unsigned long long elements;
    uint64_t hash;
};

static void mix(struct summary* s, const xmlChar* p, int skip_blanks)
{
    for (; p && *p; ++p) {
        if (skip_blanks && (*p == ' ' || *p == '\t' || *p == '\r' || *p == '\n'))
            continue;
        s->hash = (s->hash ^ *p) * 1099511628211ull;
    }
}

static void summarize_element(xmlNodePtr node, struct summary* s)
{
    mix(s, BAD_CAST "<", 0);
    mix(s, node->name, 0);
    for (xmlAttrPtr a = node->properties; a; a = a->next) {
        mix(s, BAD_CAST " ", 0);
        mix(s, a->name, 0);
        mix(s, BAD_CAST "=", 0);
        for (xmlNodePtr v = a->children; v; v = v->next)
            mix(s, v->content, 0);
    }
    mix(s, BAD_CAST ">", 0);
    for (xmlNodePtr c = node->children; c; c = c->next)
        if (c->type == XML_TEXT_NODE || c->type == XML_CDATA_SECTION_NODE)
            mix(s, c->content, 1);
    ++s->elements;
}

/* Post-order walk without recursion (deep documents would overflow the stack): down to the first
   element child, then on to the next sibling or up to the parent, which closes after its children. */
static struct summary summarize(xmlDocPtr doc)
{
    struct summary s = {0, 14695981039346656037ull};
    xmlNodePtr root = xmlDocGetRootElement(doc);
    xmlNodePtr n = root;
    while (n) {
        xmlNodePtr child = n->children;
        while (child && child->type != XML_ELEMENT_NODE)
            child = child->next;
        if (child) {
            n = child;
            continue;
        }
        for (;;) {
            summarize_element(n, &s);
            if (n == root) {
                n = NULL;
                break;
            }
            xmlNodePtr next = n->next;
            while (next && next->type != XML_ELEMENT_NODE)
                next = next->next;
            if (next) {
                n = next;
                break;
            }
            n = n->parent;
        }
    }
    return s;
}

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

/* The first parse (the process's first use of the parser) and the median and slowest of the parses
   after it, which find the allocator's memory already taken from the system. */
static void print_first_and_repeated(const double* parse, int n)
{
    printf("first %.6f ", parse[0]);
    if (n > 1) {
        double rest[n - 1];
        for (int i = 1; i < n; ++i)
            rest[i - 1] = parse[i];
        print_times("repeated", rest, n - 1);
    } else {
        printf("repeated - - ");
    }
}

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
    char* text = malloc(n);
    if (!text || fread(text, 1, n, f) != (size_t)n)
        return 2;
    fclose(f);
    int repeats = atoi(argv[2]) > 0 ? atoi(argv[2]) : 1;
    double* parse = calloc(repeats, sizeof(double));
    double* write = calloc(repeats, sizeof(double));
    double* release = calloc(repeats, sizeof(double));
    if (!parse || !write || !release)
        return 2;
    int written = 0;
    struct summary result = {0, 0};
    for (int i = 0; i < repeats; ++i) {
        double t0 = now();
        xmlDocPtr doc = xmlReadMemory(text, (int)n, "bench.xml", NULL, XML_PARSE_HUGE | XML_PARSE_NONET);
        double t1 = now();
        if (!doc)
            return 1;
        if (i == 0)
            result = summarize(doc); /* untimed: the result checked against the input */
        double tw = now();
        xmlChar* out = NULL;
        xmlDocDumpFormatMemory(doc, &out, &written, 1);
        double t2 = now();
        xmlFree(out);
        xmlFreeDoc(doc);
        double t3 = now();
        parse[i] = t1 - t0;
        write[i] = t2 - tw;
        release[i] = t3 - t2;
    }
    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    /* print_times sorts in place: the parses in their order are kept for the first one. */
    double* in_order = calloc(repeats, sizeof(double));
    if (!in_order)
        return 2;
    for (int i = 0; i < repeats; ++i)
        in_order[i] = parse[i];
    print_times("parse", parse, repeats);
    print_times("write", write, repeats);
    print_times("free", release, repeats);
    print_first_and_repeated(in_order, repeats);
    printf("peak_mb %.1f out_bytes %d elements %llu checksum %016llx\n", ru.ru_maxrss / 1024.0, written,
           result.elements, (unsigned long long)result.hash);
    return 0;
}
