// "<<Previous Record" and "Next Record>>" of the form page's button bar on the records grid: they
// walk the list, make each row's record current and load it into the form, stop at either end
// with their messages, and read the record from the row whatever the order of the columns.
#include <gtest/gtest.h>

#include <string>

#include "formdb/FormDatabase.h"
#include "grid/GridCtrl.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormWithRecordsFixture.h"
#include "viewer/ViewerTestControl.h"

namespace {

const int kPrevious = 1018;
const int kNext = 1019;

class PreviousNextTest : public FormWithRecordsTest
{
protected:
    void SetUp() override
    {
        FormWithRecordsTest::SetUp();
        if (HasFatalFailure())
            return;
        templateId = Store(true, "<t>standard visit</t>");
        firstId = Store(false, "<r>first</r>");
        secondId = Store(false, "<r>second</r>");

        ASSERT_TRUE(grid.Create(CRect(0, 60, 600, 400), &frame, 778));
        // Selection as the records list has it: whole rows, the fixed column included.
        grid.SetListMode(TRUE);
        grid.SetSelectInFixedColumns(TRUE);
        grid.SetRowCount(4);
        grid.SetColumnCount(3);
        grid.SetFixedRowCount(1);
        grid.SetFixedColumnCount(1);
        const wchar_t* texts[4][3] = {{L"Templates / Records", L"Name", L"City"},
                                      {L"standard", L"Ada", L"Oslo"},
                                      {L"5/1/2024", L"Bea", L"Rome"},
                                      {L"5/2/2024", L"Cy", L"Kyiv"}};
        const int ids[4] = {0, templateId, firstId, secondId};
        for (int row = 0; row < 4; ++row)
        {
            for (int col = 0; col < 3; ++col)
                grid.SetItemText(row, col, texts[row][col]);
            if (row > 0)
            {
                grid.SetItemData(row, 0, ids[row]);
                grid.SetItemData(row, 1, row == 1 ? 1 : 0);
            }
        }
        // The user dragged "City" before "Name": the kind's column is now shown third.
        DWORD* layout = nullptr;
        ASSERT_EQ(8, grid.SaveColumnLayout(&layout));
        std::swap(layout[3], layout[4]);
        grid.RestoreColumnLayout(layout);
        delete[] layout;
        ASSERT_EQ(L"City", std::wstring(grid.GetItemText(0, 1).GetString()));
        host.grid = &grid;
    }

    void TearDown() override
    {
        if (grid.GetSafeHwnd())
            grid.DestroyWindow();
        FormWithRecordsTest::TearDown();
    }

    int Store(bool isTemplate, const std::string& xml)
    {
        // A value for the form's first field, under the key its field list gives it.
        const Rows info = Query(DatabasePath(), "SELECT formcolumns FROM FormInfo");
        EXPECT_EQ(1u, info.size());
        const std::string list = info.empty() ? std::string() : info[0][0];
        RecordToStore record;
        record.reply = list.substr(0, list.find("jjjj")) + "=1";
        record.formXml = xml;
        record.isTemplate = isTemplate;
        record.templateName = isTemplate ? "standard" : "";
        const StoreResult result = StoreFormRecord(DatabasePath(), record);
        EXPECT_EQ(StoreOutcome::Stored, result.outcome) << result.message;
        return static_cast<int>(result.rowId);
    }

    void Press(int id) { ::SendMessageW(::GetDlgItem(page->m_buttons.m_hWnd, id), BM_CLICK, 0, 0); }

    bool RowSelected(int row) const
    {
        for (int col = 0; col < grid.GetColumnCount(); ++col)
            if (!grid.IsCellSelected(row, col))
                return false;
        return true;
    }

    // The form was sent the record's XML.
    static bool Loaded(const std::wstring& xml)
    {
        const auto& commands = viewer::TestControl().commands;
        return !commands.empty() && commands.back() == L"FieldSet|" + xml;
    }

    CGridCtrl grid;
    int templateId = 0, firstId = 0, secondId = 0;
};

} // namespace

TEST_F(PreviousNextTest, WithoutASelectedRowAsksForARecord)
{
    Press(kNext);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Save a blank record at first", boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);
    Press(kPrevious);
    EXPECT_EQ(L"Save a blank record at first", boxes.back().text);
    EXPECT_EQ(-1, host.recordId);
}

TEST_F(PreviousNextTest, WalksTheListAndStopsAtBothEnds)
{
    grid.SetSelectedRange(2, 0, 2, 2);
    Press(kPrevious);
    EXPECT_TRUE(RowSelected(1));
    EXPECT_FALSE(RowSelected(2));
    EXPECT_EQ(templateId, host.recordId);
    EXPECT_EQ(1, host.templateFlag);
    EXPECT_TRUE(Loaded(L"<t>standard visit</t>"));

    Press(kPrevious);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"This is the first record", boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);
    EXPECT_TRUE(RowSelected(1));
    EXPECT_EQ(templateId, host.recordId);

    Press(kNext);
    EXPECT_TRUE(RowSelected(2));
    EXPECT_EQ(firstId, host.recordId);
    EXPECT_EQ(0, host.templateFlag);
    EXPECT_TRUE(Loaded(L"<r>first</r>"));
    Press(kNext);
    EXPECT_TRUE(RowSelected(3));
    EXPECT_EQ(secondId, host.recordId);
    EXPECT_TRUE(Loaded(L"<r>second</r>"));

    const size_t sent = viewer::TestControl().commands.size();
    Press(kNext);
    EXPECT_EQ(L"This is the last record", boxes.back().text);
    EXPECT_EQ(2u, boxes.size());
    EXPECT_TRUE(RowSelected(3));
    EXPECT_EQ(secondId, host.recordId);
    EXPECT_EQ(sent, viewer::TestControl().commands.size());
}
