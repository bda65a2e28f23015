// The records page of a form whose registration the user cancelled: the form has no database yet;
// the page says the form is not registered (owned by the main window) and the step bar goes back
// to the form page, with no database error and no database file made.
#include <gtest/gtest.h>

#include "ClaimFormProgram.h"
#include "formdb/FormDatabase.h"
#include "pages/RecordsPage.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

namespace
{
struct UnregisteredForm : ::testing::Test
{
    ClaimFormFolder files;
    std::unique_ptr<ProgramRun> run;

    void SetUp() override { viewer::TestControl().Reset(); }
    void TearDown() override
    {
        run.reset();
        viewer::TestControl().Reset();
    }
};
} // namespace

TEST_F(UnregisteredForm, TheRecordsPageSaysSoAndGoesBackToTheFormPage)
{
    run = StartClaimProgram(IDCANCEL);
    ASSERT_NE(nullptr, run);
    ASSERT_EQ(FormRegistration::Missing, CheckFormRegistration(files.Database()));
    const size_t before = run->messages.size();

    // Back on the form page the registration is offered again; the user cancels it again.
    int offered = 0;
    DialogDriver driver;
    driver.OnDialog(L"New Forms Registration", [&](HWND dialog) {
        ++offered;
        ClickButton(dialog, IDCANCEL);
    });
    run->Frame()->m_wndNavigator.SetStep(1);
    CPage2* page = dynamic_cast<CPage2*>(run->View()->GetRecordsPage());
    ASSERT_NE(nullptr, page);
    ASSERT_TRUE(PumpUntil([&] { return offered == 1 && driver.Idle(); }));
    PumpPending();

    ASSERT_LT(before, run->messages.size());
    EXPECT_EQ(CString(L"Form is not registered correctly please check if it is valid for use in this application"),
              run->messages[before].text);
    EXPECT_EQ(CString(L"Vantorels"), run->messages[before].caption);
    EXPECT_EQ(run->Frame()->GetSafeHwnd(), run->messages[before].owner);
    for (size_t i = before + 1; i < run->messages.size(); ++i)
        EXPECT_EQ(-1, run->messages[i].caption.Find(L"db")) << CStringA(run->messages[i].text).GetString();

    EXPECT_EQ(0, run->Frame()->m_wndNavigator.GetCurrentStep());
    EXPECT_FALSE(page->IsWindowVisible());
    EXPECT_TRUE(run->View()->GetFormPage()->IsWindowVisible());
    EXPECT_LE(page->m_grid.GetRowCount(), page->m_grid.GetFixedRowCount());
    // Opening never creates: the form still has no database file.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(files.Database().c_str()));
}
