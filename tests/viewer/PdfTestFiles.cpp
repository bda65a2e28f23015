// Writers of the hand-made test PDFs.
#include "PdfTestFiles.h"
#include <zlib.h>
#include <map>
#include <stdexcept>

std::string Deflate(const std::string& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::string out(size, '\0');
    if (compress(reinterpret_cast<Bytef*>(&out[0]), &size, reinterpret_cast<const Bytef*>(data.data()),
                 static_cast<uLong>(data.size())) != Z_OK)
        throw std::runtime_error("compress failed");
    out.resize(size);
    return out;
}

std::string MakeClassicPdf(const std::vector<TestPdfObject>& objects, int root, const std::string& extraTrailer)
{
    std::string out = "%PDF-1.4\n";
    std::map<int, size_t> offsets;
    int maxNumber = 0;
    for (const TestPdfObject& o : objects) {
        offsets[o.number] = out.size();
        out += std::to_string(o.number) + " 0 obj\n" + o.body + "\nendobj\n";
        maxNumber = std::max(maxNumber, o.number);
    }
    size_t xref = out.size();
    out += "xref\n0 " + std::to_string(maxNumber + 1) + "\n0000000000 65535 f \n";
    for (int n = 1; n <= maxNumber; ++n) {
        char line[32];
        if (offsets.count(n)) snprintf(line, sizeof line, "%010u 00000 n \n", static_cast<unsigned>(offsets[n]));
        else snprintf(line, sizeof line, "0000000000 65535 f \n");
        out += line;
    }
    out += "trailer\n<< /Size " + std::to_string(maxNumber + 1) + " /Root " + std::to_string(root) + " 0 R " +
           extraTrailer + ">>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

std::string MakeCompressedPdf(const std::vector<TestPdfObject>& objects, int root)
{
    std::string out = "%PDF-1.5\n";
    int maxNumber = 0;
    for (const TestPdfObject& o : objects) maxNumber = std::max(maxNumber, o.number);
    int objStm = maxNumber + 1, xrefNumber = maxNumber + 2;
    // Packed objects: "num offset" pairs, then the bodies.
    std::string header, bodies;
    std::map<int, int> indexInStream;
    std::map<int, size_t> offsets;
    int count = 0;
    for (const TestPdfObject& o : objects) {
        if (o.body.find("stream") != std::string::npos) continue;
        header += std::to_string(o.number) + " " + std::to_string(bodies.size()) + " ";
        bodies += o.body + "\n";
        indexInStream[o.number] = count++;
    }
    std::string packed = Deflate(header + bodies);
    for (const TestPdfObject& o : objects) {
        if (indexInStream.count(o.number)) continue;
        offsets[o.number] = out.size();
        out += std::to_string(o.number) + " 0 obj\n" + o.body + "\nendobj\n";
    }
    offsets[objStm] = out.size();
    out += std::to_string(objStm) + " 0 obj\n<< /Type /ObjStm /N " + std::to_string(count) + " /First " +
           std::to_string(header.size()) + " /Filter /FlateDecode /Length " + std::to_string(packed.size()) +
           " >>\nstream\n" + packed + "\nendstream\nendobj\n";
    offsets[xrefNumber] = out.size();
    // Rows of 1 + 4 + 2 bytes, each preceded by PNG filter type 2 (up).
    std::string rows, previous(7, '\0');
    for (int n = 0; n <= xrefNumber; ++n) {
        std::string row(7, '\0');
        if (indexInStream.count(n)) {
            row[0] = 2;
            unsigned v = static_cast<unsigned>(objStm);
            for (int b = 0; b < 4; ++b) row[1 + b] = static_cast<char>((v >> (8 * (3 - b))) & 0xFF);
            row[6] = static_cast<char>(indexInStream[n]);
        } else if (offsets.count(n)) {
            row[0] = 1;
            unsigned v = static_cast<unsigned>(offsets[n]);
            for (int b = 0; b < 4; ++b) row[1 + b] = static_cast<char>((v >> (8 * (3 - b))) & 0xFF);
        }
        rows += '\2';
        for (int i = 0; i < 7; ++i) rows += static_cast<char>(row[i] - previous[i]);
        previous = row;
    }
    std::string packedXref = Deflate(rows);
    out += std::to_string(xrefNumber) + " 0 obj\n<< /Type /XRef /Size " + std::to_string(xrefNumber + 1) +
           " /W [1 4 2] /Root " + std::to_string(root) + " 0 R /Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 7 >> /Length " +
           std::to_string(packedXref.size()) + " >>\nstream\n" + packedXref + "\nendstream\nendobj\n";
    out += "startxref\n" + std::to_string(offsets[xrefNumber]) + "\n%%EOF\n";
    return out;
}
