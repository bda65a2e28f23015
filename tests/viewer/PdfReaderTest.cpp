// The PDF form reader on hand-made files (classic and compressed cross-references, inherited field
// entries, damaged files) and on the generated sample claim form.
#include "PdfTestFiles.h"
#include "tests/support/TempFolder.h"
#include "viewer/PdfDocument.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>

using namespace pdf;

namespace {

std::vector<TestPdfObject> FormObjects()
{
    return {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R 7 0 R 11 0 R 13 0 R] >> >>"},
        {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /MediaBox [0 0 600 800] >>"},
        {3, "<< /Type /Page /Parent 2 0 R /Annots [5 0 R 6 0 R 8 0 R 9 0 R 12 0 R 13 0 R] >>"},
        // A parent that gives type, value and flags to its two named kids.
        {4, "<< /T (patient) /FT /Tx /V (Smith) /Ff 4096 /Kids [5 0 R 6 0 R] >>"},
        {5, "<< /T (name) /Parent 4 0 R /Subtype /Widget /Rect [10 20 110 40] >>"},
        {6, "<< /T (city) /Parent 4 0 R /Subtype /Widget /V <FEFF00C90041> /Rect [200 700 100 680] >>"},
        // Radio group whose widgets are nameless kids.
        {7, "<< /T (sex) /FT /Btn /Ff 32768 /V /F /Kids [8 0 R 9 0 R] >>"},
        {8, "<< /Parent 7 0 R /Subtype /Widget /Rect [300 300 310 310] /AP << /N << /M 10 0 R /Off 10 0 R >> >> >>"},
        {9, "<< /Parent 7 0 R /Subtype /Widget /Rect [320 300 330 310] /AP << /N << /F 10 0 R /Off 10 0 R >> >> >>"},
        {10, "<< /Length 0 >>\nstream\n\nendstream"},
        // A check box that takes its type from its parent.
        {11, "<< /T (agree) /FT /Btn /Kids [12 0 R] >>"},
        {12, "<< /T (box) /Parent 11 0 R /V /Yes /Subtype /Widget /Rect [1 2 3 4] /AP << /N << /Yes 10 0 R /Off 10 0 R >> >> >>"},
        {13, "<< /T (state) /FT /Ch /Ff 131072 /Opt [(NY) [(CA) (California)]] /V (CA) /Subtype /Widget /Rect [5 5 50 20] >>"},
    };
}

const FormField* FieldNamed(const FormDocument& form, const std::wstring& name)
{
    for (const FormField& f : form.fields)
        if (f.name == name) return &f;
    return nullptr;
}

void ExpectTheHandMadeForm(const std::string& bytes)
{
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    ASSERT_EQ(1u, form.pages.size());
    EXPECT_EQ(600, form.pages[0].Width());
    EXPECT_EQ(800, form.pages[0].Height());
    ASSERT_EQ(5u, form.fields.size());

    const FormField* name = FieldNamed(form, L"patient.name");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(FieldType::Text, name->type);
    EXPECT_EQ(L"Smith", name->value);
    EXPECT_TRUE(name->multiline);
    ASSERT_EQ(1u, name->widgets.size());
    EXPECT_EQ(10, name->widgets[0].rect[0]);
    EXPECT_EQ(40, name->widgets[0].rect[3]);

    const FormField* city = FieldNamed(form, L"patient.city");
    ASSERT_NE(nullptr, city);
    EXPECT_EQ(std::wstring(L"\u00C9A"), city->value);
    // Rectangles come out normalised.
    EXPECT_EQ(100, city->widgets[0].rect[0]);
    EXPECT_EQ(680, city->widgets[0].rect[1]);
    EXPECT_EQ(200, city->widgets[0].rect[2]);

    const FormField* sex = FieldNamed(form, L"sex");
    ASSERT_NE(nullptr, sex);
    EXPECT_EQ(FieldType::Radio, sex->type);
    EXPECT_EQ(L"F", sex->value);
    ASSERT_EQ(2u, sex->widgets.size());
    EXPECT_EQ("M", sex->widgets[0].onState);
    EXPECT_EQ("F", sex->widgets[1].onState);

    const FormField* box = FieldNamed(form, L"agree.box");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ(FieldType::CheckBox, box->type);
    EXPECT_EQ(L"Yes", box->value);

    const FormField* state = FieldNamed(form, L"state");
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(FieldType::Choice, state->type);
    EXPECT_TRUE(state->combo);
    ASSERT_EQ(2u, state->options.size());
    EXPECT_EQ(L"California", state->options[1]);
}

} // namespace

TEST(PdfReader, ReadsFieldsThroughAClassicTable)
{
    ExpectTheHandMadeForm(MakeClassicPdf(FormObjects(), 1));
}

TEST(PdfReader, ReadsFieldsFromCompressedObjectStreams)
{
    std::string bytes = MakeCompressedPdf(FormObjects(), 1);
    // Nothing of the field dictionaries may be readable in the file itself.
    ASSERT_EQ(std::string::npos, bytes.find("patient"));
    ExpectTheHandMadeForm(bytes);
}

TEST(PdfReader, LaterRevisionsWinOverEarlierOnes)
{
    std::string first = MakeClassicPdf(FormObjects(), 1);
    size_t firstXref = first.rfind("startxref");
    size_t prev = std::stoul(first.substr(firstXref + 10));
    // An incremental update replaces object 4 with a new value.
    std::string update = "4 0 obj\n<< /T (patient) /FT /Tx /V (Jones) /Kids [5 0 R 6 0 R] >>\nendobj\n";
    size_t objOffset = first.size();
    std::string bytes = first + update;
    size_t xref = bytes.size();
    char entry[32];
    snprintf(entry, sizeof entry, "%010u 00000 n \n", static_cast<unsigned>(objOffset));
    bytes += std::string("xref\n4 1\n") + entry + "trailer\n<< /Size 14 /Root 1 0 R /Prev " + std::to_string(prev) +
             " >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    ASSERT_NE(nullptr, FieldNamed(form, L"patient.name"));
    EXPECT_EQ(L"Jones", FieldNamed(form, L"patient.name")->value);
    EXPECT_FALSE(FieldNamed(form, L"patient.name")->multiline);
}

TEST(PdfReader, DamagedFilesAreErrorsNotCrashes)
{
    FormDocument form;
    std::string error;
    EXPECT_FALSE(ReadPdfForm("", form, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ReadPdfForm("hello world, not a PDF at all", form, error));
    EXPECT_FALSE(ReadPdfForm("%PDF-1.4\n1 0 obj << >> endobj\nstartxref\n999999\n%%EOF", form, error));

    // A field tree that loops back on itself ends; a page tree too.
    std::vector<TestPdfObject> loop = {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [3 0 R] >> >>"},
        {2, "<< /Type /Pages /Kids [2 0 R] /Count 1 >>"},
        {3, "<< /T (a) /FT /Tx /Kids [3 0 R 4 0 R] >>"},
        {4, "<< /T (b) /Parent 3 0 R /Kids [3 0 R] /Rect [0 0 1 1] >>"},
    };
    EXPECT_FALSE(ReadPdfForm(MakeClassicPdf(loop, 1), form, error)); // no page: an error
    // A stream whose length refers to itself.
    std::vector<TestPdfObject> selfLength = FormObjects();
    selfLength[9].body = "<< /Length 10 0 R >>\nstream\nabc\nendstream";
    EXPECT_TRUE(ReadPdfForm(MakeClassicPdf(selfLength, 1), form, error)) << error;

    // A value behind a long chain of references: refused, not a stack overflow.
    std::vector<TestPdfObject> chain = FormObjects();
    chain[3].body = "<< /T (patient) /FT /Tx /V 20 0 R /Kids [5 0 R 6 0 R] >>";
    for (int n = 20; n < 5020; ++n) chain.push_back({n, std::to_string(n + 1) + " 0 R"});
    chain.push_back({5020, "(end)"});
    EXPECT_FALSE(ReadPdfForm(MakeClassicPdf(chain, 1), form, error));
    EXPECT_NE(std::string::npos, error.find("nested"));

    // Every truncation and a flipped byte at many places: an answer each time, never a crash.
    for (const std::string& whole : {MakeClassicPdf(FormObjects(), 1), MakeCompressedPdf(FormObjects(), 1)}) {
        for (size_t cut = 0; cut < whole.size(); cut += 7) {
            FormDocument f;
            std::string e;
            if (!ReadPdfForm(whole.substr(0, cut), f, e)) {
                EXPECT_FALSE(e.empty());
            }
        }
        for (size_t at = 0; at < whole.size(); at += 5) {
            std::string damaged = whole;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x5A);
            FormDocument f;
            std::string e;
            if (!ReadPdfForm(damaged, f, e)) {
                EXPECT_FALSE(e.empty());
            }
        }
    }
}

TEST(PdfReader, FlateAndPredictorsDecode)
{
    EXPECT_EQ("hello hello hello", FlateDecode(Deflate("hello hello hello")));
    EXPECT_THROW(FlateDecode("not compressed"), PdfError);
    // Two rows of three bytes: "sub" then "up".
    std::string rows = std::string("\1\1\1\1", 4) + std::string("\2\1\1\1", 4);
    EXPECT_EQ(std::string("\1\2\3\2\3\4", 6), UndoPredictor(rows, 12, 1, 8, 3));
}

TEST(PdfReader, ReadsTheGeneratedClaimForm)
{
    std::string bytes = ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf");
    ASSERT_FALSE(bytes.empty());
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(bytes, form, error)) << error;
    EXPECT_EQ(L"CMS-1500", form.subject);
    ASSERT_EQ(225u, form.fields.size());
    int boxes = 0;
    for (const FormField& f : form.fields)
        if (f.type == FieldType::CheckBox) ++boxes;
    EXPECT_EQ(37, boxes);
    EXPECT_EQ(L"_1_MEDICARE----0-_1_MEDICARE", form.fields[0].name);
    EXPECT_EQ(FieldType::CheckBox, form.fields[0].type);
    EXPECT_EQ(L"SERVICE_LINE_3----123-SERVICE_LINE_3", form.fields[123].name);
    EXPECT_EQ(L"_34_Mailing_Address_4----224-_34_Mailing_Address_4", form.fields[224].name);
    // Column 2, row 47 of the 90 x 61 grid on a letter page (below the box's caption strip).
    const Widget& line3 = form.fields[123].widgets.at(0);
    EXPECT_NEAR(6.8 + 0.5, line3.rect[0], 0.01);
    EXPECT_NEAR(792 - 47 * 792.0 / 61 + 0.5, line3.rect[1], 0.01);
    EXPECT_NEAR(792 - 46 * 792.0 / 61 - 4, line3.rect[3], 0.01);
    EXPECT_FALSE(form.pageContents.at(0)->empty());
}

TEST(PdfReader, ReadsWidgetLooksAndExportValues)
{
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(MakeLibraryStyleForm(), form, error)) << error;
    ASSERT_EQ(7u, form.fields.size());

    const FormField* name = FieldNamed(form, L"name");
    ASSERT_NE(nullptr, name);
    const Widget& nameWidget = name->widgets.at(0);
    ASSERT_TRUE(nameWidget.background.present);
    EXPECT_DOUBLE_EQ(1, nameWidget.background.rgb[0]);
    EXPECT_DOUBLE_EQ(1, nameWidget.background.rgb[1]);
    EXPECT_DOUBLE_EQ(0.8, nameWidget.background.rgb[2]);
    ASSERT_TRUE(nameWidget.border.present);
    EXPECT_DOUBLE_EQ(1, nameWidget.border.rgb[2]);
    EXPECT_DOUBLE_EQ(2, nameWidget.borderWidth);
    EXPECT_DOUBLE_EQ(10, nameWidget.fontSize);

    // An empty /MK: no colours, no border; the widget's own automatic size wins over the form's.
    const Widget& city = FieldNamed(form, L"city")->widgets.at(0);
    EXPECT_FALSE(city.background.present);
    EXPECT_FALSE(city.border.present);
    EXPECT_DOUBLE_EQ(0, city.borderWidth);
    EXPECT_DOUBLE_EQ(0, city.fontSize);
    EXPECT_DOUBLE_EQ(12, FieldNamed(form, L"notes")->widgets.at(0).fontSize);

    // The radio group: grey through one component, widths from /Border and the default.
    const FormField* sex = FieldNamed(form, L"sex");
    ASSERT_NE(nullptr, sex);
    EXPECT_EQ(FieldType::Radio, sex->type);
    EXPECT_EQ(L"1", sex->value);
    EXPECT_TRUE(sex->options.empty()); // /Opt of a button names its widgets' values, not list entries
    ASSERT_EQ(2u, sex->widgets.size());
    EXPECT_EQ("0", sex->widgets[0].onState);
    EXPECT_EQ(L"M", sex->widgets[0].exportValue);
    EXPECT_EQ("1", sex->widgets[1].onState);
    EXPECT_EQ(L"F", sex->widgets[1].exportValue);
    EXPECT_DOUBLE_EQ(0.75, sex->widgets[0].background.rgb[1]);
    EXPECT_DOUBLE_EQ(3, sex->widgets[0].borderWidth);
    EXPECT_DOUBLE_EQ(1, sex->widgets[1].borderWidth);

    // A box without a value is on where its appearance state says so.
    const FormField* agree = FieldNamed(form, L"agree");
    ASSERT_NE(nullptr, agree);
    EXPECT_EQ(L"On", agree->value);
    EXPECT_EQ(L"On", agree->widgets.at(0).exportValue);

    // CMYK black.
    const Widget& plan = FieldNamed(form, L"plan")->widgets.at(0);
    EXPECT_EQ(L"Gold", plan.exportValue);
    ASSERT_TRUE(plan.border.present);
    EXPECT_DOUBLE_EQ(0, plan.border.rgb[0] + plan.border.rgb[1] + plan.border.rgb[2]);

    const FormField* state = FieldNamed(form, L"state");
    ASSERT_NE(nullptr, state);
    EXPECT_EQ(L"CA", state->value);
    EXPECT_EQ((std::vector<std::wstring>{L"New York", L"California", L"TX"}), state->options);
    EXPECT_EQ((std::vector<std::wstring>{L"NY", L"CA", L"TX"}), state->exports);
}

TEST(PdfReader, DefaultAppearanceSizes)
{
    // A field's own /DA, one inherited from its parent, the form's, and none at all.
    std::vector<TestPdfObject> objects = {
        {1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R 5 0 R 7 0 R] /DA (/Helv 9.5 Tf 0 g) >> >>"},
        {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
        {3, "<< /Type /Page /Parent 2 0 R >>"},
        {4, "<< /T (own) /FT /Tx /DA (0 g /Cour 7 Tf) /Rect [0 0 10 10] >>"},
        {5, "<< /T (parent) /FT /Tx /DA (/Helv 14 Tf) /Kids [6 0 R] >>"},
        {6, "<< /T (kid) /Parent 5 0 R /Rect [0 0 10 10] >>"},
        {7, "<< /T (plain) /FT /Tx /Rect [0 0 10 10] >>"},
    };
    FormDocument form;
    std::string error;
    ASSERT_TRUE(ReadPdfForm(MakeClassicPdf(objects, 1), form, error)) << error;
    EXPECT_DOUBLE_EQ(7, FieldNamed(form, L"own")->widgets.at(0).fontSize);
    EXPECT_DOUBLE_EQ(14, FieldNamed(form, L"parent.kid")->widgets.at(0).fontSize);
    EXPECT_DOUBLE_EQ(9.5, FieldNamed(form, L"plain")->widgets.at(0).fontSize);

    objects[0].body = "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [7 0 R] >> >>";
    ASSERT_TRUE(ReadPdfForm(MakeClassicPdf(objects, 1), form, error)) << error;
    EXPECT_DOUBLE_EQ(-1, FieldNamed(form, L"plain")->widgets.at(0).fontSize);
}
