// Ctrl+P on the form page prints the form shown wherever the keyboard focus is in its view: after a
// click on the page's background (the focus was on the button bar before) as well as in a field. Real
// mouse and key input; the print goes to a metafile in place of the chosen printer.
#include <gtest/gtest.h>

#include "RecordsProgram.h"
#include "tests/pages/DialogDriver.h"
#include "tests/support/RealInput.h"
#include "viewer/FormWindow.h"
#include "viewer/ViewerTestControl.h"

namespace
{
const int kZoomIn = 1020;

int CALLBACK CountText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM count)
{
    if (record->iType == EMR_EXTTEXTOUTW)
        ++*reinterpret_cast<int*>(count);
    return 1;
}

struct PrintKey : RecordsProgram
{
    HDC target = nullptr;

    void SetUp() override
    {
        RecordsProgram::SetUp();
        target = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(nullptr, target);
        viewer::TestControl().printTarget = target;
    }
    void TearDown() override
    {
        RecordsProgram::TearDown(); // resets the viewer's switches
        if (target)
            DeleteEnhMetaFile(CloseEnhMetaFile(target));
    }
    // The texts drawn into the print target so far; a new target takes its place.
    int TextsPrinted()
    {
        HENHMETAFILE printed = CloseEnhMetaFile(target);
        int texts = 0;
        EnumEnhMetaFile(nullptr, printed, CountText, &texts, nullptr);
        DeleteEnhMetaFile(printed);
        target = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
        viewer::TestControl().printTarget = target;
        return texts;
    }
    HWND PageWindow()
    {
        viewer::FormWindow* form = FormPage().m_browser.GetFormWindow();
        return form ? form->Hwnd() : nullptr;
    }
    // A point of the page (client coordinates of the form's window) with no field over it.
    bool BackgroundPoint(POINT& at)
    {
        HWND page = PageWindow();
        for (at.y = 40; at.y < 200; at.y += 7)
            for (at.x = 40; at.x < 200; at.x += 7)
                if (ChildWindowFromPointEx(page, at, CWP_SKIPINVISIBLE) == page)
                    return true;
        return false;
    }
};
} // namespace

TEST_F(PrintKey, CtrlPAfterAClickOnThePageBackgroundPrintsTheForm)
{
    Start();
    HWND page = PageWindow();
    ASSERT_NE(nullptr, page);
    POINT at;
    ASSERT_TRUE(BackgroundPoint(at));
    HWND frame = run->Frame()->GetSafeHwnd();
    ::MapWindowPoints(page, frame, &at, 1);

    // The focus on the bar's "Zoom +"; the user clicks the page, then presses Ctrl+P.
    ::SetFocus(FormPage().m_buttons.GetDlgItem(kZoomIn)->GetSafeHwnd());
    ASSERT_TRUE(MouseDragThrough(frame, {at, at}));
    ASSERT_EQ(page, PageWindow()) << "the click followed a link";
    ASSERT_EQ(0, TextsPrinted());
    ASSERT_TRUE(PressKey(::GetFocus(), 'P', true));
    PumpPending();
    EXPECT_GT(TextsPrinted(), 200); // the form's own texts: a whole page was printed
}

TEST_F(PrintKey, CtrlPInAFieldPrintsTheForm)
{
    Start();
    ASSERT_FALSE(FormEdits().empty());
    ASSERT_TRUE(PressKey(FormEdits()[0], 'P', true));
    PumpPending();
    EXPECT_GT(TextsPrinted(), 200);
    EXPECT_EQ(L"", TextOf(FormEdits()[0])); // the key printed; it typed nothing
}
