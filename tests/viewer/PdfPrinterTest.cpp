// Printing the filled claim form through a real printer: a CUPS queue that writes PDF files into a
// folder of the test's own (tests/support/PdfPrintQueue.h). The printing half runs in a child process
// in a Wine session of its own (Wine lists printers when a session starts); each word's place is read
// back from the PDF files. Fails when this machine has no CUPS, no PDF backend or no right to add a
// queue, unless FORMSTEAD_ALLOW_SKIPS=1.
#include "ViewerWindowTest.h"
#include "tests/support/CannotCheck.h"
#include "tests/support/PdfPrintQueue.h"
#include "tests/support/TempFolder.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>

namespace {

const int kNameField = 8; // the patient's name on the claim form

// The words of the only page of the job-th file printed.
print_queue::PageWords Page(const print_queue::PdfPrinter& printer, int job)
{
    std::vector<print_queue::PageWords> pages = printer.Pages(job);
    EXPECT_EQ(1u, pages.size()) << "file " << job;
    return pages.empty() ? print_queue::PageWords() : pages[0];
}

} // namespace

// The printing half, run only in the child process that the test below starts (disabled elsewhere).
TEST(DISABLED_PdfPrinterJob, PrintsTheFilledFormThreeTimes)
{
    const std::wstring queue = print_queue::ChildQueue();
    ASSERT_FALSE(queue.empty()) << "runs inside PdfPrinter.PrintsWithOffsets";
    ASSERT_TRUE(print_queue::Listed(queue)) << "Wine does not list the test's own queue";
    viewer::TestControl().Reset();
    TestBrowserWindow window;
    LoadIntoContainer(window, SamplePath(L"cms1500.pdf"));
    ASSERT_NE(nullptr, window.Core().Form());
    window.Send(L"FieldSet|<fields><topmostSubform>"
                L"<_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
                L"PRINTME</_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial>"
                L"</topmostSubform></fields>");
    HDC dc = CreateDCW(nullptr, queue.c_str(), nullptr, nullptr);
    ASSERT_NE(nullptr, dc);
    viewer::TestControl().printTarget = dc;
    for (const wchar_t* command : {L"StartPrint=0,0", L"PrintTextMode", L"PrintText", L"Shift=36,-18", L"PrintText",
                                   L"StartPrint=0,0", L"PrintAllMode", L"PrintAll"})
        window.Send(command);
    viewer::TestControl().Reset();
    DeleteDC(dc);
    EXPECT_TRUE(window.messages.empty()); // no "could not be printed"
}

TEST(PdfPrinter, PrintsWithOffsets)
{
    print_queue::PdfPrinter printer;
    if (!printer.Ready()) { FORMSTEAD_CANNOT_CHECK() << "no PDF printer here: " << printer.WhyNot(); }

    ASSERT_EQ(0, printer.PrintFromThisProgram()) << printer.ChildLog();
    ASSERT_EQ(0, printer.CollectWords(3)) << printer.WhyNot();

    pdf::FormDocument form;
    std::string error;
    ASSERT_TRUE(pdf::ReadPdfForm(ReadWholeFile(SamplePath(L"cms1500.pdf")), form, error)) << error;
    const pdf::Widget& widget = form.fields[kNameField].widgets[0];
    const double pageHeight = form.pages[0].box[3];

    print_queue::PageWords plain = Page(printer, 1);
    const print_queue::Word* name = print_queue::Find(plain, "PRINTME");
    ASSERT_NE(nullptr, name);
    EXPECT_NEAR(widget.rect[0] + 2, name->xMin, 1.0); // points on the paper, from its left edge
    EXPECT_GE(name->yMin, pageHeight - widget.rect[3] - 1.0); // inside the field's box
    EXPECT_LE(name->yMax, pageHeight - widget.rect[1] + 1.0);
    EXPECT_EQ(nullptr, print_queue::Find(plain, "HEALTH")); // text only: no drawing of the form

    print_queue::PageWords shifted = Page(printer, 2);
    const print_queue::Word* moved = print_queue::Find(shifted, "PRINTME");
    ASSERT_NE(nullptr, moved);
    EXPECT_NEAR(36.0, moved->xMin - name->xMin, 1.0); // right
    EXPECT_NEAR(18.0, moved->yMin - name->yMin, 1.0); // a negative vertical offset moves down

    print_queue::PageWords all = Page(printer, 3);
    EXPECT_NE(nullptr, print_queue::Find(all, "HEALTH"));
    const print_queue::Word* again = print_queue::Find(all, "PRINTME");
    ASSERT_NE(nullptr, again);
    EXPECT_NEAR(name->xMin, again->xMin, 0.5);
    EXPECT_NEAR(name->yMin, again->yMin, 0.5);
}
