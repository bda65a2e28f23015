// The stream filters and predictors byte for byte against encoders outside this program: vectors
// written at build time by Python's zlib, base64 and binascii, Pillow's PNG and TIFF LZW writers,
// and plain reference encoders; each is decoded through a stream object of a real file, as a page's
// drawing or a font would be. Damaged data is an error, never a crash.
#include "PdfTestFiles.h"
#include "tests/support/TempFolder.h"
#include "viewer/PdfDocument.h"
#include <gtest/gtest.h>
#include <map>
#include <sstream>

using namespace pdf;

namespace {

struct Vector
{
    std::string name, entries, encoded, decoded;
};

std::string FromHex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return out;
}

std::vector<Vector> LoadVectors()
{
    std::istringstream lines(ReadWholeFile(FORMSTEAD_FILTER_VECTORS));
    std::vector<Vector> vectors;
    std::string line;
    while (std::getline(lines, line)) {
        size_t a = line.find('|'), b = line.find('|', a + 1), c = line.find('|', b + 1);
        if (c == std::string::npos) continue;
        vectors.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), FromHex(line.substr(b + 1, c - b - 1)),
                           FromHex(line.substr(c + 1))});
    }
    return vectors;
}

// Decodes the bytes as the stream of object 2 of a file whose dictionary holds the entries.
std::string DecodeInFile(const std::string& entries, const std::string& encoded)
{
    Document doc(MakeClassicPdf({{1, "<< /Type /Catalog >>"},
                                 {2, "<< " + entries + " /Length " + std::to_string(encoded.size()) + " >>\nstream\n" +
                                         encoded + "\nendstream"}},
                                1));
    auto ref = std::make_shared<Object>();
    ref->kind = Kind::Ref;
    ref->refNumber = 2;
    return doc.DecodeStream(*doc.Resolve(ref));
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

} // namespace

TEST(StreamFilters, DecodeWhatIndependentEncodersWrote)
{
    const std::vector<Vector> vectors = LoadVectors();
    // Every kind the vectors hold: a missing or short file is a failure, not a pass.
    ASSERT_GE(vectors.size(), 87u);
    std::map<std::string, int> kinds;
    for (const Vector& v : vectors) {
        kinds[v.name.substr(0, v.name.find(' '))]++;
        std::string decoded;
        try {
            decoded = DecodeInFile(v.entries, v.encoded);
        } catch (const PdfError& e) {
            ADD_FAILURE() << v.name << ": " << e.what();
            continue;
        }
        EXPECT_EQ(Hex(v.decoded), Hex(decoded)) << v.name << " (" << v.entries << ")";
    }
    for (const char* kind : {"flate", "ascii85", "asciihex", "runlength", "lzw", "png", "tiff", "chain", "pillow"})
        EXPECT_GT(kinds[kind], 0) << kind;
}

TEST(StreamFilters, LiteralCasesOfEachFormat)
{
    // The format's own worked example of LZW with the early change.
    EXPECT_EQ("-----A---B", LzwDecode(FromHex("800b6050220c0c8501"), true));
    // ASCII85: "z" for four zeros, white space anywhere, a last group of two digits for one byte.
    EXPECT_EQ(std::string("\0\0\0\0Man ", 8), Ascii85Decode("z9jqo^~>"));
    EXPECT_EQ("Man ", Ascii85Decode("9jq\no^ ~>"));
    EXPECT_EQ("M", Ascii85Decode("9`~>"));
    // ASCIIHex: an odd last digit stands for its high half; the end marker stops the data.
    EXPECT_EQ("\x12\x30", AsciiHexDecode("1 2\n3>ff"));
    // Run-length: a literal run of three, a repeat of 127 and the end code.
    EXPECT_EQ("abc" + std::string(127, 'z'), RunLengthDecode(std::string("\x02" "abc" "\x82z\x80" "ignored", 10)));
}

TEST(StreamFilters, DamagedDataIsAnErrorNotACrash)
{
    EXPECT_THROW(Ascii85Decode("ab{de~>"), PdfError);          // outside the digit range
    EXPECT_THROW(Ascii85Decode("abz~>"), PdfError);            // "z" inside a group
    EXPECT_THROW(Ascii85Decode("s8W-\"~>"), PdfError);         // a group above 2^32 - 1
    EXPECT_THROW(Ascii85Decode("a~>"), PdfError);              // a last group of one digit
    EXPECT_THROW(AsciiHexDecode("12G4>"), PdfError);
    EXPECT_THROW(LzwDecode(FromHex("8000ffff"), true), PdfError); // a code beyond the table
    EXPECT_THROW(DecodeInFile("/Filter /DCTDecode", "\xff\xd8"), PdfError);
    EXPECT_THROW(DecodeInFile("/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 0 >>", Deflate("abc")), PdfError);
    EXPECT_THROW(DecodeInFile("/Filter /FlateDecode /DecodeParms << /Predictor 12 /Columns 2 >>", Deflate("\x07xy")), PdfError);
    // Rows wider than any stream may decode to (colors x bits x columns past 2^32 bits).
    EXPECT_THROW(UndoPredictor(std::string(64, '\0'), 12, 32, 16, 2000000000), PdfError);
    EXPECT_THROW(UndoPredictor(std::string(64, '\0'), 2, 32, 16, 2000000000), PdfError);
    // Cut short: what was decoded is kept.
    EXPECT_EQ("ab", RunLengthDecode("\x05" "ab"));
    EXPECT_EQ(std::string("\x00\x01", 2), DecodeInFile("/Filter [/AHx /RL]", "010001"));
}
