// A grid of 200 rows printed on a real printer (a CUPS queue writing PDF files), read back with
// pdftotext: every page has the headings and "Page k of N", and every row is printed exactly once.
// The machine must be able to print: without the queue the test fails.
#include <gtest/gtest.h>
#include <cmath>
#include <map>
#include <string>
#include "GridTestSupport.h"
#include "tests/support/PdfPrintQueue.h"

namespace {

const int kBodyRows = 200;

std::string Number(int value)
{
    return std::to_string(value);
}

} // namespace

// The printing half, run only in the child process that the test below starts (disabled elsewhere).
TEST(DISABLED_PdfPrinterJob, PrintsTheGridOfTwoHundredRows)
{
    const std::wstring queue = print_queue::ChildQueue();
    ASSERT_FALSE(queue.empty()) << "runs inside GridPrinter.EveryRowOnceAndHeadingsOnEveryPage";
    GridOwner owner;
    ::SetWindowTextW(owner.Hwnd(), L"Claims list");
    CGridCtrl grid(kBodyRows + 1, 4, 1, 1);
    ASSERT_TRUE(grid.Create(CRect(0, 0, 400, 300), owner.Wnd(), 1234, WS_CHILD | WS_VISIBLE));
    grid.SetItemText(0, 0, L"No");
    grid.SetItemText(0, 1, L"Patient");
    grid.SetItemText(0, 2, L"Claim");
    grid.SetItemText(0, 3, L"Amount");
    for (int row = 1; row <= kBodyRows; row++)
    {
        grid.SetItemText(row, 0, CString(std::to_wstring(row).c_str()));
        grid.SetItemText(row, 1, CString((L"Patient" + std::to_wstring(row)).c_str()));
        grid.SetItemText(row, 2, CString((L"Claim" + std::to_wstring(row)).c_str()));
        grid.SetItemText(row, 3, CString((L"Amount" + std::to_wstring(row)).c_str()));
    }
    for (int col = 0; col < 4; col++)
        grid.SetColumnWidth(col, col == 0 ? 40 : 110);
    CDC printer;
    ASSERT_TRUE(printer.Attach(::CreateDCW(nullptr, queue.c_str(), nullptr, nullptr)));
    EXPECT_TRUE(grid.Print(&printer));
}

TEST(GridPrinter, EveryRowOnceAndHeadingsOnEveryPage)
{
    print_queue::PdfPrinter printer;
    ASSERT_TRUE(printer.Ready()) << "this machine cannot print to PDF: " << printer.WhyNot();
    ASSERT_EQ(0, printer.PrintFromThisProgram()) << printer.ChildLog();
    ASSERT_EQ(0, printer.CollectWords(1)) << printer.WhyNot();

    std::vector<print_queue::PageWords> pages = printer.Pages(1);
    const int count = static_cast<int>(pages.size());
    ASSERT_GE(count, 2) << "200 rows need more than one page";
    std::map<int, int> pageOfRow;
    for (int k = 1; k <= count; k++)
    {
        const print_queue::PageWords& page = pages[k - 1];
        const std::string text = print_queue::Joined(page);
        EXPECT_NE(std::string::npos, text.find("Page " + Number(k) + " of " + Number(count))) << "page " << k << ": " << text;
        for (const char* heading : {"No", "Patient", "Claim", "Amount"})
            EXPECT_EQ(1, print_queue::CountOf(page, heading)) << heading << " on page " << k;
        EXPECT_NE(std::string::npos, text.find("Claims list")) << "page " << k;
        EXPECT_EQ(1, print_queue::CountOf(page, "Formstead")) << "page " << k;
        for (int row = 1; row <= kBodyRows; row++)
        {
            const int seen = print_queue::CountOf(page, "Patient" + Number(row));
            if (seen == 0)
                continue;
            EXPECT_EQ(1, seen) << "row " << row << " on page " << k;
            EXPECT_EQ(0u, pageOfRow.count(row)) << "row " << row << " again on page " << k;
            pageOfRow[row] = k;
            // The row's other cells, its number included, on the same page and the same line.
            const print_queue::Word* patient = print_queue::Find(page, "Patient" + Number(row));
            const print_queue::Word* amount = print_queue::Find(page, "Amount" + Number(row));
            ASSERT_NE(nullptr, amount) << "row " << row;
            EXPECT_NEAR(patient->yMin, amount->yMin, 1.0) << "row " << row;
            EXPECT_EQ(1, print_queue::CountOf(page, "Claim" + Number(row))) << "row " << row;
            int numbers = 0;
            for (const print_queue::Word& word : page)
                if (word.text == Number(row) && std::abs(word.yMin - patient->yMin) < 1.0 && word.xMax < patient->xMin)
                    numbers++;
            EXPECT_EQ(1, numbers) << "row " << row << "'s number in the fixed column";
        }
    }
    ASSERT_EQ(static_cast<size_t>(kBodyRows), pageOfRow.size()) << "rows lost";
    for (int row = 2; row <= kBodyRows; row++)
        EXPECT_LE(pageOfRow[row - 1], pageOfRow[row]) << "row " << row;
    EXPECT_EQ(1, pageOfRow[1]);
    EXPECT_EQ(count, pageOfRow[kBodyRows]);
}
