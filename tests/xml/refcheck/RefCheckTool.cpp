// Loads XML through the public handle and writes what getXml gives back, for the reference checks
// that compare the toolkit's output with other XML readers. Each line of the list file names an
// input and an output path separated by a TAB.
//   xml_refcheck_tool text <list>   the input file's bytes are the XML text (UTF-8)
//   xml_refcheck_tool file <list>   the input path is handed to LoadXml as a file name
// Exit code: the number of inputs that gave no document (0 when all loaded).
#include <stdio.h>
#include <string.h>
#include <string>
#include "xml/XkXml.h"

namespace {

bool readFile(const std::string& path, std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "rb");
    if (!f)
        return false;
    char block[65536];
    size_t n;
    bytes.clear();
    while ((n = fread(block, 1, sizeof block, f)) > 0)
        bytes.append(block, n);
    fclose(f);
    return true;
}

bool writeFile(const std::string& path, const char* text)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f)
        return false;
    size_t n = strlen(text);
    bool ok = fwrite(text, 1, n, f) == n;
    return fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: xml_refcheck_tool text|file <list>\n");
        return 100;
    }
    bool fromFile = std::string(argv[1]) == "file";
    std::string list;
    if (!readFile(argv[2], list)) {
        fprintf(stderr, "cannot read %s\n", argv[2]);
        return 101;
    }
    int failures = 0;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = list.find('\n', start);
        if (end == std::string::npos)
            end = list.size();
        std::string line = list.substr(start, end - start);
        start = end + 1;
        size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        std::string in = line.substr(0, tab), out = line.substr(tab + 1);
        XkXml xml;
        xml.SetUtf8(true);
        bool loaded;
        if (fromFile) {
            loaded = xml.LoadXml(in.c_str());
        } else {
            std::string text;
            loaded = readFile(in, text) && xml.LoadXml(text.c_str());
        }
        if (!loaded || !writeFile(out, xml.getXml())) {
            fprintf(stderr, "no document from %s\n", in.c_str());
            ++failures;
        }
    }
    return failures;
}
