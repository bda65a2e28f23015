// "Import Completed Files" over a small main window: the registration dialog in its import mode belongs
// to the main window (it stays above it when the main window is activated), opens centred on it and
// whole inside the work area, also when the file is chosen again after the main window moved.
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordsProgram.h"
#include "framework/Seams.h"
#include "tests/pages/DialogDriver.h"
#include "tests/support/SleepRecorder.h"

namespace
{
const int kImportCompletedFiles = 1039;

// Whether the window lies above the other in the z-order of the top-level windows.
bool Above(HWND window, HWND other)
{
    for (HWND above = ::GetWindow(other, GW_HWNDPREV); above; above = ::GetWindow(above, GW_HWNDPREV))
        if (above == window)
            return true;
    return false;
}

struct ImportDialogPlacement : RecordsProgram
{
    SleepRecorder sleeps; // the dialog's pause before it loads the file is not spent
    RECT work = {};
    bool chosen = false; // the file chooser was asked

    void SetUp() override
    {
        RecordsProgram::SetUp();
        ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
        const std::wstring path = folder + L"claim.pdf";
        AfxSetFileChooser([this, path](OPENFILENAMEW& ofn, bool) {
            chosen = true;
            lstrcpynW(ofn.lpstrFile, path.c_str(), ofn.nMaxFile);
            return TRUE;
        });
    }
    void TearDown() override
    {
        AfxSetFileChooser(nullptr);
        RecordsProgram::TearDown();
    }
    HWND Frame() { return run->Frame()->GetSafeHwnd(); }
    void PlaceFrame(int left, int top)
    {
        ::SetWindowPos(Frame(), nullptr, left, top, 579, 462, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
        RECT frame;
        ::GetWindowRect(Frame(), &frame);
        ASSERT_EQ(579, frame.right - frame.left);
        ASSERT_EQ(462, frame.bottom - frame.top);
    }
    // "Import Completed Files" on the records page; the dialog once the button's work is done.
    HWND ChooseFile()
    {
        chosen = false;
        ::PostMessageW(Page().GetDlgItem(kImportCompletedFiles)->GetSafeHwnd(), BM_CLICK, 0, 0);
        // Checked between the messages of this loop only: once the button's handler has returned.
        EXPECT_TRUE(PumpUntil([&] { return chosen; }));
        CDialog* dialog = run->View()->GetRegisterForm();
        EXPECT_TRUE(dialog && dialog->IsWindowVisible());
        EXPECT_EQ(L"Import Completed Files", TextOf(dialog->GetSafeHwnd()));
        return dialog ? dialog->GetSafeHwnd() : nullptr;
    }
    // Centred on the main window, moved inside the work area where it would cross an edge.
    void ExpectCentredOnFrame(HWND dialog)
    {
        RECT frame, placed;
        ::GetWindowRect(Frame(), &frame);
        ::GetWindowRect(dialog, &placed);
        const long width = placed.right - placed.left, height = placed.bottom - placed.top;
        const long left = std::max<long>(work.left, std::min<long>((frame.left + frame.right - width) / 2, work.right - width));
        const long top = std::max<long>(work.top, std::min<long>((frame.top + frame.bottom - height) / 2, work.bottom - height));
        EXPECT_NEAR(left, placed.left, 1);
        EXPECT_NEAR(top, placed.top, 1);
        EXPECT_GE(placed.left, work.left);
        EXPECT_GE(placed.top, work.top);
        EXPECT_LE(placed.right, work.right);
        EXPECT_LE(placed.bottom, work.bottom);
    }
    // The user goes back to the main window: the dialog stays above it.
    void ExpectAboveAfterActivatingFrame(HWND dialog)
    {
        ::SetForegroundWindow(Frame());
        ::SetActiveWindow(Frame());
        ::BringWindowToTop(Frame());
        EXPECT_TRUE(PumpUntil([&] { return Above(dialog, Frame()); }, 5000)) << "the main window covers the dialog";
        EXPECT_EQ(Frame(), ::GetActiveWindow());
        EXPECT_TRUE(::IsWindowVisible(dialog));
    }
};
} // namespace

TEST_F(ImportDialogPlacement, BelongsToTheMainWindowAndOpensCentredOnItInsideTheWorkArea)
{
    Start();
    Steps().SetStep(1);
    ASSERT_TRUE(PumpUntil([&] { return Page().IsWindowVisible(); }));

    // The main window in the work area's top left corner: the dialog, larger than it, is moved inside.
    PlaceFrame(work.left, work.top);
    HWND dialog = ChooseFile();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(Frame(), ::GetWindow(dialog, GW_OWNER));
    ExpectCentredOnFrame(dialog);
    ExpectAboveAfterActivatingFrame(dialog);

    // The main window moved towards the middle; the file chosen again: the dialog follows it.
    PlaceFrame(work.left + 220, work.top + 160);
    ASSERT_EQ(dialog, ChooseFile());
    ExpectCentredOnFrame(dialog);
    RECT placed;
    ::GetWindowRect(dialog, &placed);
    EXPECT_GT(placed.left, work.left); // centred, not held at the edge
    EXPECT_GT(placed.top, work.top);
    ExpectAboveAfterActivatingFrame(dialog);
}
