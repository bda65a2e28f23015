// The form's answers to the bridge commands: field list and column names, the "Save" reply and form
// XML, "FieldSet|" and its round trip, the text dump and the commands handed to the window.
#include "PdfTestFiles.h"
#include "tests/support/TempFolder.h"
#include "viewer/FormFieldNames.h"
#include "viewer/FormScript.h"
#include "viewer/FormXml.h"
#include <gtest/gtest.h>

using namespace viewer;

namespace {

pdf::FormField Field(const std::wstring& name, pdf::FieldType type = pdf::FieldType::Text)
{
    pdf::FormField f;
    f.name = name;
    f.type = type;
    if (type == pdf::FieldType::CheckBox || type == pdf::FieldType::Radio) {
        pdf::Widget w;
        w.onState = "Yes";
        f.widgets.push_back(w);
    }
    return f;
}

pdf::FormDocument ClaimLikeForm()
{
    pdf::FormDocument form;
    form.pages.push_back(pdf::PageInfo());
    form.subject = L"CMS-1500";
    form.fields = {Field(L"_1_MEDICARE----0-_1_MEDICARE", pdf::FieldType::CheckBox),
                   Field(L"_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAME"), Field(L"Notes")};
    return form;
}

class RecordingActions : public FormActions
{
public:
    void Zoom(int direction) override { log += direction > 0 ? L"in;" : L"out;"; }
    void Print(PrintMode mode, int x, int y) override
    {
        log += L"print" + std::to_wstring(static_cast<int>(mode)) + L"@" + std::to_wstring(x) + L"," + std::to_wstring(y) + L";";
    }
    void CancelPrint() override { log += L"cancel;"; }
    void EmailForm() override { log += L"mail;"; }
    void FieldsChanged() override { log += L"changed;"; }
    std::wstring log;
};

} // namespace

TEST(FormFieldNames, KeysAreSafeForTheRepliesAndXml)
{
    std::vector<pdf::FormField> fields = {Field(L"Name First"), Field(L"Name|First"), Field(L"1st"), Field(L"Adj"),
                                          Field(L"ajjjjb"), Field(L"x.y-z_1")};
    std::vector<std::wstring> keys = MakeFieldKeys(fields);
    EXPECT_EQ(L"Name_First", keys[0]);
    EXPECT_EQ(L"Name_First_2", keys[1]); // unique
    EXPECT_EQ(L"_1st", keys[2]);
    EXPECT_EQ(L"Adj_", keys[3]);         // a final "j" would run into the separator
    EXPECT_EQ(std::wstring::npos, keys[4].find(L"jjjj"));
    EXPECT_EQ(L"x.y-z_1", keys[5]);
}

TEST(FormFieldNames, ColumnNamesFollowTheDatabaseRules)
{
    std::vector<pdf::FormField> fields = {Field(L"Subject [a]|b"), Field(L"SUBDATE"), Field(L"submdate"),
                                          Field(L"ROWID"), Field(L"Subect a|b"), Field(L"subect ab"),
                                          Field(std::wstring(300, L'x')), Field(L"jjj"), Field(L"tab\there")};
    std::vector<std::wstring> columns = MakeColumnNames(fields);
    EXPECT_EQ(L"Subect ab", columns[0]);
    EXPECT_EQ(L"SUBDATE", columns[1]);
    EXPECT_EQ(L"submdate_2", columns[2]);  // the program's own columns are never taken
    EXPECT_EQ(L"ROWID_2", columns[3]);
    EXPECT_EQ(L"Subect ab_2", columns[4]); // unique ignoring case
    EXPECT_EQ(L"subect ab_3", columns[5]);
    EXPECT_EQ(255u, columns[6].size());
    EXPECT_EQ(L"field7", columns[7]);
    EXPECT_EQ(L"tabhere", columns[8]);
}

TEST(FormFieldNames, FieldListAndNumberedNames)
{
    EXPECT_EQ(L"ajjjj0ja|bjjjj1jb", BuildFieldList({L"a", L"b"}, {L"a", L"b"}));
    EXPECT_EQ(L"_1_MEDICAREjjjj0", NumberedElementName(L"_1_MEDICARE----0-_1_MEDICARE"));
    EXPECT_EQ(L"", NumberedElementName(L"_1_MEDICARE----0-_1_OTHER"));
    EXPECT_EQ(L"", NumberedElementName(L"plain"));
    EXPECT_EQ(L"", NumberedElementName(L"a----x-a"));
}

TEST(FormXml, BuildsBothChildrenAndEscapes)
{
    std::wstring xml = BuildFormXml({L"F----3-F", L"Other"}, {L"a<b & \u00e9", L""});
    EXPECT_EQ(L"<fields><topmostSubform><F----3-F>a&lt;b &amp; &#233;</F----3-F><Other></Other></topmostSubform>"
              L"<numberedFields><Fjjjj3>a&lt;b &amp; &#233;</Fjjjj3></numberedFields></fields>",
              xml);
    std::vector<std::wstring> values;
    ASSERT_TRUE(ReadFormXml(xml, {L"F----3-F", L"Other", L"Missing"}, values));
    EXPECT_EQ(L"a<b & \u00e9", values[0]);
    EXPECT_EQ(L"", values[1]);
    EXPECT_EQ(L"", values[2]);
}

TEST(FormXml, ReadsDataFromOtherSourcesAndRefusesBrokenText)
{
    std::wstring xfa = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><xfa:data xmlns:xfa=\"urn:x\"><form1><DataForm>"
                       L"<Collections><ID>7</ID><Notes><![CDATA[a<b]]></Notes></Collections></DataForm></form1></xfa:data>";
    std::vector<std::wstring> values = {L"old", L"old"};
    ASSERT_TRUE(ReadFormXml(xfa, {L"ID", L"Notes"}, values));
    EXPECT_EQ(L"7", values[0]);
    EXPECT_EQ(L"a<b", values[1]);

    values = {L"keep"};
    EXPECT_FALSE(ReadFormXml(L"<a><b></a>", {L"b"}, values));
    EXPECT_FALSE(ReadFormXml(L"<a>&bogus;</a>", {L"a"}, values));
    EXPECT_FALSE(ReadFormXml(L"<a></a><b/>", {L"a"}, values));
    EXPECT_EQ(L"keep", values[0]);
    ASSERT_TRUE(ReadFormXml(L"  ", {L"b"}, values));
    EXPECT_EQ(L"", values[0]);
}

TEST(FormScript, AnswersFieldListSaveAndDump)
{
    FormScript script;
    script.Load(ClaimLikeForm(), "%PDF");
    FormReply reply;
    ASSERT_TRUE(script.Run(L"FieldList", reply, nullptr));
    EXPECT_EQ(L"_1_MEDICARE----0-_1_MEDICAREjjjj0j_1_MEDICARE----0-_1_MEDICARE|"
              L"_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAMEjjjj1j_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAME|Notesjjjj2jNotes",
              reply.items[0]);
    EXPECT_EQ(L"CMS-1500", reply.items[1]);

    script.SetValue(0, L"YES");
    script.SetValue(1, L"DOE, JANE");
    FormReply save;
    ASSERT_TRUE(script.Run(L"Save", save, nullptr));
    EXPECT_EQ(L"_1_MEDICARE----0-_1_MEDICARE=YES|_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAME=DOE, JANE|Notes=", save.items[0]);
    EXPECT_NE(std::wstring::npos, save.items[2].find(L"<_1_MEDICAREjjjj0>YES</_1_MEDICAREjjjj0>"));
    EXPECT_EQ(L"", save.items[1]);

    FormReply dump;
    ASSERT_TRUE(script.Run(L"GetTxtDumpCMS1500-1", dump, nullptr));
    EXPECT_NE(std::wstring::npos, dump.items[0].find(L"_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAME: DOE, JANE\r\n"));
    EXPECT_EQ(std::wstring::npos, dump.items[0].find(L"Notes"));

    pdf::FormDocument other = ClaimLikeForm();
    other.subject.clear();
    script.Load(other, "");
    ASSERT_TRUE(script.Run(L"FieldList", reply, nullptr));
    EXPECT_EQ(L"AcroForm", reply.items[1]);
}

TEST(FormScript, SaveReplyEscapesWhatWouldEndAnEntryOrAKey)
{
    FormScript script;
    script.Load(ClaimLikeForm(), "");
    script.SetValue(1, L"X|Notes=HACKED");
    script.SetValue(2, L"100% = a|b %7C");
    FormReply save;
    ASSERT_TRUE(script.Run(L"Save", save, nullptr));
    EXPECT_EQ(L"_1_MEDICARE----0-_1_MEDICARE=|_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAME=X%7CNotes%3DHACKED|"
              L"Notes=100%25 %3D a%7Cb %257C",
              save.items[0]);
    // The form XML carries the values whole, unescaped.
    EXPECT_NE(std::wstring::npos, save.items[2].find(L"<Notes>100% = a|b %7C</Notes>"));
    // Non-ASCII text goes through the reply as it is.
    script.SetValue(2, L"M\u00fcller \u65e5\u672c");
    ASSERT_TRUE(script.Run(L"Save", save, nullptr));
    EXPECT_EQ(L"_1_MEDICARE----0-_1_MEDICARE=|_2_PATIENT_S_NAME----8-_2_PATIENT_S_NAME=X%7CNotes%3DHACKED|"
              L"Notes=M\u00fcller \u65e5\u672c",
              save.items[0]);
    EXPECT_NE(std::wstring::npos, save.items[2].find(L"<Notes>M&#252;ller &#26085;&#26412;</Notes>"));
}

TEST(FormScript, SaveFieldSetSaveRoundTrip)
{
    FormScript script;
    script.Load(ClaimLikeForm(), "");
    script.SetValue(0, L"YES");
    script.SetValue(1, L"O'Brien <Pat> & \u00c9mile");
    script.SetValue(2, L"line one\r\nline two");
    FormReply first;
    ASSERT_TRUE(script.Run(L"Save", first, nullptr));

    RecordingActions actions;
    FormReply none;
    EXPECT_FALSE(script.Run(L"FieldSet|", none, &actions)); // empty XML clears
    EXPECT_EQ(L"", script.Value(0));
    EXPECT_EQ(L"", script.Value(1));
    EXPECT_EQ(L"changed;", actions.log);

    EXPECT_FALSE(script.Run(L"FieldSet|" + first.items[2], none, &actions));
    FormReply second;
    ASSERT_TRUE(script.Run(L"Save", second, nullptr));
    EXPECT_EQ(first.items[0], second.items[0]);
    EXPECT_EQ(first.items[2], second.items[2]);

    // Text that is not XML changes nothing.
    EXPECT_FALSE(script.Run(L"FieldSet|<broken", none, &actions));
    EXPECT_EQ(L"YES", script.ReportedValue(0));
}

TEST(FormScript, CommandsWithoutReplyReachTheWindow)
{
    FormScript script;
    script.Load(ClaimLikeForm(), "");
    RecordingActions actions;
    FormReply reply;
    for (const wchar_t* command : {L"WillSave", L"ZoomIn", L"ZoomOut", L"StartPrint=3,-2", L"PrintAll", L"Shift=-1,4",
                                   L"PrintTextMode", L"PrintText", L"PrintAllWBMode", L"PrintText", L"PrintAll",
                                   L"Shift=x,1", L"CancelPrint", L"EmailForm", L"Unknown"})
        EXPECT_FALSE(script.Run(command, reply, &actions)) << command;
    EXPECT_EQ(L"in;out;print0@3,-2;print1@-1,4;print2@-1,4;print2@-1,4;cancel;mail;", actions.log);

    FormScript unloaded;
    EXPECT_FALSE(unloaded.Run(L"FieldList", reply, &actions));
}

TEST(FormScript, BoxesTakeTheirOwnStatesOrYesWords)
{
    pdf::FormDocument form = ClaimLikeForm();
    pdf::FormField radio = Field(L"sex", pdf::FieldType::Radio);
    radio.widgets[0].onState = "M";
    pdf::Widget f;
    f.onState = "F";
    radio.widgets.push_back(f);
    form.fields.push_back(radio);
    FormScript script;
    script.Load(form, "");
    script.SetValue(3, L"F");
    EXPECT_FALSE(script.IsChecked(3, 0));
    EXPECT_TRUE(script.IsChecked(3, 1));
    EXPECT_EQ(L"F", script.ReportedValue(3));
    script.SetValue(0, L"x");
    EXPECT_TRUE(script.IsChecked(0, 0));
    script.SetValue(0, L"no");
    EXPECT_FALSE(script.IsChecked(0, 0));
    EXPECT_EQ(L"", script.ReportedValue(0));
}

namespace {

FormScript LoadedScript(const std::string& bytes)
{
    pdf::FormDocument form;
    std::string error;
    EXPECT_TRUE(pdf::ReadPdfForm(bytes, form, error)) << error;
    FormScript script;
    script.Load(form, bytes);
    return script;
}

std::wstring SaveReplyOf(FormScript& script)
{
    FormReply reply;
    EXPECT_TRUE(script.Run(L"Save", reply, nullptr));
    return reply.items[0];
}

} // namespace

TEST(FormScript, BoxesAndOptionsReportTheirExportValues)
{
    FormScript script = LoadedScript(MakeLibraryStyleForm());
    EXPECT_EQ(L"name=|city=|sex=F|agree=On|state=CA|plan=Gold|notes=", SaveReplyOf(script));
    FormReply save;
    ASSERT_TRUE(script.Run(L"Save", save, nullptr));
    EXPECT_NE(std::wstring::npos, save.items[2].find(L"<sex>F</sex><agree>On</agree><state>CA</state><plan>Gold</plan>"));
    EXPECT_TRUE(script.IsChecked(2, 1));
    EXPECT_FALSE(script.IsChecked(2, 0));
    // The drop-down shows the text of the chosen option.
    EXPECT_EQ(L"California", script.ShownValue(4));

    // Set back by export value, by an option's text, by a yes-word; an unknown value clears a box.
    RecordingActions actions;
    FormReply none;
    script.Run(L"FieldSet|<r><sex>M</sex><agree>YES</agree><state>New York</state><plan>Silver</plan></r>", none, &actions);
    EXPECT_EQ(L"changed;", actions.log);
    EXPECT_EQ(L"name=|city=|sex=M|agree=On|state=NY|plan=|notes=", SaveReplyOf(script));
    EXPECT_TRUE(script.IsChecked(2, 0));
    EXPECT_FALSE(script.IsChecked(2, 1));
    EXPECT_FALSE(script.IsChecked(5, 0));

    // A state name selects its widget as well; a value no option has stays as typed in the drop-down.
    script.Run(L"FieldSet|<r><sex>1</sex><agree></agree><state>Ohio</state><plan>Gold</plan></r>", none, &actions);
    EXPECT_EQ(L"name=|city=|sex=F|agree=|state=Ohio|plan=Gold|notes=", SaveReplyOf(script));
    EXPECT_EQ(L"Ohio", script.ShownValue(4));

    // A reply fed back gives the same reply.
    ASSERT_TRUE(script.Run(L"Save", save, nullptr));
    script.Run(L"FieldSet|", none, &actions);
    EXPECT_EQ(L"name=|city=|sex=|agree=|state=|plan=|notes=", SaveReplyOf(script));
    script.Run(L"FieldSet|" + save.items[2], none, &actions);
    EXPECT_EQ(L"name=|city=|sex=F|agree=|state=Ohio|plan=Gold|notes=", SaveReplyOf(script));
}

TEST(FormScript, ClaimFormCheckBoxesReportYesOrNothing)
{
    FormScript script = LoadedScript(ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf"));
    ASSERT_EQ(225u, script.Keys().size());
    std::wstring allYes = L"<r>";
    std::vector<size_t> boxes;
    for (size_t i = 0; i < script.Keys().size(); ++i) {
        if (script.Form().fields[i].type != pdf::FieldType::CheckBox) continue;
        boxes.push_back(i);
        allYes += L"<" + script.Keys()[i] + L">YES</" + script.Keys()[i] + L">";
    }
    allYes += L"</r>";
    ASSERT_EQ(37u, boxes.size());
    for (size_t i : boxes) EXPECT_EQ(L"", script.ReportedValue(i)) << i;

    FormReply none;
    script.Run(L"FieldSet|" + allYes, none, nullptr);
    std::wstring reply = SaveReplyOf(script);
    for (size_t i : boxes) {
        EXPECT_EQ(L"YES", script.ReportedValue(i)) << i;
        EXPECT_NE(std::wstring::npos, reply.find(script.Keys()[i] + L"=YES")) << i;
    }
    // Clicking one on as the window does (its on-state) reports the same.
    script.Run(L"FieldSet|", none, nullptr);
    script.SetValue(boxes[3], L"Yes");
    EXPECT_EQ(L"YES", script.ReportedValue(boxes[3]));
    FormReply save;
    ASSERT_TRUE(script.Run(L"Save", save, nullptr));
    // One box on: "YES" under topmostSubform and as its numbered element, nowhere else.
    const std::wstring& xml = save.items[2];
    size_t count = 0;
    for (size_t at = xml.find(L">YES<"); at != std::wstring::npos; at = xml.find(L">YES<", at + 1)) ++count;
    EXPECT_EQ(2u, count);
    EXPECT_NE(std::wstring::npos, xml.find(L"<" + script.Keys()[boxes[3]] + L">YES<"));
}
