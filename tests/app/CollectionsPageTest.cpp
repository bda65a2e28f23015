// The collections page in the whole program on the sample claim form: the claim form's "Patient
// Statements" opens the list, a statement is viewed and its payments saved (the date of the first
// save with a balance kept, cleared at balance 0), a record is deleted from the list, and a text
// letterhead reaches the data.
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "pages/CollectionsPage.h"
#include "pages/FormPage.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

namespace
{
BOOL CALLBACK CollectEdits(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::wstring TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

SYSTEMTIME Day(int year, int month, int day)
{
    SYSTEMTIME time = {};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = 9;
    return time;
}

const char kRecordSql[] =
    "INSERT INTO submissions (submdate, fxml) VALUES ('%s', '<fields><topmostSubform/><numberedFields>"
    "<_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>%s</_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>"
    "<_24f_1_Charges_dollarsjjjj2>%s</_24f_1_Charges_dollarsjjjj2></numberedFields></fields>')";

struct CollectionsProgram : ::testing::Test
{
    const std::wstring folder = TestProgramFolder();
    std::string savedContainer;
    std::unique_ptr<ProgramRun> run;
    SYSTEMTIME today = Day(2024, 3, 1);

    void SetUp() override
    {
        viewer::TestControl().Reset();
        savedContainer = ReadWholeFile(folder + L"container.htm");
        ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, (folder + L"container.htm").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf").c_str(),
                              (folder + L"claim.pdf").c_str(), FALSE));
        DeleteFileW(Database().c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Formstead\\Formstead\\HeaderInfo");
        AfxSetClock([this] { return today; });
    }
    void TearDown() override
    {
        run.reset();
        AfxSetClock(nullptr);
        for (const wchar_t* name : {L"claim.gdb", L"claim.pdf", L"collections.pdf", L"statement.pdf"})
            DeleteFileW((folder + name).c_str());
        WriteWholeFile(folder + L"container.htm", savedContainer);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Formstead\\Formstead\\HeaderInfo");
        viewer::TestControl().Reset();
    }
    std::wstring Database() const { return folder + L"claim.gdb"; }

    void Start()
    {
        run.reset(new ProgramRun(true));
        ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_TRUE(run->Start());
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(Database()));
        // The companion PDFs lie in the program folder; put there only now, so that the claim form
        // stays the store's first PDF.
        for (const wchar_t* name : {L"collections.pdf", L"statement.pdf"})
            ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + name).c_str(), (folder + name).c_str(), FALSE));
    }
    void Exec(const std::string& sql)
    {
        ::Database db;
        ASSERT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(sql.c_str())) << db.ErrorText();
    }
    void AddRecord(const char* date, const char* name, const char* charge)
    {
        char sql[1024];
        snprintf(sql, sizeof sql, kRecordSql, date, name, charge);
        Exec(sql);
    }
    std::string One(const std::string& sql)
    {
        ::Database db;
        EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, sql.c_str())) << query.ErrorText();
        return query.Step() == StepResult::Row ? std::string(query.ColumnText(0)) : std::string();
    }
    CCollectionsPage* Page() { return dynamic_cast<CCollectionsPage*>(run->View()->GetCollectionsPage()); }
    std::vector<HWND> PageEdits()
    {
        std::vector<HWND> edits;
        if (Page() && Page()->m_browser.GetSafeHwnd())
            EnumChildWindows(Page()->m_browser.GetSafeHwnd(), CollectEdits, reinterpret_cast<LPARAM>(&edits));
        return edits;
    }
    // A link of the companion PDF shown, followed as the user would click it.
    void Follow(const wchar_t* address)
    {
        viewer::NavigateFromPageForTest(Page()->m_browser.GetSafeHwnd(), address);
    }
    bool Sent(const wchar_t* text) { return Page() && Page()->m_lastSent.find(text) != std::wstring::npos; }
    // Waits until the shown statement's fields hold the data sent (its ID field first).
    bool StatementShown(const wchar_t* id)
    {
        return PumpUntil([&] { auto e = PageEdits(); return e.size() > 20 && TextOf(e[0]) == id; });
    }
    void SetPayment(const wchar_t* totalDue)
    {
        // statement.pdf's fields in order: ID, Date, CompanyName, TextLogo, ImageLogoSize, FirstPatientName,
        // PatientName, ToAddress, ToCity, ToState, ToZip, FromDate_1, CPT_1, Charges_1, CoPay_1, PatientPd_1,
        // Payer1Pd_1, Payer2Pd_1, TotalDue_1, ...
        SetWindowTextW(PageEdits()[18], totalDue);
        SetWindowTextW(PageEdits()[14], L"10");
    }
};
} // namespace

TEST_F(CollectionsProgram, FromTheClaimFormToStatementsAndBack)
{
    Start();
    AddRecord("1/15/2024", "Zed &amp; Co", "120");
    AddRecord("12/1/2023", "Adams", "80");

    CPage3* form = dynamic_cast<CPage3*>(run->View()->GetFormPage());
    ASSERT_NE(nullptr, form);
    viewer::NavigateFromPageForTest(form->m_browser.GetSafeHwnd(), L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Page() && Page()->IsWindowVisible() && Sent(L"<ID>2</ID>"); }));
    EXPECT_FALSE(form->IsWindowVisible());
    // Both records, oldest first, the name escaped as sent; no logo in the list.
    EXPECT_LT(Page()->m_lastSent.find(L"<ID>2</ID>"), Page()->m_lastSent.find(L"<ID>1</ID>"));
    EXPECT_TRUE(Sent(L"<FirstPatientName>Zed &amp; Co</FirstPatientName>"));
    EXPECT_FALSE(Sent(L"ImageField1"));
    EXPECT_EQ(20000, Page()->m_running.cents[CollectionTotals::Charges]);
    EXPECT_EQ(20000, Page()->m_running.cents[CollectionTotals::TotalDue]);
    // The columns were added to the database that lacked them.
    EXPECT_EQ("0", One("SELECT dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    // The list shows the records, each row's links carrying its id.
    ASSERT_TRUE(PumpUntil([&] { auto e = PageEdits(); return !e.empty() && TextOf(e[0]) == L"2"; }));

    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(StatementShown(L"1"));
    EXPECT_TRUE(Sent(L"<ImageField1>") || Sent(L"<ImageField1/>") || Sent(L"<ImageField1 />"));
    EXPECT_FALSE(Sent(L"<ID>2</ID>"));
    EXPECT_FALSE(Page()->m_totals.IsWindowVisible());

    SetPayment(L"40");
    Follow(L"app:saveChanges");
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT memorizedDate FROM submissions WHERE _ROWID_ = 1") == "03/01/2024"; }));
    EXPECT_NE(std::string::npos, One("SELECT collectionsXML FROM submissions WHERE _ROWID_ = 1").find("<TotalDue_1>40</TotalDue_1>"));
    EXPECT_EQ("1", One("SELECT dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    EXPECT_TRUE(Sent(L"<TotalDue_1>40</TotalDue_1>"));

    // A second save with a balance keeps the first date; a balance of 0 clears it.
    today = Day(2024, 3, 9);
    ASSERT_TRUE(StatementShown(L"1"));
    SetPayment(L"25");
    Follow(L"app:saveChanges");
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT collectionsXML FROM submissions WHERE _ROWID_ = 1").find("<TotalDue_1>25<") != std::string::npos; }));
    EXPECT_EQ("03/01/2024", One("SELECT memorizedDate FROM submissions WHERE _ROWID_ = 1"));
    EXPECT_TRUE(Sent(L"<NumberOfDays>8 Days</NumberOfDays>"));
    ASSERT_TRUE(StatementShown(L"1"));
    SetPayment(L"0");
    Follow(L"app:saveChanges");
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT dateTrigger FROM submissions WHERE _ROWID_ = 1") == "0"; }));
    EXPECT_EQ("", One("SELECT memorizedDate FROM submissions WHERE _ROWID_ = 1"));

    // Back to the list, then a record deleted from it.
    Follow(L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>2</ID>") && Page()->m_totals.IsWindowVisible(); }));
    Follow(L"app:deleteRecord?2");
    ASSERT_TRUE(PumpUntil([&] { return !Sent(L"<ID>2</ID>"); }));
    EXPECT_TRUE(Sent(L"<ID>1</ID>"));
    EXPECT_EQ("0", One("SELECT count(*) FROM submissions WHERE _ROWID_ = 2"));

    // The step bar leaves the page.
    run->Frame()->m_wndNavigator.SetStep(1);
    ASSERT_TRUE(PumpUntil([&] { return !Page()->IsWindowVisible(); }));
}

TEST_F(CollectionsProgram, TextLetterheadReachesTheStatement)
{
    Start();
    AddRecord("1/15/2024", "Baker", "50");
    CPage3* form = dynamic_cast<CPage3*>(run->View()->GetFormPage());
    viewer::NavigateFromPageForTest(form->m_browser.GetSafeHwnd(), L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Page() && Sent(L"<ID>1</ID>"); }));
    EXPECT_TRUE(Sent(L"<CompanyName>Company Name Here</CompanyName>"));
    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(StatementShown(L"1"));

    DialogDriver driver;
    driver.OnDialog(L"Header", [](HWND dialog) { ClickButton(dialog, 1016); });
    driver.OnDialog(L"Text Header Setup", [](HWND dialog) {
        SetDlgItemTextW(dialog, 1024, L"Lakeside Clinic");
        SetDlgItemTextW(dialog, 1030, L"Cambria");
        ClickButton(dialog, IDOK);
    });
    Follow(L"app:toSetHeader");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<CompanyName>Lakeside Clinic</CompanyName>"); }));
    EXPECT_TRUE(Sent(L"<Font>Cambria</Font>"));
    EXPECT_TRUE(Sent(L"<Size>16</Size>"));
    EXPECT_TRUE(Sent(L"<TextLogo>1</TextLogo>"));
    EXPECT_EQ(CString(L"0"), AfxGetApp()->GetProfileString(L"HeaderInfo", L"HeaderType", L"none"));
}
