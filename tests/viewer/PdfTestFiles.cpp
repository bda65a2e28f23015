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

std::string MakeLibraryStyleForm()
{
    const std::string labels = "BT /F1 9 Tf 20 348 Td (Name) Tj ET BT /F1 9 Tf 20 296 Td (City) Tj ET "
                               "BT /F1 9 Tf 20 244 Td (Sex) Tj ET BT /F1 9 Tf 20 204 Td (Agree) Tj ET "
                               "BT /F1 9 Tf 20 140 Td (Notes) Tj ET";
    const std::string onOff = "<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] /Length 0 >>\nstream\n\nendstream";
    return MakeClassicPdf(
        {
            {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R 5 0 R 6 0 R 9 0 R 10 0 R 11 0 R 13 0 R] "
                "/DA (/Helv 12 Tf 0 g) >> >>"},
            {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 400 400] >>"},
            {3, "<< /Type /Page /Parent 2 0 R /Contents 20 0 R /Resources << /Font << /F1 21 0 R >> >> "
                "/Annots [4 0 R 5 0 R 7 0 R 8 0 R 9 0 R 10 0 R 11 0 R 13 0 R] >>"},
            {4, "<< /T (name) /FT /Tx /Type /Annot /Subtype /Widget /P 3 0 R /Rect [100 340 300 364] /F 4 "
                "/MK << /BG [1 1 0.8] /BC [0 0 1] >> /BS << /W 2 /S /S >> /DA (/Helv 10 Tf 0 g) >>"},
            {5, "<< /T (city) /FT /Tx /Type /Annot /Subtype /Widget /P 3 0 R /Rect [100 280 300 320] /F 4 /MK << >> "
                "/DA (/Helv 0 Tf 0 g) /AP << /N 12 0 R >> >>"},
            {6, "<< /T (sex) /FT /Btn /Ff 49152 /Opt [(M) (F)] /V /1 /Kids [7 0 R 8 0 R] >>"},
            {7, "<< /Parent 6 0 R /Type /Annot /Subtype /Widget /P 3 0 R /Rect [100 240 116 256] /AS /Off "
                "/AP << /N << /0 12 0 R /Off 12 0 R >> >> /MK << /BG [0.75] /BC [0 0 0] >> /Border [0 0 3] >>"},
            {8, "<< /Parent 6 0 R /Type /Annot /Subtype /Widget /P 3 0 R /Rect [140 240 156 256] /AS /1 "
                "/AP << /N << /1 12 0 R /Off 12 0 R >> >> /MK << /BG [0.75] /BC [0 0 0] >> >>"},
            {9, "<< /T (agree) /FT /Btn /Type /Annot /Subtype /Widget /P 3 0 R /Rect [100 200 180 216] /AS /On "
                "/AP << /N << /On 12 0 R /Off 12 0 R >> >> >>"},
            {10, "<< /T (state) /FT /Ch /Ff 131072 /Opt [[(NY) (New York)] [(CA) (California)] (TX)] /V (CA) "
                 "/Type /Annot /Subtype /Widget /P 3 0 R /Rect [200 200 300 216] >>"},
            {11, "<< /T (plan) /FT /Btn /Opt [(Gold)] /V /0 /AS /0 /Type /Annot /Subtype /Widget /P 3 0 R "
                 "/Rect [200 240 216 256] /AP << /N << /0 12 0 R /Off 12 0 R >> >> /MK << /BC [0 0 0 1] >> /BS << /W 1 >> >>"},
            {12, onOff},
            {13, "<< /T (notes) /FT /Tx /Ff 4096 /Type /Annot /Subtype /Widget /P 3 0 R /Rect [100 100 300 180] >>"},
            {20, "<< /Length " + std::to_string(labels.size()) + " >>\nstream\n" + labels + "\nendstream"},
            {21, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"},
        },
        1);
}
