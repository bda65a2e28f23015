// The filled claim form printed on a real printer (a CUPS queue writing PDF files) through the Print
// Options dialog, once with the stored offsets 0,0 and once with 3,-2, in both print modes: read
// back with pdftotext, every word of the shifted print is 3 points right of and 2 points below
// where the unshifted print put it. The machine must be able to print: without the queue the test
// fails.
#include <gtest/gtest.h>
#include <cstring>
#include <map>

#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "tests/support/PdfPrintQueue.h"
#include "viewer/ViewerTestControl.h"

namespace {

const wchar_t kPrintCaption[] = L"Print Preferences";
const int kPrintOptions = 1017;
const int kFilledTextOnly = 1029;
const char* const kValues[] = {"ALPHAVALUE", "BRAVOVALUE", "CHARLIEVALUE"};

void StoreOffsets(const std::wstring& database, const char* value)
{
    Database db;
    ASSERT_TRUE(db.Open(database.c_str()));
    Statement statement;
    ASSERT_TRUE(statement.Prepare(db, "update FormInfo set zoomfactor=?"));
    ASSERT_TRUE(statement.BindText(1, value));
    ASSERT_TRUE(statement.Run());
}

// Opens Print Options, prints the entire form, then the filled text only, and cancels.
void PrintBothModes(FormPageFixture& fixture)
{
    DialogDriver driver;
    bool done = false;
    driver.OnDialog(kPrintCaption, [&](HWND dialog) {
        // Each click is handled before the next (the print runs inside the first).
        for (int id : {IDOK, kFilledTextOnly, IDOK, IDCANCEL})
            ::SendMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
        done = true;
    });
    ::PostMessageW(fixture.Button(kPrintOptions), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return done && !FindThreadDialog(kPrintCaption); }, 60000));
}

// Words that appear exactly once on the page, by text.
std::map<std::string, print_queue::Word> UniqueWords(const print_queue::PageWords& words)
{
    std::map<std::string, print_queue::Word> unique;
    for (const print_queue::Word& word : words)
        if (print_queue::CountOf(words, word.text) == 1)
            unique[word.text] = word;
    return unique;
}

// Every word found once in both prints moved by (dx, dy) points; answers how many were compared.
int ExpectMovedBy(const print_queue::PageWords& from, const print_queue::PageWords& to, double dx, double dy)
{
    std::map<std::string, print_queue::Word> before = UniqueWords(from), after = UniqueWords(to);
    int compared = 0;
    for (const auto& entry : before)
    {
        auto moved = after.find(entry.first);
        if (moved == after.end())
            continue;
        compared++;
        EXPECT_NEAR(dx, moved->second.xMin - entry.second.xMin, 0.3) << entry.first;
        EXPECT_NEAR(dy, moved->second.yMin - entry.second.yMin, 0.3) << entry.first;
    }
    return compared;
}

} // namespace

// The printing half, run only in the child process that the test below starts (disabled elsewhere).
TEST(DISABLED_PdfPrinterJob, PrintsTheClaimFormThroughPrintOptions)
{
    const std::wstring queue = print_queue::ChildQueue();
    ASSERT_FALSE(queue.empty()) << "runs inside PrintOffsetsPrinter.ShiftedPrintMovesEveryWord";
    FormPageFixture fixture;
    {
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        fixture.ShowPage();
    }
    ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(fixture.Database()));
    ASSERT_TRUE(PumpUntil([&] { return fixture.FormEdits().size() >= 3; }));
    std::vector<HWND> edits = fixture.FormEdits();
    for (int i = 0; i < 3; i++)
        ::SetWindowTextW(edits[i], std::wstring(kValues[i], kValues[i] + strlen(kValues[i])).c_str());

    HDC printer = ::CreateDCW(nullptr, queue.c_str(), nullptr, nullptr);
    ASSERT_NE(nullptr, printer);
    viewer::TestControl().printTarget = printer;
    viewer::TestControl().commands.clear();
    StoreOffsets(fixture.Database(), "0,0");
    PrintBothModes(fixture);
    StoreOffsets(fixture.Database(), "3,-2");
    PrintBothModes(fixture);
    viewer::TestControl().printTarget = nullptr;
    ::DeleteDC(printer);

    const std::vector<std::wstring> sent = {L"StartPrint=0,0", L"PrintAll", L"PrintTextMode", L"PrintText", L"CancelPrint",
                                            L"StartPrint=3,-2", L"PrintAll", L"PrintTextMode", L"PrintText", L"CancelPrint"};
    EXPECT_EQ(sent, viewer::TestControl().commands);
    EXPECT_TRUE(fixture.boxes.empty()); // no "could not be printed"
    viewer::TestControl().Reset();
}

TEST(PrintOffsetsPrinter, ShiftedPrintMovesEveryWord)
{
    print_queue::PdfPrinter printer;
    ASSERT_TRUE(printer.Ready()) << "this machine cannot print to PDF: " << printer.WhyNot();
    ASSERT_EQ(0, printer.PrintFromThisProgram()) << printer.ChildLog();
    ASSERT_EQ(0, printer.CollectWords(4)) << printer.WhyNot();

    std::vector<print_queue::PageWords> all = printer.Pages(1), text = printer.Pages(2);
    std::vector<print_queue::PageWords> allShifted = printer.Pages(3), textShifted = printer.Pages(4);
    ASSERT_FALSE(all.empty());
    ASSERT_FALSE(text.empty());
    ASSERT_FALSE(allShifted.empty());
    ASSERT_FALSE(textShifted.empty());
    for (const char* value : kValues)
    {
        EXPECT_EQ(1, print_queue::CountOf(all[0], value)) << value;
        EXPECT_EQ(1, print_queue::CountOf(textShifted[0], value)) << value;
    }
    EXPECT_NE(nullptr, print_queue::Find(all[0], "HEALTH")) << "the entire form";
    EXPECT_EQ(nullptr, print_queue::Find(text[0], "HEALTH")) << "the filled text only";

    // Positive horizontal offsets move right, negative vertical ones down, in points.
    EXPECT_GE(ExpectMovedBy(all[0], allShifted[0], 3.0, 2.0), 20) << "the form's captions and the values";
    EXPECT_EQ(3, ExpectMovedBy(text[0], textShifted[0], 3.0, 2.0)) << "the three values";
    // Both modes put the values in the same place.
    EXPECT_EQ(3, ExpectMovedBy(all[0], text[0], 0.0, 0.0));
}
