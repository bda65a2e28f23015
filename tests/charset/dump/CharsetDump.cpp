// Dumps what the converter does, for the agreement check that compares it with independent codecs:
//   CharsetDump tables DIR         every byte, lead/trail pair and BMP unit of each converted page
//   CharsetDump convert IN OUT     lines "from to hex" -> lines "hex result"
//   CharsetDump names IN OUT       lines of hex names -> code pages
//   CharsetDump lower OUT          toLowerCodePoint of every 16-bit unit, 4 bytes each
//   CharsetDump base64 IN OUT      lines of hex base64 text -> hex of the decoded bytes
//   CharsetDump qp IN OUT          lines of hex data -> hex of the quoted-printable text
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include "charset/CharsetNames.h"
#include "charset/EncodingConvert.h"
#include "kit/CaseMap.h"
#include "kit/ContentCoding.h"
#include "kit/DataBuffer.h"
#include "kit/StringBuffer.h"

namespace {

const int kConvertedPages[] = {
    37,    437,   500,   708,   720,   737,   775,   850,   852,   855,   857,   858,   860,   861,   862,
    863,   864,   865,   866,   869,   870,   874,   875,   1026,  1047,  1140,  1141,  1142,  1143,  1144,
    1145,  1146,  1147,  1148,  1149,  1250,  1251,  1252,  1253,  1254,  1255,  1256,  1257,  1258,  10000,
    10004, 10005, 10006, 10007, 10010, 10017, 10021, 10029, 10079, 10081, 10082, 20105, 20106, 20107, 20108,
    20127, 20261, 20269, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20297, 20420, 20423, 20424, 20838,
    20866, 20871, 20880, 20905, 20924, 21025, 21866, 28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598,
    28599, 28603, 28605, 38598, 932,   936,   949,   950,   1361,  10001, 51932, 51936, 51949};

std::string toHex(const unsigned char* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; i++) {
        s += digits[p[i] >> 4];
        s += digits[p[i] & 15];
    }
    return s;
}

std::vector<unsigned char> fromHex(const std::string& s)
{
    std::vector<unsigned char> v;
    for (size_t i = 0; i + 1 < s.size(); i += 2)
        v.push_back((unsigned char)std::stoi(s.substr(i, 2), nullptr, 16));
    return v;
}

std::vector<std::string> readLines(const char* path)
{
    std::vector<std::string> lines;
    FILE* f = fopen(path, "rb");
    if (!f)
        return lines;
    std::string line;
    int c;
    while ((c = fgetc(f)) != EOF) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += (char)c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    fclose(f);
    return lines;
}

// One record: [result][length][bytes].
void putRecord(std::string& file, bool ok, const DataBuffer& out)
{
    file += (char)(ok ? 1 : 0);
    file += (char)out.getSize();
    file.append((const char*)out.getData(), out.getSize());
}

bool dumpTables(const char* dir)
{
    EncodingConvert conv;
    for (int page : kConvertedPages) {
        std::string file;
        DataBuffer out;
        for (int b = 0; b < 256; b++) {
            unsigned char byte = (unsigned char)b;
            out.clear();
            putRecord(file, conv.EncConvert(page, 1200, &byte, 1, out), out);
        }
        if (EncodingConvert::isMultiBytePage(page)) {
            for (int lead = 0x80; lead < 0x100; lead++)
                for (int trail = 0; trail < 0x100; trail++) {
                    unsigned char pair[2] = {(unsigned char)lead, (unsigned char)trail};
                    out.clear();
                    putRecord(file, conv.EncConvert(page, 1200, pair, 2, out), out);
                }
        }
        for (int u = 0; u < 0x10000; u++) {
            // After a byte-order mark, so that FEFF and FFFE are read as characters.
            unsigned char unit[4] = {0xFF, 0xFE, (unsigned char)u, (unsigned char)(u >> 8)};
            out.clear();
            putRecord(file, conv.EncConvert(1200, page, unit, 4, out), out);
        }
        std::string path = std::string(dir) + "/page_" + std::to_string(page) + ".bin";
        FILE* f = fopen(path.c_str(), "wb");
        if (!f || fwrite(file.data(), 1, file.size(), f) != file.size())
            return false;
        fclose(f);
    }
    return true;
}

bool writeLines(const char* path, const std::vector<std::string>& lines)
{
    FILE* f = fopen(path, "wb");
    if (!f)
        return false;
    for (const std::string& l : lines)
        fprintf(f, "%s\n", l.c_str());
    fclose(f);
    return true;
}

bool convertLines(const char* in, const char* outPath)
{
    std::vector<std::string> results;
    EncodingConvert conv;
    for (const std::string& line : readLines(in)) {
        int from = 0, to = 0;
        size_t split = line.find(' ', line.find(' ') + 1);
        if (sscanf(line.c_str(), "%d %d", &from, &to) < 2)
            return false;
        std::vector<unsigned char> bytes = fromHex(split == std::string::npos ? "" : line.substr(split + 1));
        DataBuffer out;
        bool ok = conv.EncConvert(from, to, bytes.empty() ? nullptr : bytes.data(), (uint32_t)bytes.size(), out);
        results.push_back(toHex(out.getData(), out.getSize()) + " " + (ok ? "1" : "0"));
    }
    return writeLines(outPath, results);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::string mode = argv[1];
    if (mode == "tables")
        return dumpTables(argv[2]) ? 0 : 1;
    if (mode == "lower") {
        std::string file;
        for (int u = 0; u < 0x10000; u++) {
            int32_t l = toLowerCodePoint(u);
            file.append((const char*)&l, 4);
        }
        FILE* f = fopen(argv[2], "wb");
        if (!f)
            return 1;
        fwrite(file.data(), 1, file.size(), f);
        fclose(f);
        return 0;
    }
    if (argc < 4)
        return 2;
    if (mode == "convert")
        return convertLines(argv[2], argv[3]) ? 0 : 1;
    std::vector<std::string> results;
    for (const std::string& line : readLines(argv[2])) {
        std::vector<unsigned char> bytes = fromHex(line);
        std::string text(bytes.begin(), bytes.end());
        if (mode == "names") {
            results.push_back(std::to_string(charsetToCodePage(text.c_str())));
        } else if (mode == "base64") {
            ContentCoding cc;
            uint32_t n = 0;
            unsigned char* decoded = cc.decodeBase64(text.c_str(), (uint32_t)text.size(), &n);
            results.push_back(toHex(decoded, n));
            delete[] decoded;
        } else if (mode == "qp") {
            ContentCoding cc;
            kit::StringBuffer out;
            cc.encodeQuotedPrintable(bytes.data(), (uint32_t)bytes.size(), out);
            results.push_back(toHex((const unsigned char*)out.pointerAt(0), out.getSize()));
        } else {
            return 2;
        }
    }
    return writeLines(argv[3], results) ? 0 : 1;
}
