// Forms written by other PDF libraries (ReportLab's AcroForm writer and pdf-lib, made by the build):
// each reads as exactly its fields, a radio group as one field whose value is the chosen widget's
// export value, and its page's labels are drawn where pdftoppm draws them.
#include "ReferencePage.h"
#include "tests/support/TempFolder.h"
#include "viewer/FormScript.h"
#include "viewer/PdfForm.h"
#include <gtest/gtest.h>

namespace {

struct ExpectedField
{
    const wchar_t* name;
    pdf::FieldType type;
    size_t widgets;
    const wchar_t* filledValue; // reported by the filled copy
};

struct ForeignForm
{
    const wchar_t* stem;
    std::vector<ExpectedField> fields;
    std::vector<std::wstring> radioExports;
};

const ForeignForm kReportLab = {
    L"referral",
    {{L"ref_last", pdf::FieldType::Text, 1, L"Okafor"},
     {L"ref_first", pdf::FieldType::Text, 1, L"Ngozi"},
     {L"ref_dob", pdf::FieldType::Text, 1, L"03/14/1961"},
     {L"ref_phone", pdf::FieldType::Text, 1, L"555-0142"},
     {L"ref_reason", pdf::FieldType::Text, 1, L"Knee pain"},
     {L"ref_visit", pdf::FieldType::Radio, 3, L"followup"},
     {L"ref_insured", pdf::FieldType::CheckBox, 1, L"YES"}},
    {L"new", L"followup", L"urgent"}};

const ForeignForm kPdfLib = {
    L"intake",
    {{L"intake.patient.name", pdf::FieldType::Text, 1, L"Lindqvist, Maja"},
     {L"intake.patient.city", pdf::FieldType::Text, 1, L"Duluth"},
     {L"intake.insurer", pdf::FieldType::Text, 1, L"Northwind Mutual"},
     {L"intake.member_id", pdf::FieldType::Text, 1, L"NW-448120"},
     {L"intake.plan", pdf::FieldType::Radio, 3, L"medicare"},
     {L"intake.consent", pdf::FieldType::CheckBox, 1, L"YES"}},
    {L"hmo", L"ppo", L"medicare"}};

std::wstring FormPath(const ForeignForm& form, const wchar_t* kind, const wchar_t* extension)
{
    return std::wstring(FORMSTEAD_FOREIGN_FORMS_DIR) + form.stem + L"-" + kind + extension;
}

pdf::FormDocument Read(const std::wstring& path)
{
    pdf::FormDocument doc;
    std::string error;
    std::string bytes = ReadWholeFile(path);
    EXPECT_FALSE(bytes.empty()) << "missing test form";
    EXPECT_TRUE(pdf::ReadPdfForm(bytes, doc, error)) << error;
    return doc;
}

class ForeignForms : public ::testing::TestWithParam<const ForeignForm*>
{
};

} // namespace

TEST_P(ForeignForms, ReadAsExactlyTheirFieldsWithOneFieldPerRadioGroup)
{
    const ForeignForm& expected = *GetParam();
    pdf::FormDocument blank = Read(FormPath(expected, L"blank", L".pdf"));
    ASSERT_EQ(expected.fields.size(), blank.fields.size());
    for (size_t i = 0; i < expected.fields.size(); ++i) {
        EXPECT_EQ(expected.fields[i].name, blank.fields[i].name);
        EXPECT_EQ(expected.fields[i].type, blank.fields[i].type) << i;
        EXPECT_EQ(expected.fields[i].widgets, blank.fields[i].widgets.size()) << i;
        EXPECT_EQ(L"", blank.fields[i].value) << i;
        if (blank.fields[i].type != pdf::FieldType::Radio) continue;
        ASSERT_EQ(expected.radioExports.size(), blank.fields[i].widgets.size());
        // Each widget reports its own export value when it is the one chosen.
        viewer::FormScript script;
        script.Load(blank, "%PDF");
        for (size_t w = 0; w < expected.radioExports.size(); ++w) {
            script.SetValue(i, expected.radioExports[w]);
            EXPECT_EQ(expected.radioExports[w], script.ReportedValue(i));
            for (size_t other = 0; other < expected.radioExports.size(); ++other)
                EXPECT_EQ(other == w, script.IsChecked(i, other)) << w << " " << other;
        }
    }
    // The column names are the field names, one each.
    viewer::FormScript script;
    script.Load(blank, "%PDF");
    for (size_t i = 0; i < expected.fields.size(); ++i) EXPECT_EQ(expected.fields[i].name, script.Columns()[i]);
}

TEST_P(ForeignForms, FilledCopiesReportTheValuesTheirWriterSet)
{
    const ForeignForm& expected = *GetParam();
    pdf::FormDocument filled = Read(FormPath(expected, L"filled", L".pdf"));
    ASSERT_EQ(expected.fields.size(), filled.fields.size());
    viewer::FormScript script;
    script.Load(filled, "%PDF");
    for (size_t i = 0; i < expected.fields.size(); ++i)
        EXPECT_EQ(expected.fields[i].filledValue, script.ReportedValue(i)) << expected.fields[i].name;
}

TEST_P(ForeignForms, LabelsAreDrawnWherePdftoppmDrawsThem)
{
    const ForeignForm& expected = *GetParam();
    pdf::FormDocument blank = Read(FormPath(expected, L"blank", L".pdf"));
    ExpectDrawnAsReference(blank, FormPath(expected, L"page", L".pgm"), FormPath(expected, L"words", L".html"));
}

INSTANTIATE_TEST_SUITE_P(Writers, ForeignForms, ::testing::Values(&kReportLab, &kPdfLib),
                         [](const ::testing::TestParamInfo<const ForeignForm*>& info) {
                             return info.param == &kReportLab ? std::string("ReportLab") : std::string("PdfLib");
                         });
