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
#include "app/Navigator.h"
#include "tests/pages/DialogDriver.h"
#include "tests/support/RealInput.h"
#include "viewer/FormWindow.h"
#include "viewer/ViewerTestControl.h"

#include <algorithm>

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
        AfxSetClock([this] { return today; });
    }
    void TearDown() override
    {
        run.reset();
        AfxSetClock(nullptr);
        for (const wchar_t* name : {L"claim.gdb", L"claim.pdf", L"collections.pdf", L"statement.pdf"})
            DeleteFileW((folder + name).c_str());
        WriteWholeFile(folder + L"container.htm", savedContainer);
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
    // The control of the shown PDF's field of that name, the statement's or the list's (the
    // statement's hidden fields have none).
    HWND StatementEdit(const wchar_t* name)
    {
        viewer::FormWindow* statement = Page()->m_browser.GetFormWindow();
        const int field = statement ? statement->Script().FieldIndex(name) : -1;
        return field < 0 ? nullptr : statement->ControlOf(static_cast<size_t>(field));
    }
    // True once the statement, not the list before it, shows its fields with the record's data.
    bool StatementReady(const wchar_t* id)
    {
        return PumpUntil([&] {
            HWND edit = StatementEdit(L"ID");
            return edit && TextOf(edit) == id;
        });
    }
    // Types into a field as the keyboard does: the field takes the focus, its text is selected and
    // each character arrives as a WM_CHAR.
    void TypeInto(const wchar_t* name, const std::wstring& text)
    {
        HWND edit = StatementEdit(name);
        ASSERT_NE(nullptr, edit);
        SetFocus(edit);
        SendMessageW(edit, EM_SETSEL, 0, -1);
        PostMessageW(edit, WM_CHAR, VK_BACK, 0);
        for (wchar_t c : text) PostMessageW(edit, WM_CHAR, c, 0);
        ASSERT_TRUE(PumpUntil([&] { return TextOf(edit) == text; }));
    }
    // The patient pays on line 1 so that the balance is left.
    void SetPayment(const wchar_t* patientPaid)
    {
        TypeInto(L"PatientPd_1", patientPaid);
        TypeInto(L"CoPay_1", L"10");
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

    SetPayment(L"70"); // 120.00 less 10 and 70
    Follow(L"app:saveChanges");
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT memorizedDate FROM submissions WHERE _ROWID_ = 1") == "03/01/2024"; }));
    EXPECT_NE(std::string::npos, One("SELECT collectionsXML FROM submissions WHERE _ROWID_ = 1").find("<TotalDue_1>40.00</TotalDue_1>"));
    EXPECT_EQ("1", One("SELECT dateTrigger FROM submissions WHERE _ROWID_ = 1"));
    EXPECT_TRUE(Sent(L"<TotalDue_1>40.00</TotalDue_1>"));

    // A second save with a balance keeps the first date; a balance of 0 clears it.
    today = Day(2024, 3, 9);
    ASSERT_TRUE(StatementShown(L"1"));
    SetPayment(L"85");
    Follow(L"app:saveChanges");
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT collectionsXML FROM submissions WHERE _ROWID_ = 1").find("<TotalDue_1>25.00<") != std::string::npos; }));
    EXPECT_EQ("03/01/2024", One("SELECT memorizedDate FROM submissions WHERE _ROWID_ = 1"));
    EXPECT_TRUE(Sent(L"<NumberOfDays>8 Days</NumberOfDays>"));
    ASSERT_TRUE(StatementShown(L"1"));
    SetPayment(L"110");
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

namespace
{
BOOL CALLBACK CollectChildren(HWND window, LPARAM param)
{
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

// The direct children of a window, in z-order (the template's order).
std::vector<HWND> ChildrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The window's rectangle in the client coordinates of `in`.
RECT RectIn(HWND window, HWND in)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, in, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The width the control's text needs in the control's own font.
int TextWidth(HWND control)
{
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(control);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return extent.cx;
}


// A record as the form's own XML keeps it (the numbered fields the collection data reads), with the
// charge's dollars and cents in their two fields.
const char kChargedRecordSql[] =
    "INSERT INTO submissions (submdate, fxml) VALUES ('1/15/2024', '<fields><topmostSubform/><numberedFields>"
    "<_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>%s</_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>"
    "<_24f_1_Charges_dollarsjjjj2>%s</_24f_1_Charges_dollarsjjjj2>"
    "<_24f_1_Charges_centsjjjj3>%s</_24f_1_Charges_centsjjjj3></numberedFields></fields>')";
} // namespace

struct CollectionsPageOnScreen : CollectionsProgram
{
    void OpenList()
    {
        CPage3* form = dynamic_cast<CPage3*>(run->View()->GetFormPage());
        ASSERT_NE(nullptr, form);
        viewer::NavigateFromPageForTest(form->m_browser.GetSafeHwnd(), L"app:toStatements");
        ASSERT_TRUE(PumpUntil([&] { return Page() && Page()->IsWindowVisible() && !Page()->m_lastSent.empty(); }));
    }
    void SizeFrame(int width, int height)
    {
        run->Frame()->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        PumpPending();
    }
    // Every visible control of the page and of its totals panel: inside the page, clear of each
    // other, its text whole; and no button among them but those that act.
    void ExpectWholeAndInside(const char* where)
    {
        SCOPED_TRACE(where);
        HWND page = Page()->GetSafeHwnd();
        HWND totals = Page()->m_totals.GetSafeHwnd();
        HWND browser = Page()->m_browser.GetSafeHwnd();
        RECT client;
        GetClientRect(page, &client);
        std::vector<HWND> controls;
        for (HWND child : ChildrenOf(page))
            if (child != totals && child != browser && IsWindowVisible(child)) controls.push_back(child);
        if (IsWindowVisible(totals)) {
            for (HWND child : ChildrenOf(totals))
                if (IsWindowVisible(child)) controls.push_back(child);
            const RECT panel = RectIn(totals, page);
            EXPECT_TRUE(panel.left >= 0 && panel.top >= 0 && panel.right <= client.right && panel.bottom <= client.bottom);
        }
        ASSERT_GE(controls.size(), 14u);
        const RECT view = RectIn(browser, page);
        for (size_t i = 0; i < controls.size(); ++i) {
            const RECT r = RectIn(controls[i], page);
            const std::wstring text = TextOf(controls[i]);
            const std::string name(text.begin(), text.end());
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom)
                << name << " at " << r.left << "," << r.top << "-" << r.right << "," << r.bottom << " in " << client.right
                << "x" << client.bottom;
            EXPECT_LE(r.bottom, view.top) << name << " reaches into the PDF";
            if (ClassOf(controls[i]) == L"Static") {
                EXPECT_LE(TextWidth(controls[i]), r.right - r.left) << name;
            }
            if (ClassOf(controls[i]) == L"Button") {
                if (GetDlgCtrlID(controls[i]) != 1031)
                    EXPECT_FALSE(IsWindowEnabled(controls[i])) << name << " invites a click that does nothing";
                EXPECT_LE(TextWidth(controls[i]) + GetSystemMetrics(SM_CXMENUCHECK), r.right - r.left) << name;
            }
            for (size_t j = i + 1; j < controls.size(); ++j) {
                RECT other = RectIn(controls[j], page), overlap;
                EXPECT_FALSE(IntersectRect(&overlap, &r, &other)) << name << " overlaps " << CStringA(TextOf(controls[j]).c_str()).GetString();
            }
        }
        EXPECT_GT(view.bottom - view.top, 100);
        EXPECT_EQ(client.bottom, view.bottom);
    }
    HWND FormWindowOfPage()
    {
        std::vector<HWND> all;
        EnumChildWindows(Page()->m_browser.GetSafeHwnd(), CollectChildren, reinterpret_cast<LPARAM>(&all));
        for (HWND window : all)
            if (ClassOf(window) == L"FormsteadFormWindow") return window;
        return nullptr;
    }
    // A click at the middle of a link of the list PDF, given in PDF points: the page is drawn from
    // the top left, 8 pixels in, at the window's width less the margins.
    void ClickListLink(double x1, double y1, double x2, double y2)
    {
        HWND form = FormWindowOfPage();
        ASSERT_NE(nullptr, form);
        RECT rc;
        GetClientRect(form, &rc);
        const double scale = (rc.right - 16) / 612.0;
        const int x = static_cast<int>(8 + (x1 + x2) / 2 * scale);
        const int y = static_cast<int>(8 + (792 - (y1 + y2) / 2) * scale);
        PostMessageW(form, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        PostMessageW(form, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    void AddCharged(const char* name, const char* dollars, const char* cents)
    {
        char sql[1024];
        snprintf(sql, sizeof sql, kChargedRecordSql, name, dollars, cents);
        Exec(sql);
    }
    CPage3* FormPage() { return dynamic_cast<CPage3*>(run->View()->GetFormPage()); }
    std::vector<HWND> FormEdits()
    {
        std::vector<HWND> edits;
        EnumChildWindows(FormPage()->m_browser.GetSafeHwnd(), CollectEdits, reinterpret_cast<LPARAM>(&edits));
        return edits;
    }
    // The user types into the form's first field and saves it as a new record, which becomes the
    // current record; the records page is then shown.
    void SaveThroughForm(const wchar_t* value)
    {
        ASSERT_TRUE(PumpUntil([&] { return FormEdits().size() >= 2; }));
        SetWindowTextW(FormEdits()[0], value);
        ::PostMessageW(FormPage()->m_buttons.GetDlgItem(1015)->GetSafeHwnd(), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return run->Frame()->m_wndNavigator.GetCurrentStep() == 1; }));
    }
    std::wstring TotalShown(UINT id) { return TextOf(::GetDlgItem(Page()->m_totals.GetSafeHwnd(), id)); }
};

TEST_F(CollectionsPageOnScreen, ControlsAreTheFiltersTheirChoicesAndTheHiddenAddressBox)
{
    Start();
    AddRecord("1/15/2024", "Baker", "50");
    OpenList();
    HWND page = Page()->GetSafeHwnd();
    // The filter edits and the two drop-down lists, in the order of the page.
    for (int id : {1024, 1025, 1027, 1028, 1029})
        EXPECT_EQ(L"Edit", ClassOf(GetDlgItem(page, id))) << id;
    HWND pastDue = GetDlgItem(page, 1026), sortBy = GetDlgItem(page, 1030);
    ASSERT_EQ(L"ComboBox", ClassOf(pastDue));
    ASSERT_EQ(L"ComboBox", ClassOf(sortBy));
    for (HWND combo : {pastDue, sortBy}) {
        const LONG style = GetWindowLongW(combo, GWL_STYLE);
        EXPECT_EQ(CBS_DROPDOWNLIST, style & 3); // no edit field
        EXPECT_EQ(0, style & CBS_SORT);
    }
    EXPECT_EQ((std::vector<std::wstring>{L"30 Days", L"45 Days", L"60 Days", L"90 Days", L"Less Than 30 Days",
                                         L"Any Balance", L"All Records", L"PAID IN FULL"}),
              ComboItems(pastDue));
    EXPECT_EQ((std::vector<std::wstring>{L"OLDEST", L"NEWEST", L"PATIENT (A-Z)", L"PATIENT (Z-A)"}), ComboItems(sortBy));
    // The page starts with every record, oldest first.
    EXPECT_EQ(6, SendMessageW(pastDue, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, SendMessageW(sortBy, CB_GETCURSEL, 0, 0));
    // The labels of the filters and the totals, as the user reads them.
    const std::pair<int, const wchar_t*> labels[] = {{1032, L"Patient Starts With"}, {1033, L"Insured Starts With"},
                                                     {1034, L"Insured ID"},          {1035, L"Policy / Group #"},
                                                     {1036, L"Patient Phone"},       {1037, L"Past Due"},
                                                     {1038, L"Sort By"}};
    for (const auto& label : labels) EXPECT_EQ(label.second, TextOf(GetDlgItem(page, label.first)));
    HWND totals = Page()->m_totals.GetSafeHwnd();
    const std::pair<int, const wchar_t*> totalLabels[] = {{1039, L"$ Charges"},  {1040, L"Co Pay"},
                                                          {1041, L"Patient Pd"}, {1042, L"Payer 1 Pd"},
                                                          {1043, L"Payer 2 Pd"}, {1050, L"Total Due"}};
    for (const auto& label : totalLabels) EXPECT_EQ(label.second, TextOf(GetDlgItem(totals, label.first)));
    for (int id : {1045, 1046, 1047, 1048, 1049, 1051}) {
        EXPECT_EQ(L"Edit", ClassOf(GetDlgItem(totals, id))) << id;
        EXPECT_TRUE(GetWindowLongW(GetDlgItem(totals, id), GWL_STYLE) & ES_READONLY) << id;
    }
    // The buttons that carry no behaviour are there with their ids, shown but disabled; the Test Area
    // is there and hidden.
    const std::pair<int, const wchar_t*> pageButtons[] = {
        {1017, L"View"}, {1018, L"Sort"}, {1019, L"Send"}, {1020, L"Get"}, {1021, L"Refresh View"}};
    const std::pair<int, const wchar_t*> totalsButtons[] = {{1053, L"Totals For This View"},
                                                            {1054, L"Back To Collections"},
                                                            {1055, L"Print"},
                                                            {1056, L"Create Letterhead"},
                                                            {1057, L"Change Remit to Address"}};
    auto expectInert = [&](const char* view, bool totalsShown) {
        SCOPED_TRACE(view);
        for (const auto& button : pageButtons) {
            HWND window = GetDlgItem(page, button.first);
            EXPECT_EQ(button.second, TextOf(window));
            EXPECT_EQ(L"Button", ClassOf(window));
            EXPECT_TRUE(IsWindowVisible(window)) << button.first;
            EXPECT_FALSE(IsWindowEnabled(window)) << button.first;
        }
        for (const auto& button : totalsButtons) {
            HWND window = GetDlgItem(totals, button.first);
            EXPECT_EQ(button.second, TextOf(window));
            EXPECT_EQ(totalsShown, IsWindowVisible(window) != FALSE) << button.first;
            EXPECT_FALSE(IsWindowEnabled(window)) << button.first;
        }
        for (int id : {1045, 1046, 1047, 1048, 1049, 1051})
            EXPECT_EQ(totalsShown, IsWindowVisible(GetDlgItem(totals, id)) != FALSE) << id;
        EXPECT_EQ(L"Test Area", TextOf(GetDlgItem(page, 1053)));
        EXPECT_EQ(BS_GROUPBOX, GetWindowLongW(GetDlgItem(page, 1053), GWL_STYLE) & BS_TYPEMASK);
        for (int id : {1049, 1050, 1052, 1053}) {
            ASSERT_NE(nullptr, GetDlgItem(page, id)) << id;
            EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, id))) << id;
        }
    };
    expectInert("list", true);

    // "Change Address": hidden in the list, shown with a statement, where its state reaches the data.
    HWND address = GetDlgItem(page, 1031);
    ASSERT_NE(nullptr, address);
    EXPECT_EQ(L"Change Address", TextOf(address));
    EXPECT_EQ(BS_AUTOCHECKBOX, GetWindowLongW(address, GWL_STYLE) & BS_TYPEMASK);
    EXPECT_FALSE(IsWindowVisible(address));
    Follow(L"app:viewStatement?1");
    // Only a statement's data carries the logo's size.
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ImageLogoSize>"); }));
    ASSERT_TRUE(StatementShown(L"1"));
    EXPECT_TRUE(IsWindowVisible(address));
    EXPECT_FALSE(IsWindowEnabled(pastDue));
    expectInert("statement", false);
    EXPECT_TRUE(Sent(L"<ChangeAddress>0</ChangeAddress>"));
    SendMessageW(address, BM_CLICK, 0, 0);
    Follow(L"app:toSetAddr?1");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ChangeAddress>1</ChangeAddress>"); }));
    Follow(L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowVisible(address) && IsWindowEnabled(pastDue); }));
    // "toStatements" enables the filters again, 1017 among them by id; the buttons stay disabled.
    expectInert("list again", true);
}

TEST_F(CollectionsPageOnScreen, EveryControlWholeAndInsideFromTheSmallestWindowUp)
{
    Start();
    AddRecord("1/15/2024", "Baker", "50");
    OpenList();
    for (const SIZE size : {SIZE{850, 550}, SIZE{1000, 700}, SIZE{1400, 900}}) {
        SizeFrame(size.cx, size.cy);
        ExpectWholeAndInside(("list at " + std::to_string(size.cx) + " x " + std::to_string(size.cy)).c_str());
    }
    // Asked far smaller, the main window stops at its least size, where the page is still whole and
    // keeps a strip of the list.
    SizeFrame(120, 90);
    CRect frame;
    run->Frame()->GetWindowRect(&frame);
    EXPECT_GT(frame.Width(), 120);
    ExpectWholeAndInside("list at the least size");
    CRect list;
    Page()->m_browser.GetWindowRect(&list);
    EXPECT_GE(list.Height(), 100);
    SizeFrame(850, 550);
    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ImageLogoSize>"); }));
    ASSERT_TRUE(StatementShown(L"1"));
    ExpectWholeAndInside("statement at 850 x 550");
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(Page()->GetSafeHwnd(), 1031)));
}

TEST_F(CollectionsPageOnScreen, ApplyFiltersInTheListRebuildsItWithTheFiltersAndSort)
{
    Start();
    AddRecord("1/15/2024", "Zed", "120");
    AddRecord("12/1/2023", "Adams", "80");
    AddRecord("2/1/2024", "Abbot", "30");
    OpenList();
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>3</ID>") && FormWindowOfPage() != nullptr; }));
    HWND page = Page()->GetSafeHwnd();
    // Typed and chosen, but not applied yet: the list is still the one sent before.
    SetDlgItemTextW(page, 1024, L"A");
    SendDlgItemMessageW(page, 1030, CB_SETCURSEL, 1, 0); // NEWEST
    PumpPending();
    EXPECT_TRUE(Sent(L"<FirstPatientName>Zed</FirstPatientName>"));

    // "Apply filters", at the top of the list PDF (160,746 - 240,764 in the page's points).
    ClickListLink(160, 746, 240, 764);
    ASSERT_TRUE(PumpUntil([&] { return !Sent(L"<FirstPatientName>Zed</FirstPatientName>"); }));
    EXPECT_LT(Page()->m_lastSent.find(L"<ID>3</ID>"), Page()->m_lastSent.find(L"<ID>2</ID>")); // newest first
    EXPECT_EQ(11000, Page()->m_running.cents[CollectionTotals::Charges]);
    // The list shown is the new one: its first row is Abbot's.
    ASSERT_TRUE(PumpUntil([&] { auto e = PageEdits(); return e.size() > 1 && TextOf(e[1]) == L"Abbot"; }));

    // The past-due choice too: on 1 Feb 2024 only Adams's claim (1 Dec 2023) is 30 days old.
    today = Day(2024, 2, 1);
    SetDlgItemTextW(page, 1024, L"");
    SendDlgItemMessageW(page, 1026, CB_SETCURSEL, 0, 0); // 30 Days
    ClickListLink(160, 746, 240, 764);
    ASSERT_TRUE(PumpUntil([&] { return !Sent(L"<ID>3</ID>") && Sent(L"<ID>2</ID>"); }));
    EXPECT_FALSE(Sent(L"<ID>1</ID>"));
}

TEST_F(CollectionsPageOnScreen, EverySortOrdersTheRecordsThatThePastDueFilterKeeps)
{
    // On 15 Dec 2025 "30 Days" leaves out the December claims, which lie before, between and after
    // the three it keeps.
    today = Day(2025, 12, 15);
    Start();
    AddRecord("12/10/2025", "Young", "10"); // 1
    AddRecord("11/1/2025", "Baker", "20");  // 2
    AddRecord("12/5/2025", "Young", "10");  // 3
    AddRecord("8/1/2025", "Adams", "30");   // 4
    AddRecord("12/12/2025", "Young", "10"); // 5
    AddRecord("10/1/2025", "Carter", "40"); // 6
    AddRecord("12/14/2025", "Young", "10"); // 7
    OpenList();
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>7</ID>") && FormWindowOfPage() != nullptr; }));
    HWND page = Page()->GetSafeHwnd();
    SendDlgItemMessageW(page, 1026, CB_SETCURSEL, 0, 0); // 30 Days
    // The records sent, in order, 0 for each one left out (an empty Collections element).
    auto placesSent = [&] {
        std::vector<int> places;
        const std::wstring& sent = Page()->m_lastSent;
        for (size_t at = sent.find(L"<Collections"); at != std::wstring::npos; at = sent.find(L"<Collections", at + 1)) {
            const size_t id = sent.find(L"<ID>", at), next = sent.find(L"<Collections", at + 1);
            places.push_back(id < next ? std::wcstol(sent.c_str() + id + 4, nullptr, 10) : 0);
        }
        return places;
    };
    auto rowsShown = [&] {
        std::vector<std::wstring> rows;
        for (const wchar_t* name : {L"R1_ID", L"R2_ID", L"R3_ID", L"R4_ID"}) {
            HWND id = StatementEdit(name);
            rows.push_back(id && IsWindowVisible(id) ? TextOf(id) : L"");
        }
        return rows;
    };
    const struct
    {
        int sortBy;
        std::vector<int> sent;
        std::vector<std::wstring> rows;
    } choices[] = {
        {0, {0, 4, 0, 6, 0, 2, 0}, {L"4", L"6", L"2", L""}}, // OLDEST: 8/1, 10/1, 11/1
        {1, {0, 2, 0, 6, 0, 4, 0}, {L"2", L"6", L"4", L""}}, // NEWEST
        {2, {0, 4, 0, 2, 0, 6, 0}, {L"4", L"2", L"6", L""}}, // PATIENT (A-Z): Adams, Baker, Carter
        {3, {0, 6, 0, 2, 0, 4, 0}, {L"6", L"2", L"4", L""}}, // PATIENT (Z-A)
    };
    for (const auto& choice : choices) {
        SCOPED_TRACE(choice.sortBy);
        SendDlgItemMessageW(page, 1030, CB_SETCURSEL, choice.sortBy, 0);
        ClickListLink(160, 746, 240, 764); // "Apply filters"
        ASSERT_TRUE(PumpUntil([&] { return rowsShown() == choice.rows; }))
            << "rows " << CStringA(rowsShown()[0].c_str()).GetString() << ", " << CStringA(rowsShown()[1].c_str()).GetString()
            << ", " << CStringA(rowsShown()[2].c_str()).GetString();
        EXPECT_EQ(choice.sent, placesSent());
    }
}

TEST_F(CollectionsPageOnScreen, ListShowsRowsOfRecordsOnlyAndTheirViewOpensTheirStatement)
{
    Start();
    AddRecord("1/15/2024", "Zed", "120");
    AddRecord("12/1/2023", "Adams", "80");
    OpenList();
    // Oldest first: Adams (record 2) in row 1, Zed (record 1) in row 2; row 3 holds nothing.
    ASSERT_TRUE(PumpUntil([&] { HWND id = StatementEdit(L"R2_ID"); return id && TextOf(id) == L"1"; }));
    HWND view = StatementEdit(L"R2_View");
    ASSERT_NE(nullptr, view);
    EXPECT_TRUE(IsWindowVisible(view));
    EXPECT_TRUE(IsWindowVisible(StatementEdit(L"R1_Delete")));
    for (const wchar_t* name : {L"R3_ID", L"R3_View", L"R3_Delete", L"NoRecords"})
        EXPECT_FALSE(IsWindowVisible(StatementEdit(name))) << CStringA(name).GetString();

    RECT rc;
    GetClientRect(view, &rc);
    const POINT middle = {rc.right / 2, rc.bottom / 2};
    ASSERT_TRUE(MouseDragThrough(view, {middle, middle}));
    ASSERT_TRUE(StatementReady(L"1"));
    EXPECT_TRUE(Sent(L"<FirstPatientName>Zed</FirstPatientName>"));
    EXPECT_FALSE(Sent(L"<ID>2</ID>"));
}

TEST_F(CollectionsPageOnScreen, ListWithoutRecordsSaysSo)
{
    Start();
    AddRecord("1/15/2024", "Zed", "120");
    OpenList();
    ASSERT_TRUE(PumpUntil([&] { HWND id = StatementEdit(L"R1_ID"); return id && IsWindowVisible(id); }));
    // A filter no record passes: the list says it is empty and offers no row.
    SetDlgItemTextW(Page()->GetSafeHwnd(), 1024, L"Q");
    ClickListLink(160, 746, 240, 764);
    ASSERT_TRUE(PumpUntil([&] { HWND note = StatementEdit(L"NoRecords"); return note && IsWindowVisible(note); }));
    EXPECT_EQ(L"No statements match the filters.", TextOf(StatementEdit(L"NoRecords")));
    EXPECT_FALSE(Sent(L"<ID>1</ID>"));
    for (const wchar_t* name : {L"R1_ID", L"R1_View", L"R1_Delete"})
        EXPECT_FALSE(IsWindowVisible(StatementEdit(name))) << CStringA(name).GetString();
}

TEST_F(CollectionsPageOnScreen, TotalDueCountsTheCents)
{
    Start();
    AddCharged("Baker", "150", "00");
    AddCharged("Cole", "150", "00");
    AddCharged("Dunn", "275", "50");
    OpenList();
    ASSERT_TRUE(PumpUntil([&] { return TotalShown(1051) != L"0.00" && !TotalShown(1051).empty(); }));
    EXPECT_EQ(L"575.50", TotalShown(1045));
    EXPECT_EQ(L"575.50", TotalShown(1051));

    // A statement saved for Baker with a payment of 50.25 leaves 99.75 there; Dunn's 275.50 still
    // counts whole: 525.25 in all.
    Exec("UPDATE submissions SET collectionsXML = '<r><ID>1</ID><PatientPd_1>50.25</PatientPd_1>"
         "<TotalDue_1>99.75</TotalDue_1></r>' WHERE _ROWID_ = 1");
    Follow(L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return TotalShown(1051) == L"525.25"; }));
    EXPECT_EQ(L"50.25", TotalShown(1047));
    EXPECT_EQ(L"575.50", TotalShown(1045));
}

TEST_F(CollectionsPageOnScreen, PaymentsTypedOnAStatementLeaveItsBalanceInTheTotals)
{
    Start();
    AddCharged("Baker", "150", "00");
    AddCharged("Cole", "150", "00");
    AddCharged("Dunn", "275", "50");
    OpenList();
    ASSERT_TRUE(PumpUntil([&] { return TotalShown(1051) == L"575.50"; }));

    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(StatementReady(L"1"));
    HWND due = StatementEdit(L"TotalDue_1");
    ASSERT_NE(nullptr, due);
    // The balance shows as soon as the data arrive, and follows each payment typed.
    ASSERT_TRUE(PumpUntil([&] { return TextOf(due) == L"150.00"; }));
    TypeInto(L"PatientPd_1", L"50.00");
    EXPECT_EQ(L"100.00", TextOf(due));
    TypeInto(L"Payer1Pd_1", L"25.25");
    EXPECT_EQ(L"74.75", TextOf(due));
    EXPECT_EQ(L"", TextOf(StatementEdit(L"TotalDue_2"))); // no charge on line 2

    Follow(L"app:saveChanges");
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT dateTrigger FROM submissions WHERE _ROWID_ = 1") == "1"; }));
    const std::string saved = One("SELECT collectionsXML FROM submissions WHERE _ROWID_ = 1");
    EXPECT_NE(std::string::npos, saved.find("<TotalDue_1>74.75</TotalDue_1>")) << saved;
    EXPECT_NE(std::string::npos, saved.find("<PatientPd_1>50.00</PatientPd_1>")) << saved;
    EXPECT_NE(std::string::npos, saved.find("<Payer1Pd_1>25.25</Payer1Pd_1>")) << saved;
    EXPECT_EQ("03/01/2024", One("SELECT memorizedDate FROM submissions WHERE _ROWID_ = 1"));

    // The list's totals: 74.75 + 150.00 + 275.50; only Baker's statement is saved, and every record
    // still owes something.
    Follow(L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Page()->m_totals.IsWindowVisible() && TotalShown(1051) == L"500.25"; }));
    EXPECT_EQ(L"575.50", TotalShown(1045));
    EXPECT_EQ(L"50.00", TotalShown(1047));
    EXPECT_EQ(L"25.25", TotalShown(1048));
    HWND page = Page()->GetSafeHwnd();
    SendDlgItemMessageW(page, 1026, CB_SETCURSEL, kPastDuePaidInFull, 0);
    ClickListLink(160, 746, 240, 764);
    ASSERT_TRUE(PumpUntil([&] { return !Sent(L"<ID>1</ID>"); }));
    EXPECT_FALSE(Sent(L"<ID>2</ID>") || Sent(L"<ID>3</ID>"));
    SendDlgItemMessageW(page, 1026, CB_SETCURSEL, kPastDueAnyBalance, 0);
    ClickListLink(160, 746, 240, 764);
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>1</ID>") && Sent(L"<ID>2</ID>") && Sent(L"<ID>3</ID>"); }));
}

TEST_F(CollectionsPageOnScreen, DeletingTheCurrentRecordFromTheListLeavesNoneAndClearsTheForm)
{
    Start();
    CPage3* form = FormPage();
    ASSERT_NE(nullptr, form);
    SaveThroughForm(L"Jones");
    Navigator& steps = run->Frame()->m_wndNavigator;
    const int saved = run->View()->GetCurrentRecordId();
    ASSERT_GT(saved, 0);
    steps.SetStep(0);
    ASSERT_TRUE(PumpUntil([&] { return form->IsWindowVisible() && TextOf(FormEdits()[0]) == L"Jones"; }));

    viewer::NavigateFromPageForTest(form->m_browser.GetSafeHwnd(), L"app:toStatements");
    const std::wstring idElement = L"<ID>" + std::to_wstring(saved) + L"</ID>";
    ASSERT_TRUE(PumpUntil([&] { return Page() && Page()->IsWindowVisible() && Sent(idElement.c_str()); }));
    Follow((L"app:deleteRecord?" + std::to_wstring(saved)).c_str());
    ASSERT_TRUE(PumpUntil([&] { return !Sent(idElement.c_str()); }));
    EXPECT_EQ(-1, run->View()->GetCurrentRecordId());

    steps.SetStep(0);
    ASSERT_TRUE(PumpUntil([&] { return form->IsWindowVisible() && !Page()->IsWindowVisible(); }));
    PumpPending();
    EXPECT_EQ(L"", TextOf(FormEdits()[0]));
    EXPECT_FALSE(form->m_buttons.GetDlgItem(1022)->IsWindowEnabled()); // "Update and Save": nothing to update
}

TEST_F(CollectionsPageOnScreen, DeletingTheCurrentRecordFromTheRecordsPageClearsTheForm)
{
    Start();
    CPage3* form = FormPage();
    ASSERT_NE(nullptr, form);
    SaveThroughForm(L"Jones");
    Navigator& steps = run->Frame()->m_wndNavigator;
    ASSERT_GT(run->View()->GetCurrentRecordId(), 0);

    // The saved record is selected on the records page; "Delete" removes it.
    CDialog* records = run->View()->GetRecordsPage();
    ASSERT_TRUE(PumpUntil([&] { return records->IsWindowVisible(); }));
    HWND remove = nullptr;
    std::vector<HWND> all;
    EnumChildWindows(records->GetSafeHwnd(), CollectChildren, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all)
        if (GetDlgCtrlID(window) == 1011 && ClassOf(window) == L"Button") remove = window;
    ASSERT_NE(nullptr, remove);
    ::PostMessageW(remove, BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return One("SELECT count(*) FROM submissions") == "0"; }));
    EXPECT_EQ(-1, run->View()->GetCurrentRecordId());

    steps.SetStep(0);
    ASSERT_TRUE(PumpUntil([&] { return form->IsWindowVisible(); }));
    PumpPending();
    EXPECT_EQ(L"", TextOf(FormEdits()[0]));
}

TEST_F(CollectionsPageOnScreen, AfterTheCurrentRecordIsDeletedFromTheListTheRecordsPageTakesRowOne)
{
    Start();
    CPage3* form = FormPage();
    ASSERT_NE(nullptr, form);
    SaveThroughForm(L"Jones");
    const int jones = run->View()->GetCurrentRecordId();
    Navigator& steps = run->Frame()->m_wndNavigator;
    steps.SetStep(0);
    SaveThroughForm(L"Brown");
    const int brown = run->View()->GetCurrentRecordId();
    ASSERT_GT(brown, jones);

    // "Brown" deleted from the statements list; the records page shown, then the form page.
    steps.SetStep(0);
    ASSERT_TRUE(PumpUntil([&] { return form->IsWindowVisible(); }));
    viewer::NavigateFromPageForTest(form->m_browser.GetSafeHwnd(), L"app:toStatements");
    const std::wstring idElement = L"<ID>" + std::to_wstring(brown) + L"</ID>";
    ASSERT_TRUE(PumpUntil([&] { return Page() && Page()->IsWindowVisible() && Sent(idElement.c_str()); }));
    Follow((L"app:deleteRecord?" + std::to_wstring(brown)).c_str());
    ASSERT_TRUE(PumpUntil([&] { return !Sent(idElement.c_str()); }));
    steps.SetStep(1);
    ASSERT_TRUE(PumpUntil([&] { return run->View()->GetRecordsPage()->IsWindowVisible(); }));
    EXPECT_EQ(jones, run->View()->GetCurrentRecordId());
    EXPECT_EQ(0, run->View()->GetTemplateFlag());

    steps.SetStep(0);
    ASSERT_TRUE(PumpUntil([&] { return form->IsWindowVisible() && TextOf(FormEdits()[0]) == L"Jones"; }));
    EXPECT_TRUE(form->m_buttons.GetDlgItem(1022)->IsWindowEnabled()); // "Update and Save"
}

namespace
{
struct Placed
{
    bool seen = false;
    RECT rect = {};
};

struct CaptionSearch
{
    const std::wstring* start;
    HWND found;
};

BOOL CALLBACK MatchCaptionStart(HWND window, LPARAM param)
{
    CaptionSearch& search = *reinterpret_cast<CaptionSearch*>(param);
    const std::wstring text = TextOf(window);
    if (ClassOf(window) == L"#32770" && IsWindowVisible(window) && IsWindowEnabled(window) &&
        text.compare(0, search.start->size(), *search.start) == 0)
        search.found = window;
    return search.found == nullptr;
}

// A visible dialog of this thread whose caption starts with the text, or null.
HWND DialogStartingWith(const std::wstring& start)
{
    CaptionSearch search = {&start, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchCaptionStart, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Once the dialog is up: where it is, then it is closed with the button.
void RecordAndClose(DialogDriver& driver, const std::wstring& caption, Placed& placed, int closeWith)
{
    driver.Then([caption, &placed, closeWith] {
        HWND dialog = DialogStartingWith(caption);
        if (!dialog) return false;
        GetWindowRect(dialog, &placed.rect);
        placed.seen = true;
        ClickButton(dialog, closeWith);
        return true;
    });
}
} // namespace

TEST_F(CollectionsPageOnScreen, DialogsOpenWholeAndCentredOverASmallWindowAtTheTopEdge)
{
    Start();
    AddRecord("1/15/2024", "Baker", "50");
    RECT work;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    // The main window as small as it goes, in the top left corner of the work area.
    run->Frame()->SetWindowPos(nullptr, work.left, work.top, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpPending();
    RECT frame;
    GetWindowRect(run->Frame()->GetSafeHwnd(), &frame);
    ASSERT_EQ(work.top, frame.top);

    // Each dialog: wholly inside the work area, its title bar on screen; across, centred on the main
    // window unless that would cross the work area's left edge; down, centred unless that would
    // cross its top.
    auto expectPlaced = [&](const char* name, const Placed& placed) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(placed.seen);
        const RECT& r = placed.rect;
        EXPECT_GE(r.left, work.left);
        EXPECT_GE(r.top, work.top);
        EXPECT_LE(r.right, work.right);
        EXPECT_LE(r.bottom, work.bottom);
        const long width = r.right - r.left, height = r.bottom - r.top;
        const long centredLeft = (frame.left + frame.right - width) / 2;
        const long centredTop = (frame.top + frame.bottom - height) / 2;
        EXPECT_NEAR(std::max<long>(work.left, centredLeft), r.left, 1);
        EXPECT_NEAR(std::max<long>(work.top, centredTop), r.top, 1);
    };

    HWND buttons = FormPage()->m_buttons.GetSafeHwnd();
    {
        Placed printOptions;
        DialogDriver driver;
        RecordAndClose(driver, L"Print Preferences", printOptions, IDCANCEL);
        PostMessageW(GetDlgItem(buttons, 1017), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
        expectPlaced("Print Preferences", printOptions);
    }
    {
        Placed registration;
        DialogDriver driver;
        RecordAndClose(driver, L"Download form updates (", registration, IDCANCEL);
        PostMessageW(GetDlgItem(buttons, 1023), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
        expectPlaced("registration", registration);
    }
    OpenList();
    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(StatementReady(L"1"));
    {
        Placed header, textHeader;
        DialogDriver driver;
        driver.Then([&] {
            HWND dialog = DialogStartingWith(L"Header");
            if (!dialog) return false;
            GetWindowRect(dialog, &header.rect);
            header.seen = true;
            ClickButton(dialog, 1016); // "Insert Text"
            return true;
        });
        RecordAndClose(driver, L"Text Header Setup", textHeader, IDOK); // OK closes both
        Follow(L"app:toSetHeader");
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
        expectPlaced("Header", header);
        expectPlaced("Text Header Setup", textHeader);
    }
}
