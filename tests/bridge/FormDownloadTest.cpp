// Form-update downloads: the address rules and the file names as tables, and real downloads from a
// local updates site into a store folder, which holds only complete forms afterwards.
#include "BridgeTestWindow.h"
#include "UpdateServer.h"
#include "bridge/FormDownload.h"
#include "framework/Seams.h"
#include "tests/support/TempFolder.h"
#include "viewer/LinkPage.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The names of every file in the folder, sorted.
std::vector<std::wstring> FilesIn(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

struct RecordedBox
{
    std::wstring text, caption;
};

class FormDownloadTest : public BridgeTest
{
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return IDOK;
        });
        form = ReadWholeFile(Sample(L"cms1500.pdf"));
        ASSERT_GT(form.size(), 10000u);
        ASSERT_TRUE(server.Running());
    }
    void TearDown() override
    {
        AfxSetMessageBoxSink(nullptr);
        BridgeTest::TearDown();
    }

    // The control in download mode on the updates page, as the registration dialog sets it up.
    void ShowUpdatesPage(const std::wstring& updatesAddress)
    {
        ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
        m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), updatesAddress.c_str());
        m_ctrl.EnableFormDownloads([this] { ++closed; });
        m_ctrl.Navigate2(updatesAddress.c_str());
        PumpPendingMessages();
    }

    // A link of the page followed, as a double-click on it does.
    void Follow(const std::wstring& address)
    {
        viewer::NavigateFromPageForTest(m_ctrl.m_hWnd, address);
        PumpPendingMessages();
    }

    // The link of the site followed fails: one failure message, the dialog closed, the store empty.
    void ExpectFailedDownload(const wchar_t* path)
    {
        boxes.clear();
        const int closedBefore = closed;
        Follow(server.Address(path));
        EXPECT_TRUE(FilesIn(store.Path()).empty()) << path;
        ASSERT_EQ(1u, boxes.size()) << path;
        EXPECT_EQ(L"Failed on updating new form", boxes[0].text) << path;
        EXPECT_EQ(L"Formstead", boxes[0].caption) << path;
        EXPECT_EQ(closedBefore + 1, closed) << path;
    }

    UpdateServer server{Sample(L"cms1500.pdf")};
    TempFolder program;
    TempFolder store;
    std::string form;
    std::vector<RecordedBox> boxes;
    int closed = 0;
};

const wchar_t kSuccess[] = L"The form was downloaded successfully. You can register it now";
const wchar_t kFailure[] = L"Failed on updating new form";

} // namespace

TEST(FormDownloadRules, UpdatesAddressMatchesItsStartWithoutCase)
{
    struct Row
    {
        const wchar_t* address;
        const wchar_t* updates;
        bool under;
    } rows[] = {
        {L"http://forms.example/updates/a.pdf", L"http://forms.example/updates/", true},
        {L"HTTP://Forms.Example/Updates/a.pdf", L"http://forms.example/updates/", true},
        {L"http://forms.example/other/a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example/updates/a.pdf", L"", false},
        {L"http://forms.example/a.pdf", L"http://forms.example", true},
        {L"http://forms.example:8080/a.pdf", L"http://forms.example", false},
        {L"http://forms.example:80/a.pdf", L"http://forms.example", true},
        {L"http://forms.example/a.pdf", L"http://forms.example:80/", true},
        {L"http://forms.example", L"http://forms.example", true},
        {L"http://forms.example.other.net/a.pdf", L"http://forms.example", false},
        {L"http://forms.exampleother/a.pdf", L"http://forms.example", false},
        {L"https://forms.example/updates/a.pdf", L"http://forms.example/updates/", false},
        {L"https://forms.example/updates/a.pdf", L"https://forms.example/updates/", true},
        // User names and passwords, and hosts hidden behind them.
        {L"http://forms.example:x@evil.example/a.pdf", L"http://forms.example", false},
        {L"http://forms.example@evil.example/a.pdf", L"http://forms.example", false},
        {L"http://user:pw@forms.example/a.pdf", L"http://forms.example", false},
        {L"http://forms.example/a.pdf", L"http://user@forms.example/", false},
        // Whole segments of the path.
        {L"http://forms.example/updatesX/a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example/updates/a.pdf", L"http://forms.example/updates/", true},
        {L"http://forms.example/updates", L"http://forms.example/updates/", true},
        {L"http://forms.example/updates?x=1", L"http://forms.example/updates/", true},
        {L"http://forms.example/updates/sub/a.pdf?x=/other", L"http://forms.example/updates/", true},
        {L"http://forms.example/up", L"http://forms.example/updates/", false},
        {L"http://forms.example/?/updates/a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example#/updates/a.pdf", L"http://forms.example/updates/", false},
        // An updates address that names a page stands for the page's folder, as the page's own
        // relative links do.
        {L"http://forms.example/forms/claim.pdf", L"http://forms.example/forms/updates.htm", true},
        {L"http://forms.example/forms/updates.htm", L"http://forms.example/forms/updates.htm", true},
        {L"http://forms.example/forms/v2/claim.pdf", L"http://forms.example/forms/updates.htm", true},
        {L"http://forms.example/FORMS/claim.pdf", L"http://forms.example/forms/updates.htm?x=/a/b", true},
        {L"http://forms.example/forms", L"http://forms.example/forms/updates.htm", true},
        {L"http://forms.example/formsX/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example/other/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example/forms/../claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example:8080/forms/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example.other.net/forms/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://user@forms.example/forms/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"https://forms.example/forms/claim.pdf", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example/a.pdf", L"http://forms.example/updates", true}, // the page "updates" of "/"
        // Steps out of the folder, plain, escaped or with a backslash.
        {L"http://forms.example/updates/../other/a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example/updates/%2E%2e/other/a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example/updates/./a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example/updates/..%5Cother/a.pdf", L"http://forms.example/updates/", false},
        {L"http://forms.example\\evil.example/a.pdf", L"http://forms.example", false},
        {L"http://forms.example/updates%2F..%2Fother/a.pdf", L"http://forms.example/updates", false},
        // Broken ports and hosts.
        {L"http://forms.example:0/a.pdf", L"http://forms.example:0/", false},
        {L"http://forms.example:65536/a.pdf", L"http://forms.example:65536/", false},
        {L"http://:80/a.pdf", L"http://:80/", false},
        {L"http://[::1]:8080/updates/a.pdf", L"http://[::1]:8080/updates/", true},
        {L"http://[::1]/updates/a.pdf", L"http://[::1]:8080/updates/", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.under, IsUnderUpdatesAddress(row.address, row.updates)) << row.address << L" / " << row.updates;
    EXPECT_TRUE(IsWebAddress(L"HTTPS://x/"));
    EXPECT_TRUE(IsWebAddress(L"http://x/"));
    EXPECT_FALSE(IsWebAddress(L"file:///C:/x.pdf"));
    EXPECT_FALSE(IsWebAddress(L"ftp://x/a.pdf"));
}

// Pages shown from the updates page: the updates address as the address's start, by whole segments.
TEST(FormDownloadRules, PagesAreShownOnlyWithinTheUpdatesAddress)
{
    struct Row
    {
        const wchar_t* address;
        const wchar_t* updates;
        bool shown;
    } rows[] = {
        {L"http://forms.example/updates", L"http://forms.example/updates", true},
        {L"HTTP://Forms.Example/UPDATES/list.htm", L"http://forms.example/updates", true},
        {L"http://forms.example/updates/", L"http://forms.example/updates", true},
        {L"http://forms.example/updates?page=2", L"http://forms.example/updates", true},
        {L"http://forms.example/updates#new", L"http://forms.example/updates", true},
        {L"http://forms.example/updates/sub/a.htm", L"http://forms.example/updates/", true},
        {L"http://forms.example/updatesX", L"http://forms.example/updates", false},
        {L"http://forms.example/updates.htm", L"http://forms.example/updates", false},
        {L"http://forms.example/updat", L"http://forms.example/updates", false},
        // The folder rule of downloads would take these: the host's other pages, the page's siblings.
        {L"http://forms.example/", L"http://forms.example/updates", false},
        {L"http://forms.example/other.htm", L"http://forms.example/updates", false},
        {L"http://forms.example/forms/list.htm", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example/forms/", L"http://forms.example/forms/updates.htm", false},
        {L"http://forms.example/forms/updates.htm", L"http://forms.example/forms/updates.htm", true},
        {L"http://forms.example/forms/updates.htm?x=1", L"http://forms.example/forms/updates.htm", true},
        // Hosts and ports that only begin like the updates address's.
        {L"http://forms.example.other.net/", L"http://forms.example", false},
        {L"http://forms.example:8080/", L"http://forms.example", false},
        {L"http://forms.example/a.htm", L"http://forms.example", true},
        {L"http://forms.example/a.htm", L"http://forms.example/", true},
        // User names that make the updates address a user name, and steps back out of it.
        {L"http://forms.example@evil.example/", L"http://forms.example", false},
        {L"http://forms.example/updates/@evil", L"http://forms.example/updates", true}, // "@" in a path is a path
        {L"http://forms.example/updates/../admin", L"http://forms.example/updates", false},
        {L"http://forms.example/updates/%2E%2e/admin", L"http://forms.example/updates", false},
        {L"http://forms.example/updates/./list.htm", L"http://forms.example/updates", false},
        {L"http://forms.example/updates/..%5Cadmin", L"http://forms.example/updates", false},
        {L"https://forms.example/updates", L"http://forms.example/updates", false},
        {L"http://forms.example/updates", L"", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.shown, BeginsWithUpdatesAddress(row.address, row.updates)) << row.address << L" / " << row.updates;
}

TEST(FormDownloadRules, FileNamesAreCleanedOrRefused)
{
    struct Row
    {
        const wchar_t* address;
        const wchar_t* name; // empty: refused
    } rows[] = {
        {L"http://h/updates/claim.pdf", L"claim.pdf"},
        {L"http://h/updates/claim%20v2.pdf", L"claim v2.pdf"},
        {L"http://h/updates/claim%202027.pdf", L"claim 2027.pdf"},
        {L"http://h/updates/M%C3%BCller%2Bco.pdf", L"M\u00fcller+co.pdf"},
        {L"http://h/updates/M%FCller.pdf", L"M\u00fcller.pdf"}, // no UTF-8: the ANSI code page
        {L"http://h/updates/100%.pdf", L"100%.pdf"},
        {L"http://h/updates/a+b.pdf", L"a+b.pdf"},
        {L"http://h/updates/..%2Fevil.pdf", L""},
        {L"http://h/updates/sub%2Fevil.pdf", L""},
        {L"http://h/updates/sub%5Cevil.pdf", L""},
        {L"http://h/updates/claim%00.exe.pdf", L""},
        {L"http://h/updates/c%3Aevil.pdf", L""},
        {L"http://h/updates/%2e%2e.pdf", L""},
        {L"http://h/updates/claim.pdf%20", L""},
        {L"http://h/updates/claim.", L""},
        {L"http://h/updates/claim%2E", L""},
        {L"http://h/get?name=claim.pdf", L"get.pdf"},
        {L"http://h/updates/claim.pdf#page=2.pdf", L"claim.pdf"},
        {L"http://h/updates/..\\evil.pdf", L""},
        {L"http://h/updates/..pdf", L""},
        {L"http://h/updates/a..b.pdf", L""},
        {L"http://h/updates/c:evil.pdf", L""},
        {L"http://h/updates/sub\\evil.pdf", L""},
        {L"http://h/updates/.pdf", L""},
        {L"http://h/updates/?x.pdf", L""},
        {L"http://h/updates/con.pdf", L""},
        {L"http://h/updates/NUL.pdf", L""},
        {L"http://h/updates/aux.backup.pdf", L""},
        {L"http://h/updates/com1.pdf", L""},
        {L"http://h/updates/LPT9.pdf", L""},
        {L"http://h/updates/com0.pdf", L""},
        {L"http://h/updates/CON%20.pdf", L""},
        {L"http://h/updates/CON .pdf", L""},
        {L"http://h/updates/AUX .pdf", L""},
        {L"http://h/updates/nul  .backup.pdf", L""},
        {L"http://h/updates/CONIN$.pdf", L""},
        {L"http://h/updates/conout$.pdf", L""},
        {L"http://h/updates/COM\u00b9.pdf", L""},
        {L"http://h/updates/lpt%C2%B2.pdf", L""},
        {L"http://h/updates/LPT\u00b3.pdf", L""},
        {L"http://h/updates/com10.pdf", L"com10.pdf"},
        {L"http://h/updates/COM\u2074.pdf", L"COM\u2074.pdf"},
        {L"http://h/updates/conin.pdf", L"conin.pdf"},
        {L"http://h/updates/my con.pdf", L"my con.pdf"},
        {L"http://h/updates/console.pdf", L"console.pdf"},
        {L"http://h/updates/a*b.pdf", L""},
        {L"http://h/updates/a\"b.pdf", L""},
    };
    for (const Row& row : rows) EXPECT_EQ(std::wstring(row.name), CleanDownloadName(row.address)) << row.address;

    // At most 100 characters, ".pdf" kept.
    const std::wstring longName = std::wstring(150, L'x') + L".pdf";
    const std::wstring cleaned = CleanDownloadName(L"http://h/" + longName);
    EXPECT_EQ(std::wstring(96, L'x') + L".pdf", cleaned);
    EXPECT_EQ(std::wstring(96, L'y') + L".pdf", CleanDownloadName(L"http://h/" + std::wstring(96, L'y') + L".pdf"));
}

TEST(FormDownloadRules, RedirectsResolveAndStayBelowTheUpdatesAddress)
{
    const std::wstring base = L"http://forms.example/updates/claim.pdf?v=1";
    struct Row
    {
        const wchar_t* location;
        const wchar_t* resolved;
    } rows[] = {
        {L"https://mirror.example/a.pdf", L"https://mirror.example/a.pdf"},
        {L"//forms.example/updates/b.pdf", L"http://forms.example/updates/b.pdf"},
        {L"/updates/v2/c.pdf?x=1#p", L"http://forms.example/updates/v2/c.pdf?x=1#p"},
        {L"/updates/../other/c.pdf", L"http://forms.example/other/c.pdf"},
        {L"v2/d.pdf", L"http://forms.example/updates/v2/d.pdf"},
        {L"../e.pdf", L"http://forms.example/e.pdf"},
        {L"./f.pdf", L"http://forms.example/updates/f.pdf"},
        {L"?v=2", L"http://forms.example/updates/claim.pdf?v=2"},
        {L"a:b/c.pdf", L"a:b/c.pdf"},
        {L"", L""},
    };
    for (const Row& row : rows) EXPECT_EQ(std::wstring(row.resolved), ResolveRedirect(base, row.location)) << row.location;
    EXPECT_EQ(L"http://h:81/x.pdf", ResolveRedirect(L"http://h:81", L"x.pdf"));

    // The same test as links, plus the move of an http site to https on the standard ports.
    const std::wstring updates = L"http://forms.example/updates/";
    EXPECT_TRUE(IsAcceptedRedirect(L"http://forms.example/updates/v2/a.pdf", updates));
    EXPECT_TRUE(IsAcceptedRedirect(L"https://forms.example/updates/a.pdf", updates));
    EXPECT_TRUE(IsAcceptedRedirect(L"https://FORMS.example:443/updates/a.pdf", updates));
    EXPECT_FALSE(IsAcceptedRedirect(L"https://forms.example:8443/updates/a.pdf", updates));
    EXPECT_FALSE(IsAcceptedRedirect(L"https://forms.example/other/a.pdf", updates));
    EXPECT_FALSE(IsAcceptedRedirect(L"https://x@forms.example/updates/a.pdf", updates));
    EXPECT_FALSE(IsAcceptedRedirect(L"https://mirror.example/updates/a.pdf", updates));
    EXPECT_FALSE(IsAcceptedRedirect(L"http://forms.example/updates/a.pdf", L"https://forms.example/updates/"));
    EXPECT_FALSE(IsAcceptedRedirect(L"https://forms.example:8080/updates/a.pdf", L"http://forms.example:8080/updates/"));
    EXPECT_FALSE(IsAcceptedRedirect(L"ftp://forms.example/updates/a.pdf", updates));
    // An updates page: its folder is the measure, for the move to https too.
    const std::wstring page = L"http://forms.example/forms/updates.htm";
    EXPECT_TRUE(IsAcceptedRedirect(L"http://forms.example/forms/v2/claim.pdf", page));
    EXPECT_TRUE(IsAcceptedRedirect(L"https://forms.example/forms/claim.pdf", page));
    EXPECT_FALSE(IsAcceptedRedirect(L"https://forms.example/formsX/claim.pdf", page));
    EXPECT_FALSE(IsAcceptedRedirect(L"http://forms.example/updates.htm", page));
}

TEST(FormDownloadRules, TakenNamesCountUpFromThePlainName)
{
    TempFolder store;
    EXPECT_EQ(store.File(L"a.pdf"), FreeDownloadPath(store.Path(), L"a.pdf"));
    ASSERT_TRUE(WriteWholeFile(store.File(L"a.pdf"), "1"));
    EXPECT_EQ(store.File(L"a_1.pdf"), FreeDownloadPath(store.Path(), L"a.pdf"));
    ASSERT_TRUE(WriteWholeFile(store.File(L"a_1.pdf"), "2"));
    ASSERT_TRUE(::CreateDirectoryW(store.File(L"a_2.pdf").c_str(), nullptr)); // a folder takes a name too
    EXPECT_EQ(store.File(L"a_3.pdf"), FreeDownloadPath(store.Path(), L"a.pdf"));
    // Without its final backslash the folder gets one.
    const std::wstring bare = store.Path().substr(0, store.Path().size() - 1);
    EXPECT_EQ(store.File(L"a_3.pdf"), FreeDownloadPath(bare, L"a.pdf"));
}

TEST_F(FormDownloadTest, TheSiteServesWhatTheTestsExpect)
{
    // The site itself, fetched without the code under test.
    std::string body;
    EXPECT_EQ(200u, UpdateServer::Fetch(server.Address(L"/updates/new-claim.pdf"), body));
    EXPECT_TRUE(body == form);
    EXPECT_EQ(404u, UpdateServer::Fetch(server.Address(L"/updates/missing.pdf"), body));
    EXPECT_EQ(500u, UpdateServer::Fetch(server.Address(L"/updates/broken.pdf"), body));
    EXPECT_EQ(302u, UpdateServer::Fetch(server.Address(L"/updates/moved.pdf"), body));
}

TEST_F(FormDownloadTest, LinksOfTheUpdatesPageAreSavedIntoTheStore)
{
    ShowUpdatesPage(server.Address(L"/updates/"));
    HWND list = ::GetDlgItem(m_ctrl.m_hWnd, viewer::LinkList::kLinkListId);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(6, ::SendMessageW(list, LB_GETCOUNT, 0, 0)); // address, hint, four links

    // A real double-click on the first link.
    RECT item;
    ::SendMessageW(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 5, item.top + 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    PumpPendingMessages();
    std::vector<std::wstring> expected = {L"new-claim.pdf"};
    EXPECT_EQ(expected, FilesIn(store.Path()));
    EXPECT_TRUE(ReadWholeFile(store.File(L"new-claim.pdf")) == form);
    EXPECT_EQ(1, closed);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kSuccess, boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);
    // The page stays: the link was downloaded, not shown.
    EXPECT_EQ(CString(server.Address(L"/updates/").c_str()), m_ctrl.GetLocationURL());

    // The same name again: the plain name stays and "_1" comes before ".pdf".
    Follow(server.Address(L"/updates/new-claim.pdf"));
    expected = {L"new-claim.pdf", L"new-claim_1.pdf"};
    EXPECT_EQ(expected, FilesIn(store.Path()));
    EXPECT_TRUE(ReadWholeFile(store.File(L"new-claim_1.pdf")) == form);
    EXPECT_EQ(2, closed);
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(kSuccess, boxes[1].text);
}

TEST_F(FormDownloadTest, FailedDownloadsLeaveNothingInTheStore)
{
    ShowUpdatesPage(server.Address(L"/updates/"));
    const wchar_t* failing[] = {L"/updates/missing.pdf", L"/updates/cut.pdf", L"/updates/broken.pdf"};
    for (const wchar_t* path : failing) ExpectFailedDownload(path);
    // No site at all.
    boxes.clear();
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), L"http://127.0.0.1:1/");
    Follow(L"http://127.0.0.1:1/new-claim.pdf");
    EXPECT_TRUE(FilesIn(store.Path()).empty());
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(kFailure, boxes[0].text);
}

TEST_F(FormDownloadTest, RedirectsBelowTheUpdatesAddressAreFollowed)
{
    ShowUpdatesPage(server.Address(L"/updates/"));
    // Each saved under the name of the link followed.
    const wchar_t* followed[] = {L"/updates/moved.pdf", L"/updates/relative.pdf", L"/updates/absolute.pdf",
                                 L"/updates/chain.pdf", L"/updates/hops/5.pdf"};
    std::vector<std::wstring> expected;
    for (const wchar_t* path : followed) {
        boxes.clear();
        Follow(server.Address(path));
        const std::wstring name = std::wstring(path).substr(std::wstring(path).find_last_of(L'/') + 1);
        expected.push_back(name);
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, FilesIn(store.Path())) << path;
        EXPECT_TRUE(ReadWholeFile(store.File(name)) == form) << path;
        ASSERT_EQ(1u, boxes.size()) << path;
        EXPECT_EQ(kSuccess, boxes[0].text) << path;
    }
    EXPECT_EQ(5, closed);
}

TEST_F(FormDownloadTest, RedirectsThatLeaveTheUpdatesAddressFailAndLeaveNothing)
{
    // The targets outside exist: the site serves the form there, so only the test stops them.
    std::string body;
    ASSERT_EQ(200u, UpdateServer::Fetch(server.Address(L"/other/new-claim.pdf"), body));
    ASSERT_EQ(200u, UpdateServer::Fetch(server.Address(L"/updatesX/new-claim.pdf"), body));
    ASSERT_EQ(200u, UpdateServer::Fetch(server.Address(L"/updates/%2e%2e/other/new-claim.pdf"), body));
    ASSERT_EQ(302u, UpdateServer::Fetch(server.Address(L"/updates/credentials.pdf"), body));

    ShowUpdatesPage(server.Address(L"/updates/"));
    const wchar_t* refused[] = {L"/updates/away.pdf",        L"/updates/dots.pdf",   L"/updates/escaped-dots.pdf",
                                L"/updates/credentials.pdf", L"/updates/prefix.pdf", L"/updates/loop.pdf",
                                L"/updates/nowhere.pdf",     L"/updates/hops/6.pdf"};
    for (const wchar_t* path : refused) ExpectFailedDownload(path);
    // With the whole site as the updates address the same redirect is followed.
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/").c_str());
    Follow(server.Address(L"/updates/away.pdf"));
    EXPECT_EQ(std::vector<std::wstring>{L"away.pdf"}, FilesIn(store.Path()));
}

TEST_F(FormDownloadTest, AddressesOutsideTheUpdatesAddressAreNotDownloaded)
{
    ShowUpdatesPage(server.Address(L"/updates/"));
    // The same form, served elsewhere on the host; a file: address; an https address elsewhere.
    Follow(server.Address(L"/other/new-claim.pdf"));
    Follow(L"file:///C:/windows/new-claim.pdf");
    Follow(L"https://127.0.0.1:1/new-claim.pdf");
    EXPECT_TRUE(FilesIn(store.Path()).empty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0, closed);
    EXPECT_EQ(CString(server.Address(L"/updates/").c_str()), m_ctrl.GetLocationURL());
    // The same link is downloaded once it lies below the updates address (the refusal was not vacuous).
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/").c_str());
    Follow(server.Address(L"/other/new-claim.pdf"));
    std::vector<std::wstring> expected = {L"new-claim.pdf"};
    EXPECT_EQ(expected, FilesIn(store.Path()));
}

TEST_F(FormDownloadTest, AnUpdatesPageServesTheFormsOfItsFolder)
{
    const std::wstring page = server.Address(L"/updates/updates.htm");
    ShowUpdatesPage(page);
    HWND list = ::GetDlgItem(m_ctrl.m_hWnd, viewer::LinkList::kLinkListId);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(6, ::SendMessageW(list, LB_GETCOUNT, 0, 0)) << "the updates page was not shown";

    // The page's own link and redirects that stay in its folder.
    std::vector<std::wstring> expected;
    for (const wchar_t* path : {L"/updates/new-claim.pdf", L"/updates/moved.pdf", L"/updates/relative.pdf"}) {
        boxes.clear();
        Follow(server.Address(path));
        expected.push_back(std::wstring(path).substr(9));
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, FilesIn(store.Path())) << path;
        EXPECT_TRUE(ReadWholeFile(store.File(expected.back())) == form) << path;
        ASSERT_EQ(1u, boxes.size()) << path;
        EXPECT_EQ(kSuccess, boxes[0].text) << path;
    }
    for (const std::wstring& name : expected) ASSERT_TRUE(::DeleteFileW(store.File(name).c_str()));

    // Redirects that leave the folder fail as they do for the folder's own address.
    for (const wchar_t* path : {L"/updates/prefix.pdf", L"/updates/away.pdf", L"/updates/credentials.pdf"})
        ExpectFailedDownload(path);

    // Outside the folder, on another host name or port of the same site, or with a user name: refused
    // before anything is fetched, although the site serves the form there.
    const std::wstring port = std::to_wstring(server.Port());
    boxes.clear();
    const int closedBefore = closed;
    const std::vector<std::wstring> outside = {
        server.Address(L"/updatesX/new-claim.pdf"), server.Address(L"/other/new-claim.pdf"),
        server.Address(L"/new-claim.pdf"), L"http://localhost:" + port + L"/updates/new-claim.pdf",
        L"http://127.0.0.1:1/updates/new-claim.pdf", L"http://user@127.0.0.1:" + port + L"/updates/new-claim.pdf"};
    for (const std::wstring& address : outside) {
        Follow(address);
        EXPECT_TRUE(FilesIn(store.Path()).empty()) << address;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(closedBefore, closed);
    EXPECT_EQ(CString(page.c_str()), m_ctrl.GetLocationURL());
    std::string body;
    EXPECT_EQ(200u, UpdateServer::Fetch(L"http://localhost:" + port + L"/updatesX/new-claim.pdf", body));
}

TEST_F(FormDownloadTest, UnsafeNamesAreRefusedWithAMessage)
{
    ShowUpdatesPage(server.Address(L"/updates/"));
    for (const wchar_t* path : {L"/updates/a..new-claim.pdf", L"/updates/c:new-claim.pdf", L"/updates/con.pdf",
                                L"/updates/CON%20.pdf", L"/updates/claim%2Fnew-claim.pdf", L"/updates/.pdf"}) {
        boxes.clear();
        Follow(server.Address(path));
        EXPECT_TRUE(FilesIn(store.Path()).empty()) << path;
        EXPECT_TRUE(FilesIn(program.Path()).empty()) << path;
        ASSERT_EQ(1u, boxes.size()) << path;
        EXPECT_NE(std::wstring(kSuccess), boxes[0].text) << path;
        EXPECT_NE(std::wstring(kFailure), boxes[0].text) << path;
    }
    EXPECT_EQ(0, closed); // the dialog stays for another link
    // A backslash or a ".." step in the address puts it outside the updates address: nothing is fetched.
    boxes.clear();
    for (const wchar_t* path : {L"/updates/..\\new-claim.pdf", L"/updates/%2e%2e/new-claim.pdf",
                                L"/updates/claim%2F..%2Fnew-claim.pdf"}) {
        Follow(server.Address(path));
        EXPECT_TRUE(FilesIn(store.Path()).empty()) << path;
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(0, closed);
}

TEST_F(FormDownloadTest, WebPagesAreShownOnlyBelowTheUpdatesAddress)
{
    // An empty updates address lets no web page through, not even the updates page.
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), L"");
    m_ctrl.Navigate2(L"file:///C:/Formstead/container.htm");
    m_ctrl.Navigate2(server.Address(L"/updates/").c_str());
    EXPECT_EQ(CString(L"file:///C:/Formstead/container.htm"), m_ctrl.GetLocationURL());
    m_ctrl.Navigate2(L"HTTPS://127.0.0.1:1/updates/");
    EXPECT_EQ(CString(L"file:///C:/Formstead/container.htm"), m_ctrl.GetLocationURL());

    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/updates/").c_str());
    m_ctrl.Navigate2(server.Address(L"/other/").c_str());
    EXPECT_EQ(CString(L"file:///C:/Formstead/container.htm"), m_ctrl.GetLocationURL());
    m_ctrl.Navigate2(server.Address(L"/UPDATES/").c_str());
    EXPECT_EQ(CString(server.Address(L"/UPDATES/").c_str()), m_ctrl.GetLocationURL());
    // An updates address without a final "/" admits neither its host's other pages nor "updatesX".
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/updates").c_str());
    for (const wchar_t* path : {L"/other/", L"/updatesX/", L"/"}) {
        m_ctrl.Navigate2(server.Address(path).c_str());
        EXPECT_EQ(CString(server.Address(L"/UPDATES/").c_str()), m_ctrl.GetLocationURL()) << path;
    }
    // An updates page admits itself, not the other pages of its folder.
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/updates/updates.htm").c_str());
    m_ctrl.Navigate2(server.Address(L"/updates/updates.htm").c_str());
    EXPECT_EQ(CString(server.Address(L"/updates/updates.htm").c_str()), m_ctrl.GetLocationURL());
    m_ctrl.Navigate2(server.Address(L"/updates/").c_str());
    EXPECT_EQ(CString(server.Address(L"/updates/updates.htm").c_str()), m_ctrl.GetLocationURL());
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/updates/").c_str());
    // Without download mode a ".pdf" below the updates address is only a navigation.
    m_ctrl.Navigate2(server.Address(L"/updates/new-claim.pdf").c_str());
    EXPECT_EQ(CString(server.Address(L"/updates/new-claim.pdf").c_str()), m_ctrl.GetLocationURL());
    EXPECT_TRUE(FilesIn(store.Path()).empty());
}
