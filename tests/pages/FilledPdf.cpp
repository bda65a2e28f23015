// Writes an incremental update of a PDF: the changed field objects again under their numbers, a
// cross-reference section for them and a trailer that points back to the previous section.
#include "tests/pages/FilledPdf.h"

#include <cstdio>
#include <cstdlib>

namespace {

const char kTextField[] = "/FT /Tx/T (";

// The number written after "key" in the text (the first occurrence from "from"); -1 when none.
long NumberAfter(const std::string& text, const std::string& key, size_t from = 0)
{
    const size_t at = text.find(key, from);
    if (at == std::string::npos)
        return -1;
    return std::strtol(text.c_str() + at + key.size(), nullptr, 10);
}

} // namespace

std::vector<std::string> TextFieldNames(const std::string& pdf)
{
    std::vector<std::string> names;
    for (size_t at = pdf.find(kTextField); at != std::string::npos; at = pdf.find(kTextField, at + 1))
    {
        const size_t start = at + sizeof(kTextField) - 1;
        const size_t end = pdf.find(')', start);
        if (end == std::string::npos)
            break;
        names.push_back(pdf.substr(start, end - start));
    }
    return names;
}

std::string FillTextFields(const std::string& pdf, const std::vector<std::pair<std::string, std::string>>& values)
{
    const size_t trailer = pdf.rfind("trailer");
    const size_t startxref = pdf.rfind("startxref");
    if (trailer == std::string::npos || startxref == std::string::npos)
        return std::string();
    const long size = NumberAfter(pdf, "/Size ", trailer);
    const long root = NumberAfter(pdf, "/Root ", trailer);
    const long info = NumberAfter(pdf, "/Info ", trailer);
    const long previous = NumberAfter(pdf, "startxref", startxref);
    if (size < 0 || root < 0 || info < 0 || previous < 0)
        return std::string();

    std::string out = pdf;
    std::string xref = "xref\n";
    for (const auto& value : values)
    {
        const size_t field = pdf.find(kTextField + value.first + ")");
        if (field == std::string::npos)
            return std::string();
        const size_t objectStart = pdf.rfind(" 0 obj\n", field);
        const size_t lineStart = pdf.rfind('\n', objectStart) + 1;
        const size_t bodyStart = objectStart + 7;
        const size_t bodyEnd = pdf.find("\nendobj", field);
        if (objectStart == std::string::npos || bodyEnd == std::string::npos)
            return std::string();
        const long number = std::strtol(pdf.c_str() + lineStart, nullptr, 10);
        std::string body = pdf.substr(bodyStart, bodyEnd - bodyStart);
        const size_t empty = body.find("/V ()");
        if (empty == std::string::npos)
            return std::string();
        body.replace(empty, 5, "/V (" + value.second + ")");

        char entry[64];
        std::snprintf(entry, sizeof entry, "%ld 1\n%010lu 00000 n \n", number, static_cast<unsigned long>(out.size()));
        xref += entry;
        out += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    const size_t xrefOffset = out.size();
    out += xref;
    out += "trailer\n<</Size " + std::to_string(size) + "/Root " + std::to_string(root) + " 0 R/Info " +
           std::to_string(info) + " 0 R/Prev " + std::to_string(previous) + ">>\nstartxref\n" +
           std::to_string(xrefOffset) + "\n%%EOF\n";
    return out;
}
