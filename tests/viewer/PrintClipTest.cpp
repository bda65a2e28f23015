// Printed values stay inside their fields: a value wider than its box, printed on a real printer (a
// CUPS queue writing PDF files, tests/support/PdfPrintQueue.h), keeps to the box. pdftotext -bbox
// reads every printed word back; none may reach past the box of the field it belongs to, and each
// cut is traced.
#include "ViewerWindowTest.h"
#include "tests/support/CannotCheck.h"
#include "tests/support/PdfPrintQueue.h"
#include "tests/support/TempFolder.h"
#include "framework/Seams.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>
#include <sstream>

namespace {

const wchar_t kInsuredField[] = L"_4_INSUREDS_NAME_Last_First_Middle_Initial----12-_4_INSUREDS_NAME_Last_First_Middle_Initial";
// 87 characters, far wider than the claim form's box 4 and the statement's "Insured" box (no hyphen:
// the printer's font writes it as a soft hyphen, which pdftotext reads back as such).
const char kLongName[] =
    "VANDERHOEVEN OSTROWSKI, BARTHOLOMEW QUINCEY ALEXANDRIA MONTGOMERY FITZWILLIAMS ZEBULONS";
const char kPatient[] = "PRINTME";

std::wstring Wide(const char* text) { return std::wstring(text, text + strlen(text)); }

std::vector<std::string> Tokens(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> tokens;
    for (std::string token; in >> token;) tokens.push_back(token);
    return tokens;
}

// The field's first widget's box in points from the paper's top left corner (x1, y1, x2, y2).
std::vector<double> PaperBox(const std::wstring& pdf, const std::wstring& field)
{
    pdf::FormDocument form;
    std::string error;
    EXPECT_TRUE(pdf::ReadPdfForm(ReadWholeFile(SamplePath(pdf)), form, error)) << error;
    for (const pdf::FormField& f : form.fields)
        if (f.name == field && !f.widgets.empty()) {
            const double* r = f.widgets[0].rect;
            const double height = form.pages[0].box[3];
            return {std::min(r[0], r[2]), height - std::max(r[1], r[3]), std::max(r[0], r[2]), height - std::min(r[1], r[3])};
        }
    ADD_FAILURE() << "no field " << std::string(field.begin(), field.end()) << " in the sample form";
    return {0, 0, 0, 0};
}

// Glyph boxes are the font's, a little taller than its letters: half a point either way.
void ExpectInside(const print_queue::Word& word, const std::vector<double>& box)
{
    const double slack = 0.5;
    EXPECT_GE(word.xMin, box[0] - slack) << word.text;
    EXPECT_LE(word.xMax, box[2] + slack) << word.text;
    EXPECT_GE(word.yMin, box[1] - slack) << word.text;
    EXPECT_LE(word.yMax, box[3] + slack) << word.text;
}

// The value's words on a page of filled values only: each inside the box, the first ones whole, the
// last one the start of the next word of the value, and the value cut (not printed whole).
void ExpectValueCutToBox(const print_queue::PageWords& words, const std::vector<double>& box)
{
    const std::vector<std::string> value = Tokens(kLongName);
    std::vector<print_queue::Word> printed;
    for (const print_queue::Word& word : words)
        if (word.text != kPatient) printed.push_back(word);
    ASSERT_GE(printed.size(), 1u) << "nothing of the value was printed";
    ASSERT_LT(printed.size(), value.size()) << "the whole value was printed";
    for (size_t i = 0; i < printed.size(); ++i) {
        if (i + 1 < printed.size()) EXPECT_EQ(value[i], printed[i].text);
        else EXPECT_EQ(0u, value[i].find(printed[i].text)) << printed[i].text << " does not start " << value[i];
        ExpectInside(printed[i], box);
    }
}

print_queue::PageWords OnlyPage(const print_queue::PdfPrinter& printer, int job)
{
    std::vector<print_queue::PageWords> pages = printer.Pages(job);
    EXPECT_EQ(1u, pages.size()) << "file " << job;
    return pages.empty() ? print_queue::PageWords() : pages[0];
}

void Print(TestBrowserWindow& window, HDC dc, const wchar_t* mode, const wchar_t* print)
{
    viewer::TestControl().printTarget = dc;
    for (const wchar_t* command : {L"StartPrint=0,0", mode, print}) window.Send(command);
    viewer::TestControl().printTarget = nullptr;
}

} // namespace

// The printing half, run only in the child process that the test below starts (disabled elsewhere):
// the claim form's filled text only and the entire form, then the statement's filled text only.
TEST(DISABLED_PdfClipJob, PrintsLongValues)
{
    const std::wstring queue = print_queue::ChildQueue();
    ASSERT_FALSE(queue.empty()) << "runs inside PrintClip.ValuesStayInsideTheirFields";
    ASSERT_TRUE(print_queue::Listed(queue)) << "Wine does not list the test's own queue";
    viewer::TestControl().Reset();
    std::vector<std::wstring> traced;
    AfxSetTraceSink([&](const wchar_t* line) { traced.push_back(line); });
    HDC dc = CreateDCW(nullptr, queue.c_str(), nullptr, nullptr);
    ASSERT_NE(nullptr, dc);
    {
        TestBrowserWindow window;
        LoadIntoContainer(window, SamplePath(L"cms1500.pdf"));
        ASSERT_NE(nullptr, window.Core().Form());
        window.Send(L"FieldSet|<fields><topmostSubform><" + std::wstring(kInsuredField) + L">" + Wide(kLongName) +
                    L"</" + kInsuredField + L"></topmostSubform></fields>");
        Print(window, dc, L"PrintTextMode", L"PrintText");
        Print(window, dc, L"PrintAllMode", L"PrintAll");
        EXPECT_TRUE(window.messages.empty()); // no "could not be printed"
    }
    {
        TestBrowserWindow window;
        LoadIntoContainer(window, SamplePath(L"statement.pdf"));
        ASSERT_NE(nullptr, window.Core().Form());
        window.Send(L"FieldSet|<r><PatientName>" + Wide(kLongName) + L"</PatientName></r>");
        PumpPending();
        Print(window, dc, L"PrintTextMode", L"PrintText");
        EXPECT_TRUE(window.messages.empty());
    }
    viewer::TestControl().Reset();
    AfxSetTraceSink(nullptr);
    DeleteDC(dc);
    // Each cut is told: the claim form's box 4 in both prints, the statement's box once.
    const std::wstring cut = L"printed value cut to its field's box: ";
    const std::vector<std::wstring> expected = {cut + kInsuredField, cut + kInsuredField, cut + L"PatientName"};
    EXPECT_EQ(expected, traced);
}

TEST(PrintClip, ValuesStayInsideTheirFields)
{
    print_queue::PdfPrinter printer;
    if (!printer.Ready()) { FORMSTEAD_CANNOT_CHECK() << "no PDF printer here: " << printer.WhyNot(); }
    ASSERT_EQ(0, printer.PrintFromThisProgram(L"DISABLED_PdfClipJob")) << printer.ChildLog();
    ASSERT_EQ(0, printer.CollectWords(3)) << printer.WhyNot();

    // The claim form's "Filled Text Only": the insured's name and nothing else.
    const std::vector<double> insured = PaperBox(L"cms1500.pdf", kInsuredField);
    ExpectValueCutToBox(OnlyPage(printer, 1), insured);

    // The entire form: the value's words (whole, or the start of one) all inside box 4.
    const print_queue::PageWords all = OnlyPage(printer, 2);
    ASSERT_NE(nullptr, print_queue::Find(all, "HEALTH")) << "the entire form";
    int found = 0;
    for (const print_queue::Word& word : all)
        for (const std::string& token : Tokens(kLongName))
            if (word.text.size() >= 4 && token.find(word.text) == 0) {
                ++found;
                ExpectInside(word, insured);
            }
    EXPECT_GE(found, 2);

    // The statement's "Insured" box, at the paper's right edge.
    ExpectValueCutToBox(OnlyPage(printer, 3), PaperBox(L"statement.pdf", L"PatientName"));
}
