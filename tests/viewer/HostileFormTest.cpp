// Reading forms made to hurt: a content stream shared by pages is decoded once and shared, field trees
// hundreds of levels deep are read whole, a form past a limit is refused with a message naming it, and
// damage to what the fields and pages do not need leaves the form readable (the trace says what was
// left out) while a damaged field object refuses the form by name.
#include "PdfTestFiles.h"
#include "framework/Seams.h"
#include "viewer/FormScript.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace pdf;

namespace {

// The trace lines written while the object lives.
class TraceLines
{
public:
    TraceLines()
    {
        AfxSetTraceSink([this](const wchar_t* line) { lines.push_back(line); });
    }
    ~TraceLines() { AfxSetTraceSink(nullptr); }
    bool Has(const std::wstring& line) const
    {
        for (const std::wstring& l : lines)
            if (l == line) return true;
        return false;
    }
    std::vector<std::wstring> lines;
};

// A one-page form: catalog 1 (its AcroForm holding the fields array as given, and extra entries),
// pages 2, page 3 with the annotations as given; more objects follow.
std::vector<TestPdfObject> OnePageForm(const std::string& fields, const std::string& annots,
                                       const std::string& acroFormExtra = "")
{
    return {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields " + fields + " " + acroFormExtra + " >> >>"},
        {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
        {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Annots " + annots + " >>"},
    };
}

FormDocument ReadOrFail(const std::string& bytes)
{
    FormDocument form;
    std::string error;
    EXPECT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    return form;
}

std::string RefusalOf(const std::string& bytes)
{
    FormDocument form;
    std::string error;
    EXPECT_FALSE(ReadPdfForm(bytes, form, error));
    EXPECT_TRUE(form.fields.empty());
    return error;
}

std::vector<std::wstring> NamesOf(const FormDocument& form)
{
    std::vector<std::wstring> names;
    for (const FormField& f : form.fields) names.push_back(f.name);
    return names;
}

std::string Stream(const std::string& data)
{
    std::string packed = Deflate(data);
    return "<< /Length " + std::to_string(packed.size()) + " /Filter /FlateDecode >>\nstream\n" + packed + "\nendstream";
}

// A field chain of that many levels by reference: objects 10, 11, ... named l0, l1, ..., each the
// /Parent of the next; the last is a text field with its widget. Returns the leaf's full name.
std::wstring AddFieldChain(std::vector<TestPdfObject>& objects, int levels)
{
    std::wstring name;
    for (int i = 0; i < levels; ++i) {
        int number = 10 + i;
        std::string body = "<< /T (l" + std::to_string(i) + ")";
        if (i > 0) body += " /Parent " + std::to_string(number - 1) + " 0 R";
        if (i + 1 < levels) body += " /Kids [" + std::to_string(number + 1) + " 0 R]";
        else body += " /FT /Tx /V (deep) /Rect [10 10 90 30] /P 3 0 R";
        objects.push_back({number, body + " >>"});
        name += (i ? L".l" : L"l") + std::to_wstring(i);
    }
    return name;
}

TEST(SharedPageContent, PagesOfOneContentStreamShareOneDecodedText)
{
    // Pages 3 to 5 draw stream 10; pages 6 and 7 both list the streams 10 and 11.
    std::vector<TestPdfObject> objects = {
        {1, "<< /Type /Catalog /Pages 2 0 R >>"},
        {2, "<< /Type /Pages /Kids [3 0 R 4 0 R 5 0 R 6 0 R 7 0 R] /Count 5 /MediaBox [0 0 200 200] >>"},
        {10, Stream("0 0 m 100 100 l S")},
        {11, Stream("BT ET")},
    };
    for (int page = 3; page <= 5; ++page) objects.push_back({page, "<< /Type /Page /Parent 2 0 R /Contents 10 0 R >>"});
    for (int page = 6; page <= 7; ++page)
        objects.push_back({page, "<< /Type /Page /Parent 2 0 R /Contents [10 0 R 11 0 R] >>"});
    for (const std::string& bytes : {MakeClassicPdf(objects, 1), MakeCompressedPdf(objects, 1)}) {
        FormDocument form = ReadOrFail(bytes);
        ASSERT_EQ(5u, form.pageContents.size());
        EXPECT_EQ("0 0 m 100 100 l S", *form.pageContents[0]);
        EXPECT_EQ(form.pageContents[0].get(), form.pageContents[1].get());
        EXPECT_EQ(form.pageContents[0].get(), form.pageContents[2].get());
        EXPECT_EQ("0 0 m 100 100 l S\nBT ET\n", *form.pageContents[3]);
        EXPECT_EQ(form.pageContents[3].get(), form.pageContents[4].get());

        // The script's copy of the form holds the same texts, and the file it keeps is the one given.
        std::string kept = bytes;
        const char* data = kept.data();
        viewer::FormScript script;
        script.Load(form, std::move(kept));
        EXPECT_EQ(form.pageContents[0].get(), script.Form().pageContents[0].get());
        EXPECT_EQ(form.pageContents[3].get(), script.Form().pageContents[3].get());
        EXPECT_EQ(data, script.PdfBytes().data());
    }
}

TEST(SharedPageContent, AContentStreamThatCannotBeDecodedLeavesItsPagesBlankAndSaysSo)
{
    std::vector<TestPdfObject> objects = {
        {1, "<< /Type /Catalog /Pages 2 0 R >>"},
        {2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 /MediaBox [0 0 200 200] >>"},
        {3, "<< /Type /Page /Parent 2 0 R /Contents 10 0 R >>"},
        {4, "<< /Type /Page /Parent 2 0 R /Contents 10 0 R >>"},
        {10, "<< /Length 5 /Filter /Sideways >>\nstream\nabcde\nendstream"},
    };
    TraceLines trace;
    FormDocument form = ReadOrFail(MakeClassicPdf(objects, 1));
    ASSERT_EQ(2u, form.pageContents.size());
    EXPECT_EQ("", *form.pageContents[0]);
    EXPECT_EQ("", *form.pageContents[1]);
    ASSERT_EQ(2u, trace.lines.size());
    EXPECT_EQ(0u, trace.lines[0].find(L"Form viewer: page 1 is drawn blank: ")) << trace.lines[0];
    EXPECT_EQ(0u, trace.lines[1].find(L"Form viewer: page 2 is drawn blank: ")) << trace.lines[1];
}

TEST(FieldTreeDepth, FieldsHundredsOfLevelsDeepAreReadWhole)
{
    std::vector<TestPdfObject> objects = OnePageForm("[10 0 R]", "[]");
    std::wstring leaf = AddFieldChain(objects, 400);
    FormDocument form = ReadOrFail(MakeClassicPdf(objects, 1));
    ASSERT_EQ(1u, form.fields.size());
    EXPECT_EQ(leaf, form.fields[0].name);
    EXPECT_EQ(L"deep", form.fields[0].value);
    ASSERT_EQ(1u, form.fields[0].widgets.size());
}

TEST(FieldTreeDepth, AFormDeeperThanTheLimitIsRefusedWithTheLimitNamed)
{
    // Through the field tree, with a readable field beside the deep one: never read without it.
    std::vector<TestPdfObject> objects = OnePageForm("[9 0 R 10 0 R]", "[]");
    objects.push_back({9, "<< /T (top) /FT /Tx /Rect [0 0 10 10] >>"});
    AddFieldChain(objects, 502);
    EXPECT_EQ("the form's fields are nested more than 500 levels deep", RefusalOf(MakeClassicPdf(objects, 1)));

    // Through a widget's /Parent chain only: the page lists the widget, the fields another field.
    std::vector<TestPdfObject> stray = OnePageForm("[9 0 R]", "[8 0 R]");
    stray.push_back({9, "<< /T (top) /FT /Tx /Rect [0 0 10 10] >>"});
    AddFieldChain(stray, 502);
    stray.push_back({8, "<< /Type /Annot /Subtype /Widget /Rect [0 0 5 5] /Parent 511 0 R >>"});
    EXPECT_EQ("the form's fields are nested more than 500 levels deep", RefusalOf(MakeClassicPdf(stray, 1)));
}

TEST(FieldTreeDepth, AFieldTreeThatLoopsIsStillReadOnce)
{
    std::vector<TestPdfObject> objects = OnePageForm("[10 0 R]", "[]");
    objects.push_back({10, "<< /T (a) /Kids [11 0 R] >>"});
    objects.push_back({11, "<< /T (b) /Kids [10 0 R 12 0 R] >>"});
    objects.push_back({12, "<< /T (c) /FT /Tx /Rect [0 0 10 10] >>"});
    FormDocument form = ReadOrFail(MakeClassicPdf(objects, 1));
    EXPECT_EQ(std::vector<std::wstring>{L"a.b.c"}, NamesOf(form));
}

// Fields written inline in the form's array, the whole packed in a compressed object stream.
std::string InlineFields(size_t count)
{
    std::string fields = "[";
    for (size_t i = 0; i < count; ++i) fields += "<< /T (f" + std::to_string(i) + ") /FT /Tx /Rect [0 0 9 9] >>";
    return MakeCompressedPdf(OnePageForm(fields + "]", "[]"), 1);
}

TEST(FormCounts, AsManyFieldsAsAFormsTableHoldsAreShownAndMoreAreReadButRefusedSaying)
{
    FormDocument form = ReadOrFail(InlineFields(8189));
    ASSERT_EQ(8189u, form.fields.size());
    EXPECT_EQ(L"f0", form.fields.front().name);
    EXPECT_EQ(L"f8188", form.fields.back().name);
    EXPECT_EQ("", pdf::FormSizeRefusal(form));

    // Read whole (a reader shows them), but more than the form's table can hold as columns.
    form = ReadOrFail(InlineFields(20000));
    ASSERT_EQ(20000u, form.fields.size());
    EXPECT_EQ(L"f19999", form.fields.back().name);
    EXPECT_EQ("the form has more than 8189 fields", pdf::FormSizeRefusal(form));
}

// One field of that many widgets, written inline.
std::string ManyWidgets(int count)
{
    std::string kids = "[";
    for (int i = 0; i < count; ++i) kids += "<< /Rect [0 0 9 9] >>";
    return MakeCompressedPdf(OnePageForm("[<< /T (many) /FT /Tx /Kids " + kids + "] >>]", "[]"), 1);
}

TEST(FormCounts, MoreWidgetsThanWindowsCanShowAreReadButRefusedAndMoreThanAReadBuildsAreRefused)
{
    FormDocument form = ReadOrFail(ManyWidgets(9000));
    EXPECT_EQ("", pdf::FormSizeRefusal(form));
    form = ReadOrFail(ManyWidgets(9001));
    ASSERT_EQ(1u, form.fields.size());
    EXPECT_EQ(9001u, form.fields[0].widgets.size());
    EXPECT_EQ("the form has more than 9000 field widgets", pdf::FormSizeRefusal(form));
    EXPECT_EQ("the form has more than 65536 field widgets", RefusalOf(ManyWidgets(65537)));
}

TEST(FormCounts, MoreNodesThanTheFieldTreeMayHaveAreRefusedSaying)
{
    // Nodes of no field type make no fields, but still count.
    std::string fields = "[";
    for (int i = 0; i < 65537; ++i) fields += "<< /T (n" + std::to_string(i) + ") >>";
    EXPECT_EQ("the form's field tree has more than 65536 nodes",
              RefusalOf(MakeCompressedPdf(OnePageForm(fields + "]", "[]"), 1)));
}

// A form whose field "name" (object 10, its widget object 11) is whole; what surrounds it is damaged.
struct DamagedForm
{
    std::vector<TestPdfObject> objects;
    std::string trailer;
};

DamagedForm FormBeside(const std::string& acroFormExtra, const std::string& annots)
{
    DamagedForm form{OnePageForm("[10 0 R]", annots, acroFormExtra), ""};
    form.objects.push_back({10, "<< /T (name) /FT /Tx /V (Ann) /Kids [11 0 R] >>"});
    form.objects.push_back({11, "<< /Type /Annot /Subtype /Widget /Parent 10 0 R /Rect [10 10 90 30] /P 3 0 R >>"});
    return form;
}

void ExpectTheNameField(const FormDocument& form)
{
    ASSERT_EQ(std::vector<std::wstring>{L"name"}, NamesOf(form));
    EXPECT_EQ(L"Ann", form.fields[0].value);
    ASSERT_EQ(1u, form.fields[0].widgets.size());
    EXPECT_EQ(10, form.fields[0].widgets[0].rect[0]);
}

TEST(DamagedForms, ADamagedDocumentInformationIsLeftOut)
{
    DamagedForm damaged = FormBeside("", "[11 0 R]");
    damaged.objects.push_back({20, "<< /Title (x) /Oops ) >>"});
    TraceLines trace;
    FormDocument form = ReadOrFail(MakeClassicPdf(damaged.objects, 1, "/Info 20 0 R "));
    ExpectTheNameField(form);
    EXPECT_EQ(L"", form.title);
    ASSERT_EQ(1u, trace.lines.size());
    EXPECT_EQ(0u, trace.lines[0].find(L"Form viewer: the document information is damaged and left out: ")) << trace.lines[0];
}

TEST(DamagedForms, DamagedAnnotationsOfNoFieldAreLeftOut)
{
    // A link (20) and a widget of no field (21), both damaged; a readable link (22) still counts.
    DamagedForm damaged = FormBeside("", "[20 0 R 11 0 R 21 0 R 22 0 R]");
    damaged.objects.push_back({20, "<< /Type /Annot /Subtype /Link /Rect [0 0 5 5] /A ) >>"});
    damaged.objects.push_back({21, "<< /Type /Annot /Subtype /Widget /T ) >>"});
    damaged.objects.push_back({22, "<< /Type /Annot /Subtype /Link /Rect [0 0 5 5] /A << /URI (http://a.example/) >> >>"});
    TraceLines trace;
    FormDocument form = ReadOrFail(MakeClassicPdf(damaged.objects, 1));
    ExpectTheNameField(form);
    ASSERT_EQ(1u, form.links.size());
    EXPECT_EQ(L"http://a.example/", form.links[0].address);
    ASSERT_EQ(2u, trace.lines.size());
    for (const std::wstring& line : trace.lines)
        EXPECT_EQ(0u, line.find(L"Form viewer: an annotation of page 1 is damaged and left out: ")) << line;
}

TEST(DamagedForms, ADamagedDefaultAppearanceAndDamagedActionsAreLeftOut)
{
    DamagedForm damaged = FormBeside("/DA 20 0 R", "[11 0 R]");
    damaged.objects[3].body = "<< /T (name) /FT /Tx /V (Ann) /Kids [11 0 R] /AA 21 0 R >>";
    damaged.objects.push_back({20, ")"});
    damaged.objects.push_back({21, "<< /C << /JS (AFSimple_Calculate\\(\"SUM\", new Array \\(\"a\"\\)\\)) >> /K ) >>"});
    TraceLines trace;
    FormDocument form = ReadOrFail(MakeClassicPdf(damaged.objects, 1));
    ExpectTheNameField(form);
    EXPECT_TRUE(form.fields[0].sumOf.empty());
    EXPECT_EQ(-1, form.fields[0].widgets[0].fontSize);
    ASSERT_EQ(2u, trace.lines.size());
    EXPECT_EQ(0u, trace.lines[0].find(L"Form viewer: the form's default appearance is damaged and left out: ")) << trace.lines[0];
    EXPECT_EQ(0u, trace.lines[1].find(L"Form viewer: the actions of field name are damaged and left out: ")) << trace.lines[1];
}

TEST(DamagedForms, ADamagedFieldObjectRefusesTheFormNamingIt)
{
    // The field itself, then its widget (a kid the field needs).
    for (int number : {10, 11}) {
        DamagedForm damaged = FormBeside("", "[]");
        damaged.objects[number == 10 ? 3 : 4].body = "<< /Bad ) >>";
        std::string bytes = MakeClassicPdf(damaged.objects, 1);
        size_t object = bytes.find(std::to_string(number) + " 0 obj");
        size_t bad = bytes.find("/Bad )", object) + 5;
        EXPECT_EQ("field object " + std::to_string(number) + " 0 is damaged (unexpected token at offset " +
                      std::to_string(bad) + ")",
                  RefusalOf(bytes));
    }
}

TEST(DamagedForms, ADamagedPageObjectRefusesTheFormNamingIt)
{
    DamagedForm damaged = FormBeside("", "[11 0 R]");
    damaged.objects[1].body = "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>";
    damaged.objects.push_back({4, "<< /Type /Page /Parent 2 0 R /MediaBox ) >>"});
    std::string bytes = MakeClassicPdf(damaged.objects, 1);
    size_t bad = bytes.find("/MediaBox )") + 10;
    EXPECT_EQ("page object 4 0 is damaged (unexpected token at offset " + std::to_string(bad) + ")", RefusalOf(bytes));

    // A damaged entry the page takes from elsewhere names the page that takes it.
    damaged.objects.back().body = "<< /Type /Page /Parent 2 0 R /Rotate 5 0 R >>";
    damaged.objects.push_back({5, "[ ) ]"});
    bytes = MakeClassicPdf(damaged.objects, 1);
    bad = bytes.find("[ ) ]") + 2;
    EXPECT_EQ("page object 4 0 is damaged (unexpected token at offset " + std::to_string(bad) + ")", RefusalOf(bytes));
}

} // namespace
