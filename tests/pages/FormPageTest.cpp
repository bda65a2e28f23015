// The form page end to end on real windows with the viewer and the sample claim form: registration
// (done and cancelled), saving records and templates, reopening and updating a record, a form that
// never answers, an empty form, a second Save during a wait, no form at all.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstring>
#include <functional>

#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "pages/FormExchange.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "tests/support/SleepRecorder.h"
#include "viewer/ViewerTestControl.h"

namespace {

const wchar_t kRegistrationCaption[] = L"New Forms Registration";
const int kSaveAsNew = 1015;
const int kSaveAsTemplate = 1016;
const int kUpdateAndSave = 1022;

using Rows = std::vector<std::vector<std::string>>;

Rows Query(const std::wstring& path, const char* sql)
{
    Rows rows;
    Database db;
    EXPECT_TRUE(db.Open(path.c_str())) << db.ErrorText();
    Statement statement;
    EXPECT_TRUE(statement.Prepare(db, sql)) << statement.ErrorText();
    while (statement.Step() == StepResult::Row)
    {
        std::vector<std::string> row;
        for (int i = 0; i < statement.ColumnCount(); ++i)
            row.push_back(statement.ColumnText(i));
        rows.push_back(row);
    }
    return rows;
}

bool RowHolds(const std::vector<std::string>& row, const std::string& value)
{
    for (const std::string& cell : row)
        if (cell == value)
            return true;
    return false;
}

bool SentCommandStartingWith(const std::wstring& prefix)
{
    for (const std::wstring& command : viewer::TestControl().commands)
        if (command.compare(0, prefix.size(), prefix) == 0)
            return true;
    return false;
}

// Shows the page and presses "Register this form" in the registration dialog it opens.
void ShowAndRegister(FormPageFixture& fixture)
{
    DialogDriver driver;
    driver.OnDialog(kRegistrationCaption, [](HWND dialog) { ClickButton(dialog, IDOK); });
    fixture.ShowPage();
    ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(fixture.Database()));
    ASSERT_TRUE(PumpUntil([&] { return fixture.FormEdits().size() >= 2; }));
}

// Shows the page on a registered form: the first call registers through the dialog, later ones start
// from a copy of that database (registration itself waits seconds for the form).
void ShowRegistered(FormPageFixture& fixture)
{
    static std::string registered;
    if (registered.empty())
    {
        ShowAndRegister(fixture);
        registered = ReadWholeFile(fixture.Database());
        return;
    }
    ASSERT_TRUE(WriteWholeFile(fixture.Database(), registered));
    fixture.ShowPage();
    ASSERT_TRUE(PumpUntil([&] { return fixture.FormEdits().size() >= 2; }));
}

void Type(HWND edit, const wchar_t* text)
{
    SetWindowTextW(edit, text); // sends EN_CHANGE as typing does
}

// A window that runs an action when the posted message reaches it: posted right after a click, the
// action runs inside the wait that the click starts.
class PostedAction
{
public:
    explicit PostedAction(std::function<void()> action) : m_action(std::move(action))
    {
        static const ATOM atom = [] {
            WNDCLASSW wc = {};
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"FormPageTestPostedAction";
            return RegisterClassW(&wc);
        }();
        m_window = CreateWindowW(MAKEINTATOM(atom), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~PostedAction() { DestroyWindow(m_window); }
    void Post() { PostMessageW(m_window, WM_APP, 0, 0); }
    bool ran = false;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* self = reinterpret_cast<PostedAction*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != WM_APP || !self)
            return DefWindowProcW(window, message, wParam, lParam);
        self->ran = IsExchangeRunning();
        self->m_action();
        return 0;
    }
    std::function<void()> m_action;
    HWND m_window;
};

} // namespace

TEST(FormPage, RegistersTheFormThenSavesRecordsAndTemplates)
{
    FormPageFixture fixture;
    ShowAndRegister(fixture);
    EXPECT_TRUE(fixture.boxes.empty()) << fixture.boxes.size();
    const Rows info = Query(fixture.Database(), "SELECT formtype, frozen, zoomfactor FROM FormInfo");
    EXPECT_EQ((Rows{{"CMS-1500", "1", "0,0"}}), info);
    EXPECT_TRUE(fixture.host.formLoaded);
    EXPECT_FALSE(IsWindowEnabled(fixture.Button(kUpdateAndSave)));

    // Save as New.
    std::vector<HWND> edits = fixture.FormEdits();
    Type(edits[0], L"Jones");
    Type(edits[1], L"O'Brien; DROP TABLE submissions");
    fixture.ClickSave(kSaveAsNew);
    const Rows records = Query(fixture.Database(), "SELECT _ROWID_, * FROM submissions");
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(std::to_string(fixture.host.recordId), records[0][0]);
    EXPECT_EQ(0, fixture.host.templateFlag);
    EXPECT_TRUE(RowHolds(records[0], "Jones"));
    EXPECT_TRUE(RowHolds(records[0], "O'Brien; DROP TABLE submissions"));
    EXPECT_TRUE(SentCommandStartingWith(L"WillSave"));
    const int firstRecord = fixture.host.recordId;

    // Save as Template under a name.
    DialogDriver driver;
    driver.OnDialog(L"Formstead", [](HWND dialog) {
        SetDlgItemTextW(dialog, 1023, L"Acme default");
        ClickButton(dialog, IDOK);
    });
    Type(edits[0], L"Acme Insurance");
    fixture.ClickSave(kSaveAsTemplate);
    const Rows templates = Query(fixture.Database(), "SELECT _ROWID_, RSRV_TEMPLATE_NAME FROM templates");
    ASSERT_EQ(1u, templates.size());
    EXPECT_EQ("Acme default", templates[0][1]);
    EXPECT_EQ(std::to_string(fixture.host.recordId), templates[0][0]);
    EXPECT_EQ(1, fixture.host.templateFlag);
    EXPECT_STREQ(L"Acme default", fixture.host.lastTemplateName.GetString());

    // Reopen the first record: the page sends its XML and the form shows its values again.
    Type(edits[0], L"");
    fixture.HidePage();
    fixture.host.recordId = firstRecord;
    fixture.host.templateFlag = 0;
    viewer::TestControl().commands.clear();
    fixture.ShowPage();
    EXPECT_TRUE(SentCommandStartingWith(L"FieldSet|<"));
    ASSERT_TRUE(PumpUntil([&] {
        wchar_t text[64] = {};
        GetWindowTextW(fixture.FormEdits()[0], text, 64);
        return std::wstring(text) == L"Jones";
    }));
    EXPECT_TRUE(IsWindowEnabled(fixture.Button(kUpdateAndSave)));

    // Update and Save replaces the record and writes its steps to the log beside the program.
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring log = std::wstring(program) + L".log";
    DeleteFileW(log.c_str());
    Type(fixture.FormEdits()[0], L"Jones-Smith");
    fixture.ClickSave(kUpdateAndSave);
    const std::string logged = ReadWholeFile(log);
    size_t at = 0;
    for (const char* line : {"SaveAndUpdate:Begin", "SaveAndUpdate:Coomand WillSave Set", "SaveAndUpdate:ScriptIssued",
                             "SaveAndUpdate:Command Save Set", "SaveAndUpdate:ScriptIssued, Get Data",
                             "Data received", "Data Save", "SaveAndUpdate:Finish"})
    {
        at = logged.find(line, at);
        ASSERT_NE(std::string::npos, at) << line;
    }
    EXPECT_EQ(std::string::npos, logged.find("Jones")); // no patient data in the log
    const Rows updated = Query(fixture.Database(), "SELECT _ROWID_, * FROM submissions");
    ASSERT_EQ(1u, updated.size());
    EXPECT_NE(std::to_string(firstRecord), updated[0][0]);
    EXPECT_EQ(std::to_string(fixture.host.recordId), updated[0][0]);
    EXPECT_TRUE(RowHolds(updated[0], "Jones-Smith"));
    EXPECT_TRUE(fixture.boxes.empty());
}

TEST(FormPage, FormThatNeverAnswersOrIsEmptyStoresNothing)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);

    // Empty form: the message, nothing stored, no current record.
    fixture.ClickSave(kSaveAsNew);
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_EQ(L"The document data is not compatible with the DB structure or is empty", fixture.boxes[0].text);
    EXPECT_EQ(L"db", fixture.boxes[0].caption);
    EXPECT_EQ(0, fixture.host.recordId);

    // A form that never answers: the wait ends, the reply stays "--", nothing is stored.
    Type(fixture.FormEdits()[0], L"Jones");
    viewer::TestControl().neverReply = true;
    SleepRecorder sleeps;
    fixture.ClickSave(kSaveAsNew);
    EXPECT_TRUE(sleeps.Are(100, 20)) << sleeps.Sleeps().size() << " pauses"; // the whole wait, 100 passes
    EXPECT_STREQ(L"--", fixture.page.m_buttons.m_strReply.GetString());
    EXPECT_EQ(2u, fixture.boxes.size());
    EXPECT_EQ(0, fixture.host.recordId);
    EXPECT_TRUE(Query(fixture.Database(), "SELECT * FROM submissions").empty());
}

TEST(FormPage, SecondSaveDuringAWaitDoesNothing)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    Type(fixture.FormEdits()[0], L"Jones");
    viewer::TestControl().replyDelay = 20;
    ::PostMessageW(fixture.Button(kSaveAsNew), BM_CLICK, 0, 0);
    ::PostMessageW(fixture.Button(kSaveAsNew), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return fixture.host.recordsPageShown >= 1; }));
    DrainMessages();   // the second click, had it been left waiting
    EXPECT_EQ(1u, Query(fixture.Database(), "SELECT * FROM submissions").size());
    EXPECT_EQ(1, fixture.host.recordsPageShown);
}

TEST(FormPage, CancelledRegistrationLoadsNothingAndSaysSoOnce)
{
    FormPageFixture fixture;
    DialogDriver driver;
    driver.OnDialog(kRegistrationCaption, [](HWND dialog) { ClickButton(dialog, IDCANCEL); });
    fixture.ShowPage();
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(fixture.Database()));
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_NE(std::wstring::npos, fixture.boxes[0].text.find(L"not registered"));
    EXPECT_EQ(L"Formstead", fixture.boxes[0].caption);
    for (int id : {kSaveAsNew, kSaveAsTemplate, kUpdateAndSave})
        EXPECT_FALSE(IsWindowEnabled(fixture.Button(id))) << id;
    DrainMessages();
    EXPECT_TRUE(fixture.FormEdits().empty());
    EXPECT_FALSE(fixture.host.formLoaded);
}

TEST(FormPage, StoreWithoutAFormSaysSoWithoutRegistration)
{
    FormPageFixture fixture(false);
    DialogDriver driver;
    bool registrationShown = false;
    driver.Then([&] {
        registrationShown = registrationShown || FindThreadDialog(kRegistrationCaption) != nullptr;
        return false;
    });
    fixture.ShowPage();
    EXPECT_FALSE(registrationShown);
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_NE(std::wstring::npos, fixture.boxes[0].text.find(L"holds no form"));
    EXPECT_FALSE(IsWindowEnabled(fixture.Button(kSaveAsNew)));
}

TEST(FormPage, UpdatingATemplateKeepsItsStoredName)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    DialogDriver driver;
    driver.OnDialog(L"Formstead", [](HWND dialog) {
        SetDlgItemTextW(dialog, 1023, L"Blue Cross");
        ClickButton(dialog, IDOK);
    });
    Type(fixture.FormEdits()[0], L"BC");
    fixture.ClickSave(kSaveAsTemplate);
    const int stored = fixture.host.recordId;
    ASSERT_GT(stored, 0);

    fixture.HidePage();
    fixture.host.lastTemplateName = L"something else";
    fixture.ShowPage();
    EXPECT_TRUE(IsWindowEnabled(fixture.Button(kUpdateAndSave)));
    Type(fixture.FormEdits()[0], L"BC-2");
    fixture.ClickSave(kUpdateAndSave);
    const Rows templates = Query(fixture.Database(), "SELECT _ROWID_, RSRV_TEMPLATE_NAME FROM templates");
    ASSERT_EQ(1u, templates.size());
    EXPECT_EQ("Blue Cross", templates[0][1]);
    EXPECT_EQ(std::to_string(fixture.host.recordId), templates[0][0]);
    EXPECT_NE(stored, fixture.host.recordId);
    EXPECT_EQ(1, fixture.host.templateFlag);
}

TEST(FormPage, MissingRecordSendsAnEmptyFieldSetAndZoomGoesToTheForm)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    fixture.HidePage();
    fixture.host.recordId = 4711;
    viewer::TestControl().commands.clear();
    fixture.ShowPage();
    ASSERT_FALSE(viewer::TestControl().commands.empty());
    EXPECT_EQ(L"FieldSet|", viewer::TestControl().commands.back());
    EXPECT_TRUE(fixture.boxes.empty());

    viewer::TestControl().commands.clear();
    const HWND bar = fixture.page.m_buttons.GetSafeHwnd();
    const HWND zoomer = fixture.page.m_zoomer.GetSafeHwnd();
    ::SendMessageW(bar, WM_COMMAND, MAKEWPARAM(1020, BN_CLICKED), (LPARAM)::GetDlgItem(bar, 1020));
    ::SendMessageW(bar, WM_COMMAND, MAKEWPARAM(1043, STN_CLICKED), (LPARAM)::GetDlgItem(bar, 1043));
    ::SendMessageW(zoomer, WM_COMMAND, MAKEWPARAM(1042, STN_CLICKED), (LPARAM)::GetDlgItem(zoomer, 1042));
    ::SendMessageW(bar, WM_COMMAND, MAKEWPARAM(1021, BN_CLICKED), (LPARAM)::GetDlgItem(bar, 1021));
    EXPECT_EQ((std::vector<std::wstring>{L"ZoomIn", L"ZoomOut", L"ZoomIn", L"ZoomOut"}),
              viewer::TestControl().commands);

    std::wstring opened;
    int shown = 0;
    AfxSetShellOpener([&](HWND, const CString& verb, const CString& file, const CString&, const CString&, int show) {
        opened = std::wstring(verb.GetString()) + L" " + file.GetString();
        shown = show;
        return TRUE;
    });
    ClickButton(zoomer, 1015);
    PumpUntil([&] { return !opened.empty(); });
    AfxSetShellOpener(nullptr);
    EXPECT_EQ(L"open " + fixture.program.Path() + L"acrohelp.htm", opened);
    EXPECT_EQ(SW_SHOWMAXIMIZED, shown);
}

TEST(FormPage, ClosingTheMainWindowDuringASaveEndsTheWaitQuietly)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    Type(fixture.FormEdits()[0], L"Jones");
    viewer::TestControl().neverReply = true;
    DialogDriver driver;
    SleepRecorder sleeps(true);
    size_t pausesAtClose = 0;
    int ticks = 0;
    bool closed = false;
    void* released = nullptr;
    driver.Then([&] {
        if (++ticks < 5)
            return false;
        pausesAtClose = sleeps.Sleeps().size();
        // As closing the main window does: the windows go, then the view deletes its pages. The
        // page's memory is scribbled over so that any later use of it fails at once.
        fixture.frame.DestroyWindow();
        CPage3* gone = fixture.pageObject;
        fixture.pageObject = nullptr;
        gone->~CPage3();
        memset(static_cast<void*>(gone), 0xDD, sizeof(CPage3));
        released = gone;
        closed = true;
        return true;
    });
    const HWND pageWindow = fixture.page.m_hWnd;
    ::PostMessageW(fixture.Button(kSaveAsNew), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    DrainMessages();
    EXPECT_GT(pausesAtClose, 0u);                           // closed during the wait
    EXPECT_LE(sleeps.Sleeps().size(), pausesAtClose + 1);   // which then ended at once
    EXPECT_FALSE(::IsWindow(pageWindow));
    EXPECT_EQ(0, fixture.host.recordsPageShown);
    EXPECT_TRUE(fixture.boxes.empty());
    EXPECT_TRUE(Query(fixture.Database(), "SELECT * FROM submissions").empty());
    ::operator delete(released);
}

TEST(FormPage, SendSaveCommandsTellsStoredEmptyAndFailedApart)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    CPdfButtons& buttons = fixture.page.m_buttons;
    CHTMLCtrl& browser = fixture.page.m_browser;

    EXPECT_EQ(SaveOutcome::Empty, buttons.SendSaveCommands(browser));
    EXPECT_EQ(0, fixture.host.recordId);

    Type(fixture.FormEdits()[0], L"Jones");
    EXPECT_EQ(SaveOutcome::Stored, buttons.SendSaveCommands(browser));
    EXPECT_GT(fixture.host.recordId, 0);

    ASSERT_TRUE(MoveFileW(fixture.Database().c_str(), fixture.store.File(L"elsewhere.gdb").c_str()));
    const size_t shown = fixture.boxes.size();
    EXPECT_EQ(SaveOutcome::Failed, buttons.SendSaveCommands(browser));
    EXPECT_EQ(-1, fixture.host.recordId);
    ASSERT_EQ(shown + 1, fixture.boxes.size());
    EXPECT_EQ(0u, fixture.boxes.back().text.find(L"Can't open database: "));
    EXPECT_EQ(L"db", fixture.boxes.back().caption);
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(fixture.Database())); // nothing created
}

TEST(FormPage, LayoutAndTheHelpLinkDrawing)
{
    FormPageFixture fixture(false);
    fixture.ShowPage();
    fixture.page.MoveWindow(0, 0, 900, 600);
    auto placeOf = [&](CWnd& child) {
        CRect rect;
        child.GetWindowRect(&rect);
        fixture.page.ScreenToClient(&rect);
        return rect;
    };
    // The tab strip runs across the top behind the bars; the form fills the rest of the page.
    const CRect tabs = placeOf(fixture.page.m_tabs);
    const CRect browser = placeOf(fixture.page.m_browser);
    EXPECT_EQ(CRect(0, 0, 900, tabs.bottom), tabs);
    EXPECT_EQ(CRect(0, browser.top, 900, 600), browser);
    EXPECT_LT(tabs.bottom, browser.top);
    for (CWnd* bar : {static_cast<CWnd*>(&fixture.page.m_buttons), static_cast<CWnd*>(&fixture.page.m_zoomer)})
    {
        const CRect place = placeOf(*bar);
        EXPECT_GE(place.top, 22);
        EXPECT_LE(place.bottom, tabs.bottom);
        EXPECT_GE(place.left, 0);
        EXPECT_LE(place.right, 900);
    }

    // The link is drawn as dark red text.
    fixture.page.m_zoomer.ShowWindow(SW_SHOW);
    fixture.page.m_zoomer.BringWindowToTop();
    HWND link = ::GetDlgItem(fixture.page.m_zoomer.m_hWnd, 1015);
    ::RedrawWindow(link, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    CRect area;
    ::GetClientRect(link, &area);
    HDC dc = ::GetDC(link);
    int red = 0;
    for (int y = 0; y < area.Height(); ++y)
        for (int x = 0; x < area.Width(); ++x)
            red += ::GetPixel(dc, x, y) == RGB(192, 0, 0);
    ::ReleaseDC(link, dc);
    EXPECT_GT(red, 20);
}

TEST(FormPage, UpdateReplacesTheRowShownWhenPressedEvenIfAnotherBecomesCurrent)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    Type(fixture.FormEdits()[0], L"Other");
    fixture.ClickSave(kSaveAsNew);
    const int other = fixture.host.recordId;
    Type(fixture.FormEdits()[0], L"Jones");
    fixture.ClickSave(kSaveAsNew);
    const int shown = fixture.host.recordId;
    ASSERT_GT(other, 0);
    ASSERT_GT(shown, other);

    fixture.HidePage();
    fixture.ShowPage();
    ASSERT_TRUE(IsWindowEnabled(fixture.Button(kUpdateAndSave)));
    Type(fixture.FormEdits()[0], L"Jones-Smith");
    // While the page waits for the form, the user opens another record from the list.
    viewer::TestControl().replyDelay = 30;
    PostedAction openOther([&] { fixture.host.recordId = other; });
    const int before = fixture.host.recordsPageShown;
    ::PostMessageW(fixture.Button(kUpdateAndSave), BM_CLICK, 0, 0);
    openOther.Post();
    ASSERT_TRUE(PumpUntil([&] { return fixture.host.recordsPageShown > before; }));
    EXPECT_TRUE(openOther.ran); // it ran during the wait
    const Rows rows = Query(fixture.Database(), "SELECT _ROWID_, * FROM submissions ORDER BY _ROWID_");
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(std::to_string(other), rows[0][0]);
    EXPECT_TRUE(RowHolds(rows[0], "Other"));
    EXPECT_TRUE(RowHolds(rows[1], "Jones-Smith"));
    EXPECT_EQ(std::to_string(fixture.host.recordId), rows[1][0]);
}

TEST(FormPage, SaveExchangeReportsEachStepBetweenTheCommands)
{
    FormPageFixture fixture;
    ShowRegistered(fixture);
    viewer::TestControl().commands.clear();
    std::vector<std::pair<SaveStep, std::vector<std::wstring>>> seen;
    CString reply;
    EXPECT_EQ(ExchangeResult::Answered, RunSaveExchange(fixture.page.m_browser, reply, [&](SaveStep step) {
                  seen.push_back({step, viewer::TestControl().commands});
              }));
    ASSERT_EQ(4u, seen.size());
    EXPECT_EQ(SaveStep::WillSaveSet, seen[0].first);
    EXPECT_TRUE(seen[0].second.empty());
    EXPECT_EQ(SaveStep::WillSaveIssued, seen[1].first);
    EXPECT_EQ(std::vector<std::wstring>{L"WillSave"}, seen[1].second);
    EXPECT_EQ(SaveStep::SaveSet, seen[2].first);
    EXPECT_EQ(1u, seen[2].second.size());
    EXPECT_EQ(SaveStep::SaveIssued, seen[3].first);
    EXPECT_EQ((std::vector<std::wstring>{L"WillSave", L"Save"}), seen[3].second);
    EXPECT_NE(-1, reply.Find(L"="));
}

TEST(FormPage, ClosingTheMainWindowDuringRegistrationTouchesNothingAfterwards)
{
    FormPageFixture fixture;
    bool closed = false;
    DialogDriver driver;
    driver.OnDialog(kRegistrationCaption, [&](HWND) {
        // As closing the main window does: its windows go (the dialog with them) and the program is
        // told to quit. The page object stays, so that a page that still acted would show its
        // "not registered" message.
        fixture.frame.DestroyWindow();
        ::PostQuitMessage(0);
        closed = true;
    });
    const HWND pageWindow = fixture.page.m_hWnd;
    ::ShowWindow(pageWindow, SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return closed; }));
    DrainMessages();
    EXPECT_FALSE(::IsWindow(pageWindow));
    EXPECT_TRUE(fixture.boxes.empty()) << (fixture.boxes.empty() ? L"" : fixture.boxes[0].text);
    EXPECT_EQ(FormRegistration::Missing, CheckFormRegistration(fixture.Database()));
}

TEST(FormPage, ClosingTheMainWindowDuringThePageLoadWaitLoadsNothing)
{
    FormPageFixture fixture;
    ASSERT_TRUE(CreateFormDatabase(fixture.Database(), "Kjjjj0jName", "CMS-1500").ok);
    // The page has not reported loaded yet and never will: the load wait runs its full length.
    viewer::TestControl().documentCompleteMissing = true;
    DrainMessages(); // what the page had already reported arrives first
    fixture.page.m_browser.m_bLoaded = false;
    PostedAction closeMainWindow([&] {
        fixture.frame.DestroyWindow();
        ::PostQuitMessage(0);
    });
    closeMainWindow.Post();
    fixture.ShowPage();
    EXPECT_FALSE(::IsWindow(fixture.page.m_hWnd));
    EXPECT_FALSE(fixture.host.formLoaded);
    EXPECT_TRUE(fixture.boxes.empty());
}
