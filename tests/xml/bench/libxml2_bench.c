/* The reference side of the XML benchmark: Debian's libxml2 tree parser on the same file, timed
   the same way (parse from memory, dump to memory, free): median and slowest of the runs, and the
   process's peak memory. Built natively by run_bench.sh:  xml2_bench <file> <repeats> */
#include <libxml/parser.h>
#include <libxml/tree.h>
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

static double now(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
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
    for (int i = 0; i < repeats; ++i) {
        double t0 = now();
        xmlDocPtr doc = xmlReadMemory(text, (int)n, "bench.xml", NULL, XML_PARSE_HUGE | XML_PARSE_NONET);
        double t1 = now();
        if (!doc)
            return 1;
        xmlChar* out = NULL;
        xmlDocDumpFormatMemory(doc, &out, &written, 1);
        double t2 = now();
        xmlFree(out);
        xmlFreeDoc(doc);
        double t3 = now();
        parse[i] = t1 - t0;
        write[i] = t2 - t1;
        release[i] = t3 - t2;
    }
    struct rusage ru;
    getrusage(RUSAGE_SELF, &ru);
    print_times("parse", parse, repeats);
    print_times("write", write, repeats);
    print_times("free", release, repeats);
    printf("peak_mb %.1f out_bytes %d\n", ru.ru_maxrss / 1024.0, written);
    return 0;
}
