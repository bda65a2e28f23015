// The current record after the record it was is deleted: when the records page shows again, its row is
// gone, so row 1 is taken; its record and kind become current and the form page loads it, with
// "Update and Save" enabled. With no row left nothing is current (0 and 0).
#include <gtest/gtest.h>

#include "RecordsProgram.h"
#include "pages/RecordsGrid.h"
#include "tests/pages/DialogDriver.h"

namespace
{
const int kDelete = 1011;
const int kUpdateAndSave = 1022;

struct CurrentRecordAfterDelete : RecordsProgram
{
    // "Delete" of the record bar, on the rows selected now.
    void DeleteSelected(const char* recordsLeft)
    {
        ::PostMessageW(Page().m_buttons.GetDlgItem(kDelete)->GetSafeHwnd(), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return One("SELECT count(*) FROM submissions") == recordsLeft; }));
    }
    void ShowFormPage()
    {
        Steps().SetStep(0);
        ASSERT_TRUE(PumpUntil([&] { return FormPage().IsWindowVisible() && !Page().IsWindowVisible(); }));
        PumpPending();
    }
    void ShowRecordsPage()
    {
        Steps().SetStep(1);
        ASSERT_TRUE(PumpUntil([&] { return Page().IsWindowVisible(); }));
    }
    // A template "<name> default" made from the first record, its value "from" replaced by "name".
    void AddTemplateFrom(const std::string& from, const std::string& name)
    {
        const std::string column = CStringA(Grid().GetItemText(0, 1)).GetString();
        const std::string insert = "INSERT INTO templates ([" + column + "], submdate, fxml, RSRV_TEMPLATE_NAME) "
                                   "SELECT '" + name + "', submdate, replace(fxml, '" + from + "', '" + name +
                                   "'), '" + name + " default' FROM submissions ORDER BY rowid LIMIT 1";
        Exec(insert.c_str());
    }
    bool UpdateEnabled() { return FormPage().m_buttons.GetDlgItem(kUpdateAndSave)->IsWindowEnabled() != FALSE; }
    // Row 1 is selected and current, with its kind; the form page then shows it, ready to be updated.
    void ExpectRowOneTaken(int id, int isTemplate, const wchar_t* shown)
    {
        EXPECT_EQ(1, GetFirstSelectedRow(&Grid()));
        EXPECT_EQ(id, run->View()->GetCurrentRecordId());
        EXPECT_EQ(isTemplate, run->View()->GetTemplateFlag());
        ShowFormPage();
        EXPECT_TRUE(PumpUntil([&] { return TextOf(FormEdits()[0]) == shown; }));
        EXPECT_TRUE(UpdateEnabled());
    }
};
} // namespace

TEST_F(CurrentRecordAfterDelete, RowOneBecomesCurrentWhenThePageShowsAgain)
{
    StartWithRecords({L"Jones", L"Brown", L"Adams"});
    const int jones = std::stoi(One("SELECT min(rowid) FROM submissions"));
    // "Adams", saved last, is current and selected; "Delete" removes it.
    ASSERT_EQ(3, GetFirstSelectedRow(&Grid()));
    DeleteSelected("2");

    // Away and back: nothing is current on the form page in between, row 1 is current after.
    ShowFormPage();
    EXPECT_EQ(L"", TextOf(FormEdits()[0]));
    EXPECT_FALSE(UpdateEnabled());
    ShowRecordsPage();
    ExpectRowOneTaken(jones, 0, L"Jones");
}

TEST_F(CurrentRecordAfterDelete, ATemplateInRowOneBecomesTheCurrentTemplate)
{
    StartWithRecords({L"Jones", L"Brown"});
    // Templates are listed first.
    AddTemplateFrom("Jones", "Acme");
    const int acme = std::stoi(One("SELECT rowid FROM templates WHERE RSRV_TEMPLATE_NAME = 'Acme default'"));
    ShowFormPage();
    ShowRecordsPage();
    ASSERT_EQ(3, GetFirstSelectedRow(&Grid())); // "Brown" is still current
    DeleteSelected("1");

    ShowFormPage();
    ShowRecordsPage();
    EXPECT_STREQ(L"Acme default", Grid().GetItemText(1, 0).GetString());
    ExpectRowOneTaken(acme, 1, L"Acme");
}

TEST_F(CurrentRecordAfterDelete, WithNoRowLeftNothingIsCurrent)
{
    StartWithRecords({L"Jones"});
    AddTemplateFrom("Jones", "Acme");
    ShowFormPage();
    ShowRecordsPage();
    // The template is current; both rows are selected and deleted.
    ASSERT_EQ(3, Grid().GetRowCount());
    run->View()->SetCurrentRecordId(std::stoi(One("SELECT rowid FROM templates")));
    run->View()->SetTemplateFlag(1);
    Grid().SetSelectedRange(1, 0, 2, Grid().GetColumnCount() - 1, TRUE);
    DeleteSelected("0");
    ASSERT_EQ("0", One("SELECT count(*) FROM templates"));

    ShowFormPage();
    ShowRecordsPage();
    EXPECT_EQ(1, Grid().GetRowCount()); // the header only
    EXPECT_EQ(0, run->View()->GetCurrentRecordId());
    EXPECT_EQ(0, run->View()->GetTemplateFlag());

    ShowFormPage();
    EXPECT_EQ(L"", TextOf(FormEdits()[0]));
    EXPECT_FALSE(UpdateEnabled());
}
