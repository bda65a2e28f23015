// Forms written by pdflatex (hyperref, pdflscape) and restructured, turned or updated by qpdf, pypdf
// and by hand: each reads as the fields pypdf reads, with every widget of its pages at the place
// pypdf reads, and its pages turned as pypdf says.
#include "FormFacts.h"
#include "PdfTestFiles.h"
#include "tests/support/TempFolder.h"
#include "viewer/FormScript.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

pdf::FormDocument ReadLatexForm(const std::wstring& name)
{
    pdf::FormDocument doc;
    std::string error;
    std::string bytes = ReadWholeFile(LatexFormPath(name, L".pdf"));
    EXPECT_FALSE(bytes.empty()) << "missing test form";
    EXPECT_TRUE(pdf::ReadPdfForm(bytes, doc, error)) << error;
    return doc;
}

const pdf::FormField* FieldNamed(const pdf::FormDocument& doc, const std::wstring& name)
{
    for (const pdf::FormField& field : doc.fields)
        if (field.name == name) return &field;
    return nullptr;
}

size_t IndexOf(const pdf::FormDocument& doc, const std::wstring& name)
{
    for (size_t i = 0; i < doc.fields.size(); ++i)
        if (doc.fields[i].name == name) return i;
    return doc.fields.size();
}

class LatexForms : public ::testing::TestWithParam<const wchar_t*>
{
};

} // namespace

TEST_P(LatexForms, ReadAsPypdfReadsThem)
{
    const std::wstring name = GetParam();
    FormFacts facts = ReadFormFacts(LatexFormPath(name, L"-facts.txt"));
    ASSERT_FALSE(facts.pageRotations.empty()) << "missing facts of the test form";
    pdf::FormDocument doc = ReadLatexForm(name);
    ExpectReadAsFacts(doc, facts);
}

INSTANTIATE_TEST_SUITE_P(Variants, LatexForms,
                         ::testing::Values(L"portrait", L"portrait-objstm", L"portrait-qdf", L"portrait-incremental",
                                           L"portrait-rotate180", L"portrait-rotate270", L"portrait-treerotate90",
                                           L"landscape", L"landscape-qdf", L"manyfields", L"kidstree"),
                         [](const ::testing::TestParamInfo<const wchar_t*>& info) {
                             std::string name;
                             for (const wchar_t* c = info.param; *c; ++c)
                                 if (iswalnum(*c)) name += static_cast<char>(*c);
                             return name;
                         });

TEST(LatexForms, EachRadioChoiceIsAWidgetOfTheOneGroup)
{
    // hyperref lists only the first choice in the form's fields; the others repeat its name.
    pdf::FormDocument doc = ReadLatexForm(L"portrait");
    const pdf::FormField* visit = FieldNamed(doc, L"visit");
    ASSERT_NE(nullptr, visit);
    EXPECT_EQ(pdf::FieldType::Radio, visit->type);
    ASSERT_EQ(3u, visit->widgets.size());
    viewer::FormScript script;
    script.Load(doc, "%PDF");
    size_t index = IndexOf(doc, L"visit");
    EXPECT_EQ(L"", script.ReportedValue(index)); // hyperref's default value names no choice
    const std::wstring exports[3] = {L"\\376\\377\\000n\\000e\\000w", L"\\376\\377\\000f\\000o\\000l\\000l\\000o\\000w\\000u\\000p",
                                     L"\\376\\377\\000u\\000r\\000g\\000e\\000n\\000t"};
    for (size_t w = 0; w < 3; ++w) {
        script.SetValue(index, exports[w]);
        EXPECT_EQ(exports[w], script.ReportedValue(index));
        for (size_t other = 0; other < 3; ++other) EXPECT_EQ(other == w, script.IsChecked(index, other)) << w << " " << other;
    }
}

TEST(LatexForms, AnIncrementalUpdateGivesTheNewValues)
{
    pdf::FormDocument doc = ReadLatexForm(L"portrait-incremental");
    viewer::FormScript script;
    script.Load(doc, "%PDF");
    EXPECT_EQ(L"Updated patientname", script.ReportedValue(IndexOf(doc, L"patientname")));
    EXPECT_EQ(L"Updated patientcity", script.ReportedValue(IndexOf(doc, L"patientcity")));
    size_t visit = IndexOf(doc, L"visit");
    ASSERT_LT(visit, doc.fields.size());
    EXPECT_FALSE(script.IsChecked(visit, 0));
    EXPECT_TRUE(script.IsChecked(visit, 1));
    EXPECT_FALSE(script.IsChecked(visit, 2));
}

TEST(LatexForms, WidgetsOutsideTheFieldTreeJoinTheirFieldOnly)
{
    // plan's third widget names it as /Parent without being one of its kids; "stray" is a widget
    // of no field the form lists.
    pdf::FormDocument doc = ReadLatexForm(L"kidstree");
    const pdf::FormField* plan = FieldNamed(doc, L"plan");
    ASSERT_NE(nullptr, plan);
    ASSERT_EQ(3u, plan->widgets.size());
    EXPECT_EQ("medicare", plan->widgets[2].onState);
    EXPECT_EQ(250, plan->widgets[2].rect[0]);
    EXPECT_EQ(nullptr, FieldNamed(doc, L"stray"));
    const pdf::FormField* name = FieldNamed(doc, L"patient.name");
    ASSERT_NE(nullptr, name);
    EXPECT_EQ(2u, name->widgets.size());
}

TEST(LatexForms, NodesOfOneNameInTheFieldsAreOneField)
{
    // A writer that lists every choice of a radio group among the form's fields, each with the
    // group's name: one field (one column), a widget for each choice.
    auto choice = [](const char* rect, const char* state) {
        return std::string("<< /Type /Annot /Subtype /Widget /T (plan) /FT /Btn /Ff 49152 /P 3 0 R /Rect [") + rect +
               "] /AS /Off /AP << /N << /" + state + " 7 0 R /Off 7 0 R >> >> >>";
    };
    std::string bytes = MakeClassicPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R /AcroForm << /Fields [4 0 R 5 0 R 6 0 R] >> >>"},
         {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"},
         {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 300] /Annots [4 0 R 5 0 R 6 0 R] >>"},
         {4, choice("10 10 20 20", "hmo")},
         {5, choice("30 10 40 20", "ppo")},
         {6, "<< /Type /Annot /Subtype /Widget /T (plan) /FT /Tx /P 3 0 R /Rect [50 10 90 20] >>"},
         {7, "<< /Length 0 >>\nstream\n\nendstream"}},
        1);
    pdf::FormDocument doc;
    std::string error;
    ASSERT_TRUE(pdf::ReadPdfForm(bytes, doc, error)) << error;
    ASSERT_EQ(2u, doc.fields.size()); // a text field of the same name is another field
    EXPECT_EQ(pdf::FieldType::Radio, doc.fields[0].type);
    ASSERT_EQ(2u, doc.fields[0].widgets.size());
    EXPECT_EQ("ppo", doc.fields[0].widgets[1].onState);
    EXPECT_EQ(30, doc.fields[0].widgets[1].rect[0]);
    EXPECT_EQ(pdf::FieldType::Text, doc.fields[1].type);
}
