// The reader on damaged and hostile files: cross-reference sections that claim more than the file
// holds, object streams, the repair scan, parse and decode budgets and deep page trees.
#include "PdfTestFiles.h"
#include "tests/support/TempFolder.h"
#include "viewer/PdfDocument.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>
#include <sstream>

using namespace pdf;

namespace {

std::vector<TestPdfObject> OnePageForm()
{
    return {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R] >> >>"},
        {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
        {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Annots [4 0 R] >>"},
        {4, "<< /T (name) /FT /Tx /V (Smith) /Subtype /Widget /Rect [1 1 50 20] >>"},
    };
}

// The objects as plain objects indexed by a cross-reference stream (/W [1 4 1]) of the given size:
// entries past the real objects are free, or in use at offset 0 when pastInUse; the data holds
// only dataEntries entries when that is smaller.
std::string WithXrefStream(const std::vector<TestPdfObject>& objects, long size, bool pastInUse,
                           long dataEntries = -1)
{
    std::string out = "%PDF-1.5\n";
    std::vector<size_t> offsets;
    for (const TestPdfObject& o : objects) {
        offsets.resize(o.number + 1, 0);
        offsets[o.number] = out.size();
        out += std::to_string(o.number) + " 0 obj\n" + o.body + "\nendobj\n";
    }
    size_t xref = out.size();
    std::string data;
    for (long n = 0; n < (dataEntries < 0 ? size : dataEntries); ++n) {
        size_t offset = n < static_cast<long>(offsets.size()) ? offsets[n] : 0;
        bool inUse = offset != 0 || (n >= static_cast<long>(offsets.size()) && pastInUse);
        char entry[6] = {static_cast<char>(inUse ? 1 : 0), static_cast<char>(offset >> 24), static_cast<char>(offset >> 16),
                         static_cast<char>(offset >> 8), static_cast<char>(offset), 0};
        data.append(entry, 6);
    }
    std::string packed = Deflate(data);
    out += std::to_string(size) + " 0 obj\n<< /Type /XRef /Root 1 0 R /W [1 4 1] /Size " + std::to_string(size) +
           " /Filter /FlateDecode /Length " + std::to_string(packed.size()) + " >>\nstream\n" + packed +
           "\nendstream\nendobj\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return out;
}

ObjectPtr RefTo(int number)
{
    auto ref = std::make_shared<Object>();
    ref->kind = Kind::Ref;
    ref->refNumber = number;
    return ref;
}

std::wstring ValueOf(const FormDocument& form, const std::wstring& name)
{
    for (const FormField& f : form.fields)
        if (f.name == name) return f.value;
    return L"(no such field)";
}

} // namespace

TEST(XrefIndex, TheFirstEntryOfANumberWinsAndLookupsFindEachOne)
{
    XrefIndex index;
    for (std::uint32_t n : {7u, 3u, 9u}) index.Add(XrefEntry{n, 1, n * 10, 0});
    index.Add(XrefEntry{3, 2, 55, 4}); // an older section's entry of 3
    ASSERT_NE(nullptr, index.Find(3));
    EXPECT_EQ(1, index.Find(3)->type);
    EXPECT_EQ(30u, index.Find(3)->location);
    // Added after a lookup: still loses to the entry already there.
    index.Add(XrefEntry{9, 2, 1, 1});
    index.Add(XrefEntry{8, 2, 5, 6});
    EXPECT_EQ(90u, index.Find(9)->location);
    ASSERT_NE(nullptr, index.Find(8));
    EXPECT_EQ(6u, index.Find(8)->index);
    EXPECT_EQ(nullptr, index.Find(4));
    EXPECT_EQ(4u, index.Size());
}

TEST(XrefLimits, FreeEntriesAreNotKept)
{
    // 150,000 entries of which the five objects' are in use, in a file of some 200 KB.
    std::vector<TestPdfObject> objects = OnePageForm();
    objects.push_back({5, "<< /Length 200000 >>\nstream\n" + std::string(200000, 'x') + "\nendstream"});
    std::string bytes = WithXrefStream(objects, 150000, false);
    ASSERT_GT(bytes.size(), 150000u);
    Document doc(bytes);
    EXPECT_EQ(5u, doc.ObjectCount());
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}

TEST(XrefLimits, ASectionClaimingMoreObjectsThanTheFileHoldsGoesToTheScan)
{
    // Two million entries in use in a file of some ten KB: the scan finds the four objects and the
    // stream of the cross-reference itself.
    std::string bytes = WithXrefStream(OnePageForm(), 2000000, true);
    ASSERT_LT(bytes.size(), 100000u);
    EXPECT_EQ(5u, Document(bytes).ObjectCount());
    // Fifteen million free ones (90 MB of entries): refused before their data is decoded.
    bytes = WithXrefStream(OnePageForm(), 15000000, false);
    ASSERT_LT(bytes.size(), 15000000u);
    Document doc(bytes);
    EXPECT_EQ(5u, doc.ObjectCount());
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));

    // A table subsection of ninety million entries at the end of a short file.
    std::string table = MakeClassicPdf(OnePageForm(), 1);
    size_t xref = table.rfind("xref\n0 5");
    ASSERT_NE(std::string::npos, xref);
    table.replace(xref, 8, "xref\n0 90000000");
    Document fromTable(table);
    EXPECT_EQ(4u, fromTable.ObjectCount());
    ASSERT_TRUE(ReadPdfForm(table, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));

    // A stream whose /Size asks for more entries than its data holds.
    std::string cut = WithXrefStream(OnePageForm(), 1000, false, 10);
    Document fromCut(cut);
    EXPECT_EQ(5u, fromCut.ObjectCount());
    ASSERT_TRUE(ReadPdfForm(cut, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}

TEST(ObjectStreams, EachOfSixtyThousandObjectsInOneStreamIsFoundByItsNumber)
{
    // Read once, the header serves every lookup; read again for each object it would take hours.
    std::vector<TestPdfObject> objects = OnePageForm();
    for (int n = 10; n < 60010; ++n) objects.push_back({n, "[" + std::to_string(n * 3) + "]"});
    Document doc(MakeCompressedPdf(objects, 1));
    long long mismatches = 0;
    for (int n = 60009; n >= 10; --n) {
        ObjectPtr obj = doc.Resolve(RefTo(n));
        if (obj->kind != Kind::Array || obj->items.size() != 1 || obj->items[0]->number != n * 3) ++mismatches;
    }
    EXPECT_EQ(0, mismatches);
    EXPECT_TRUE(doc.Resolve(RefTo(70000))->IsNull());
}

TEST(ObjectStreams, AHeaderDamagedPartWayKeepsTheObjectsBeforeTheDamage)
{
    std::vector<TestPdfObject> objects = OnePageForm();
    std::string stream = "5 0 6 7 x 14 (five) (six) (seven)";
    std::string packed = Deflate(stream);
    objects.push_back({9, "<< /Type /ObjStm /N 3 /First 13 /Filter /FlateDecode /Length " + std::to_string(packed.size()) +
                              " >>\nstream\n" + packed + "\nendstream"});
    std::string bytes = MakeClassicPdf(objects, 1);
    // The table places 5, 6 and 7 in object stream 9 through a cross-reference stream appended as an update.
    size_t prev = std::stoul(bytes.substr(bytes.rfind("startxref") + 10));
    size_t xref = bytes.size();
    std::string rows;
    for (int n : {5, 6, 7}) rows += std::string("\2\0\0\0\x09", 5) + static_cast<char>(n - 5);
    bytes += "20 0 obj\n<< /Type /XRef /Root 1 0 R /Size 21 /Prev " + std::to_string(prev) +
             " /Index [5 3] /W [1 4 1] /Length 18 >>\nstream\n" + rows + "\nendstream\nendobj\nstartxref\n" +
             std::to_string(xref) + "\n%%EOF\n";
    Document doc(bytes);
    EXPECT_EQ("five", doc.Resolve(RefTo(5))->text);
    EXPECT_EQ("six", doc.Resolve(RefTo(6))->text);
    EXPECT_TRUE(doc.Resolve(RefTo(7))->IsNull());
}

namespace {
// The file with its last startxref pointing nowhere, so that only the repair scan can read it.
std::string WithBrokenStartxref(std::string bytes)
{
    size_t at = bytes.rfind("startxref\n");
    bytes.replace(at, bytes.size() - at, "startxref\n999999999\n%%EOF\n");
    return bytes;
}

// An incremental update of the form: an object stream holding the given body of the field 4.
std::string WithPackedUpdate(const std::string& base, const std::string& field)
{
    std::string packed = Deflate("4 0 " + field);
    std::string bytes = base + "30 0 obj\n<< /Type /ObjStm /N 1 /First 4 /Filter /FlateDecode /Length " +
                        std::to_string(packed.size()) + " >>\nstream\n" + packed + "\nendstream\nendobj\n";
    return bytes + "trailer\n<< /Root 1 0 R >>\nstartxref\n0\n%%EOF\n";
}
} // namespace

TEST(RepairScan, TheLastCopyOfAnObjectWinsInTheFileOrInAnObjectStream)
{
    FormDocument form;
    std::string error;
    // A later copy in an object stream over the earlier one in the file.
    std::string base = MakeClassicPdf(OnePageForm(), 1);
    std::string packedLater = WithBrokenStartxref(
        WithPackedUpdate(base, "<< /T (name) /FT /Tx /V (Jones) /Subtype /Widget /Rect [1 1 50 20] >>"));
    ASSERT_TRUE(ReadPdfForm(packedLater, form, error)) << error;
    EXPECT_EQ(L"Jones", ValueOf(form, L"name"));

    // And a copy in the file written after the object stream over the stream's.
    std::string plainLater = WithPackedUpdate(base, "<< /T (name) /FT /Tx /V (Jones) /Subtype /Widget /Rect [1 1 50 20] >>");
    plainLater.insert(plainLater.rfind("trailer"), "4 0 obj\n<< /T (name) /FT /Tx /V (Brown) /Subtype /Widget /Rect [1 1 50 20] >>\nendobj\n");
    ASSERT_TRUE(ReadPdfForm(WithBrokenStartxref(plainLater), form, error)) << error;
    EXPECT_EQ(L"Brown", ValueOf(form, L"name"));
}

TEST(RepairScan, AFileOfMillionsOfObjectHeadersIsScannedInOnePass)
{
    // 400,000 copies of " 1 0 obj" before the real objects (a search forward from each would go on
    // for hours); the real objects come later and win.
    std::string headers;
    for (int i = 0; i < 400000; ++i) headers += " 1 0 obj";
    std::string bytes = MakeClassicPdf(OnePageForm(), 1);
    bytes.insert(bytes.find('\n') + 1, headers + "\n");
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(WithBrokenStartxref(bytes), form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}

TEST(RepairScan, AnOffsetThatLandsInsideAWordSendsTheReaderToTheScan)
{
    // The table's offset of object 4 three bytes late: "obj" where a number was expected.
    std::string bytes = MakeClassicPdf(OnePageForm(), 1);
    size_t object = bytes.find("4 0 obj");
    char wrong[16], right[16];
    snprintf(right, sizeof right, "%010u", static_cast<unsigned>(object));
    snprintf(wrong, sizeof wrong, "%010u", static_cast<unsigned>(object + 4));
    size_t entry = bytes.find(right, bytes.rfind("\nxref"));
    ASSERT_NE(std::string::npos, entry);
    bytes.replace(entry, 10, wrong);
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}

TEST(DocumentBudgets, StreamsOfOneDocumentDecodeToAtMost256MegabytesTogether)
{
    // Three streams of 100 MB of zeros each (some 100 KB compressed); pages drawn twice count once.
    std::string zeros = Deflate(std::string(100u << 20, '\0'));
    std::vector<TestPdfObject> objects = OnePageForm();
    objects[2].body = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents [5 0 R 6 0 R 7 0 R] >>";
    for (int n : {5, 6, 7})
        objects.push_back({n, "<< /Filter /FlateDecode /Length " + std::to_string(zeros.size()) + " >>\nstream\n" + zeros + "\nendstream"});
    std::string bytes = MakeClassicPdf(objects, 1);
    {
        Document doc(bytes);
        EXPECT_EQ(100u << 20, doc.DecodeStream(*doc.Resolve(RefTo(5))).size());
        EXPECT_EQ(100u << 20, doc.DecodeStream(*doc.Resolve(RefTo(6))).size());
        EXPECT_EQ(100u << 20, doc.DecodeStream(*doc.Resolve(RefTo(5))).size());
        try {
            doc.DecodeStream(*doc.Resolve(RefTo(7)));
            ADD_FAILURE() << "a third stream decoded past the budget";
        } catch (const PdfError& e) {
            EXPECT_STREQ("its streams need more than 256 MB when decoded", e.what());
        }
        // Refused once, refused again; what was counted stays decodable.
        EXPECT_THROW(doc.DecodeStream(*doc.Resolve(RefTo(7))), PdfError);
        EXPECT_EQ(100u << 20, doc.DecodeStream(*doc.Resolve(RefTo(6))).size());
    }
    // Another document has a budget of its own.
    Document other(bytes);
    EXPECT_EQ(100u << 20, other.DecodeStream(*other.Resolve(RefTo(7))).size());
}

TEST(DocumentBudgets, AKidsArrayOfAMillionInlineDictionariesIsRefused)
{
    std::string kids;
    for (int i = 0; i < 1000000; ++i) kids += "<</T(a)>>";
    std::vector<TestPdfObject> objects = OnePageForm();
    objects[0].body = "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R 5 0 R] >> >>";
    objects.push_back({5, "<< /T (many) /Kids [" + kids + "] >>"});
    std::string bytes = MakeCompressedPdf(objects, 1);
    ASSERT_LT(bytes.size(), 200000u);
    FormDocument form;
    std::string error;
    EXPECT_FALSE(ReadPdfForm(bytes, form, error));
    EXPECT_EQ("its objects hold more than 1000000 values", error);

    // Far fewer values are read as they are.
    objects.back().body = "<< /T (many) /Kids [<</T(a)/FT/Tx/V(1)/Rect[0 0 1 1]>> <</T(b)/FT/Tx/V(2)/Rect[0 0 1 1]>>] >>";
    ASSERT_TRUE(ReadPdfForm(MakeCompressedPdf(objects, 1), form, error)) << error;
    EXPECT_EQ(L"2", ValueOf(form, L"many.b"));
}

TEST(DocumentBudgets, AHybridSectionPointingPastTheEndIsAnErrorTheScanRepairs)
{
    // /XRefStm far beyond the file's end: a reader error (never another exception), then the scan.
    std::string bytes = MakeClassicPdf(OnePageForm(), 1, "/XRefStm 4000000000 ");
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}

namespace {
// A page tree of the given depth: a chain of /Pages nodes, each the only kid of the one above,
// with the one page at the bottom holding the field.
std::vector<TestPdfObject> ChainOfPageNodes(int depth)
{
    std::vector<TestPdfObject> objects = OnePageForm();
    int top = 100;
    objects[1].body = "<< /Type /Pages /Kids [" + std::to_string(top) + " 0 R] /Count 1 >>";
    for (int level = 0; level < depth; ++level) {
        int kid = level + 1 < depth ? top + level + 1 : 3;
        objects.push_back({top + level, "<< /Type /Pages /Kids [" + std::to_string(kid) + " 0 R] /Count 1 >>"});
    }
    return objects;
}
} // namespace

TEST(PageTree, HundredsOfLevelsAreReadAndDeeperTreesAreRefusedNamingTheNode)
{
    FormDocument form;
    std::string error;
    // 300 levels below the root's own node: the page and its field are there.
    ASSERT_TRUE(ReadPdfForm(MakeClassicPdf(ChainOfPageNodes(300), 1), form, error)) << error;
    EXPECT_EQ(1u, form.pages.size());
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
    // 600 levels: refused at the node 513 levels down (object 2 is level 0, object 100 level 1).
    EXPECT_FALSE(ReadPdfForm(MakeClassicPdf(ChainOfPageNodes(600), 1), form, error));
    EXPECT_EQ("the page tree goes deeper than 512 levels at object 612", error);
    // A loop in the tree still ends without a refusal of depth.
    std::vector<TestPdfObject> loop = ChainOfPageNodes(3);
    loop.back().body = "<< /Type /Pages /Kids [100 0 R 3 0 R] /Count 1 >>";
    ASSERT_TRUE(ReadPdfForm(MakeClassicPdf(loop, 1), form, error)) << error;
    EXPECT_EQ(1u, form.pages.size());
}

class BrokenUpdates : public ::testing::TestWithParam<const wchar_t*>
{
};

TEST_P(BrokenUpdates, ReadTheValuesTheUpdateWrote)
{
    // tools/forms/make_update_forms.py: the update's values, as pypdf read them from the whole file.
    std::istringstream lines(ReadWholeFile(std::wstring(FORMSTEAD_UPDATE_FORMS_DIR) + GetParam() + L"-values.txt"));
    std::vector<std::pair<std::wstring, std::wstring>> expected;
    for (std::string line; std::getline(lines, line);) {
        size_t equals = line.find('=');
        ASSERT_NE(std::string::npos, equals) << line;
        expected.emplace_back(std::wstring(line.begin(), line.begin() + equals), std::wstring(line.begin() + equals + 1, line.end()));
    }
    ASSERT_EQ(2u, expected.size()) << "missing values of the test form";
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(ReadWholeFile(std::wstring(FORMSTEAD_UPDATE_FORMS_DIR) + GetParam() + L".pdf"), form, error)) << error;
    EXPECT_EQ(2u, form.fields.size());
    for (const auto& field : expected) EXPECT_EQ(field.second, ValueOf(form, field.first)) << field.first.c_str();
}

INSTANTIATE_TEST_SUITE_P(Forms, BrokenUpdates, ::testing::Values(L"update-plain", L"update-packed"));

TEST(RepairScan, DamagedTrailersAndObjectsCostTheirOwnBytesOnly)
{
    // No trailer names the catalog; before the real objects stand 100,000 trailers and 100,000
    // objects that name a catalog, each opening a string it never closes (read to the end of the
    // file, each would take hours together). The catalog is found by its own stretch of bytes.
    std::string damaged;
    for (int i = 0; i < 100000; ++i)
        damaged += "trailer\n<< /Root 1 0 R /Info (\n" + std::to_string(1000 + i) + " 0 obj\n<< /Type /Catalog /Pages (\n";
    std::string bytes = MakeClassicPdf(OnePageForm(), 1);
    bytes.insert(bytes.find('\n') + 1, damaged);
    size_t root = bytes.rfind("/Root 1 0 R");
    bytes.replace(root, 11, "");
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(WithBrokenStartxref(bytes), form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}

TEST(RepairScan, AnObjectStreamAwayFromItsRecordedOffsetStillServesItsObjects)
{
    // Five bytes before the object stream: its recorded offset misses it, and the scan that looks
    // for it runs while the stream is being loaded (which must not count as damage of the stream).
    std::string bytes = MakeCompressedPdf(OnePageForm(), 1);
    size_t stream = bytes.find("5 0 obj\n<< /Type /ObjStm");
    ASSERT_NE(std::string::npos, stream);
    bytes.insert(stream, "%pad\n");
    size_t startxref = bytes.rfind("startxref\n") + 10;
    size_t xref = std::stoul(bytes.substr(startxref));
    bytes.replace(startxref, bytes.find('\n', startxref) - startxref, std::to_string(xref + 5));
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    EXPECT_EQ(L"Smith", ValueOf(form, L"name"));
}
