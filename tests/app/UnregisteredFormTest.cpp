// The records page of a form whose registration the user cancelled: the form has no database yet,
// and the page shows an empty list, as for an empty store, with no database error.
#include <gtest/gtest.h>

#include "ClaimFormProgram.h"
#include "formdb/FormDatabase.h"
#include "pages/RecordsPage.h"
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

TEST_F(UnregisteredForm, TheRecordsPageShowsAnEmptyListWithoutADatabaseError)
{
    run = StartClaimProgram(IDCANCEL);
    ASSERT_NE(nullptr, run);
    ASSERT_NE(FormRegistration::Registered, CheckFormRegistration(files.Database()));
    const size_t before = run->messages.size();

    run->Frame()->m_wndNavigator.SetStep(1);
    PumpPending();

    CPage2* page = dynamic_cast<CPage2*>(run->View()->GetRecordsPage());
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(page->IsWindowVisible());
    EXPECT_EQ(1, run->Frame()->m_wndNavigator.GetCurrentStep());
    EXPECT_LE(page->m_grid.GetRowCount(), page->m_grid.GetFixedRowCount());
    for (size_t i = before; i < run->messages.size(); ++i)
        ADD_FAILURE() << "message shown: " << CStringA(run->messages[i].caption).GetString() << ": "
                      << CStringA(run->messages[i].text).GetString();
    EXPECT_FALSE(page->GetDlgItem(1043)->IsWindowVisible());   // nothing to export
}
