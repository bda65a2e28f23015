// "app:" commands: the word table and its case rules against a recording target, the id and text
// decoding, and the rule that only the program's own documents may run commands.
#include "BridgeTestWindow.h"
#include "UpdateServer.h"
#include "bridge/AppCommand.h"
#include "bridge/AppCommandTarget.h"
#include "framework/Seams.h"
#include "tests/support/TempFolder.h"
#include "viewer/FormWindow.h"
#include "viewer/LinkPage.h"

#include <string>
#include <vector>

namespace {

// Writes each call as a word into one log, so a row's expectation is one literal text.
class RecordingTarget : public AppCommandTarget
{
public:
    bool DeleteRecord(int id) override
    {
        log += L"delete(" + std::to_wstring(id) + L") ";
        return deleteSucceeds;
    }
    void BuildAndSendCollections() override { log += L"send "; }
    void LoadStatementPdf() override { log += L"load "; }
    void ShowStatementView(bool statement) override { log += statement ? L"statementView " : L"listView "; }
    bool SaveCollectionsXml(const CString& text) override
    {
        saved.push_back(text.GetString());
        log += L"save ";
        return saveSucceeds;
    }
    void RunStatementHeader() override { log += L"header "; }

    std::wstring log;
    std::vector<std::wstring> saved;
    bool deleteSucceeds = true;
    bool saveSucceeds = true;
};

struct RecordedBox
{
    std::wstring text, caption;
};

class AppCommandTest : public BridgeTest
{
protected:
    void SetUp() override
    {
        BridgeTest::SetUp();
        AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
            boxes.push_back({text.GetString(), caption.GetString()});
            return IDOK;
        });
        ASSERT_TRUE(::CopyFileW(Sample(L"cms1500.pdf").c_str(), store.File(L"claim.pdf").c_str(), FALSE));
    }
    void TearDown() override
    {
        AfxSetMessageBoxSink(nullptr);
        BridgeTest::TearDown();
    }

    // The control with the store's form in the container page, commands going to the target.
    void ShowStoreForm()
    {
        OpenContainer();
        m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), L"");
        m_ctrl.SetAppCommandTarget(&target);
        LoadPdfIntoPage(m_ctrl, store.File(L"claim.pdf").c_str());
        PumpPendingMessages();
        ASSERT_NE(nullptr, m_ctrl.GetFormWindow());
    }

    // A navigation made by the page, as a link of the form makes it.
    void PageNavigates(const std::wstring& address)
    {
        viewer::NavigateFromPageForTest(m_ctrl.m_hWnd, address);
        PumpPendingMessages();
    }

    TempFolder program;
    TempFolder store;
    RecordingTarget target;
    std::vector<RecordedBox> boxes;
};

} // namespace

TEST(AppCommandText, WordsMatchTheStartOfTheTextWithCase)
{
    struct Row
    {
        const wchar_t* text;
        AppCommandWord word;
    } rows[] = {
        {L"deleteRecord?42", AppCommandWord::DeleteRecord}, {L"DeleteRecord?42", AppCommandWord::None},
        {L"viewStatement?3", AppCommandWord::ViewStatement}, {L"toStatements", AppCommandWord::ToStatements},
        {L"saveChanges", AppCommandWord::SaveChanges},       {L"toSetHeader", AppCommandWord::ToSetHeader},
        {L"toSetAddr?7", AppCommandWord::ToSetAddr},         {L"tosetaddr?7", AppCommandWord::None},
        {L"deleteRecordsAll", AppCommandWord::DeleteRecord}, {L"delete", AppCommandWord::None},
        {L"", AppCommandWord::None},                         {L" deleteRecord?1", AppCommandWord::None},
    };
    for (const Row& row : rows) EXPECT_EQ(row.word, FindAppCommandWord(row.text)) << row.text;
}

TEST(AppCommandText, OnlyAWholeDecimalNumberAfterTheQuestionMarkIsAnId)
{
    struct Row
    {
        const wchar_t* text;
        bool valid;
        int id;
    } rows[] = {
        {L"deleteRecord?42", true, 42},       {L"deleteRecord?0", true, 0},
        {L"deleteRecord?2147483647", true, 2147483647},
        {L"deleteRecord?2147483648", false, 0}, {L"deleteRecord?99999999999999999999", false, 0},
        {L"deleteRecord?", false, 0},         {L"deleteRecord", true, 0},
        {L"toSetAddr", true, 0},
        {L"deleteRecord?-4", false, 0},       {L"deleteRecord?+4", false, 0},
        {L"deleteRecord?4a", false, 0},       {L"deleteRecord? 4", false, 0},
        {L"deleteRecord?4?5", false, 0},      {L"?42", false, 0},
        {L"deleteRecord?0x10", false, 0},
    };
    for (const Row& row : rows) {
        int id = -77;
        EXPECT_EQ(row.valid, ParseAppCommandId(row.text, id)) << row.text;
        EXPECT_EQ(row.valid ? row.id : -77, id) << row.text;
    }
}

TEST(AppCommandText, UrlDecodeKeepsIncompleteEscapesAndNeverCuts)
{
    EXPECT_EQ(CString(L"a b<c>"), UrlDecode(L"a+b%3Cc%3e"));
    EXPECT_EQ(CString(L"100%"), UrlDecode(L"100%"));
    EXPECT_EQ(CString(L"5%4"), UrlDecode(L"5%4"));
    EXPECT_EQ(CString(L"%zz%4g!"), UrlDecode(L"%zz%4g%21"));
    EXPECT_EQ(CString(L"%%"), UrlDecode(L"%%"));
    const CString withZero = UrlDecode(L"before%00after");
    EXPECT_EQ(14, withZero.GetLength());
    EXPECT_EQ(CString(L"before%00after"), withZero);
    EXPECT_EQ(CString(L"\xE9"), UrlDecode(L"%E9"));
    EXPECT_EQ(CString(L"<r>\n<a>x y</a>\n</r>"), DecodeSavedChanges(L"%3Cr%3E[SYS__CR__]%3Ca%3Ex+y%3C%2Fa%3E[SYS__CR__]%3C/r%3E"));
}

TEST_F(AppCommandTest, WordTableAndCaseRules)
{
    ShowStoreForm();
    struct Row
    {
        const wchar_t* address;
        const wchar_t* calls;
    } rows[] = {
        {L"app:deleteRecord?42", L"delete(42) send "},
        {L"APP:deleteRecord?42", L"delete(42) send "},
        {L"aPp:deleteRecord?9", L"delete(9) send "},
        {L"app:DeleteRecord?42", L""},
        {L"app:deleteRecord", L"delete(0) send "},
        {L"app:deleteRecord?-1", L""},
        {L"app:deleteRecord?1x", L""},
        {L"app:deleteRecord?4294967338", L""},
        {L"app:toSetAddr?7", L"load send "},
        {L"app:viewStatement?5", L"statementView load send "},
        {L"app:viewStatement?", L""},
        {L"app:viewStatement", L"statementView load send "},
        {L"app:toStatements", L"listView load send "},
        {L"app:toSetHeader", L"header "},
        {L"app:unknownWord?3", L""},
        {L"app:", L""},
    };
    for (const Row& row : rows) {
        target.log.clear();
        PageNavigates(row.address);
        EXPECT_EQ(row.calls, target.log) << row.address;
    }
    EXPECT_TRUE(boxes.empty());
    // Every "app:" navigation was stopped: the page is still the container.
    EXPECT_TRUE(viewer::StartsWithNoCase(m_ctrl.GetLocationURL().GetString(), L"file:///"));
    EXPECT_NE(nullptr, m_ctrl.GetFormWindow());
}

TEST_F(AppCommandTest, StatementCommandsSetTheControlsStatementFields)
{
    ShowStoreForm();
    PageNavigates(L"app:viewStatement?12");
    EXPECT_TRUE(m_ctrl.m_bStatementRequested);
    EXPECT_EQ(12, m_ctrl.m_nStatementId);
    PageNavigates(L"app:toStatements");
    EXPECT_TRUE(m_ctrl.m_bStatementRequested);
    EXPECT_EQ(-1, m_ctrl.m_nStatementId);
    // A command word alone stands for record 0.
    PageNavigates(L"app:viewStatement");
    EXPECT_TRUE(m_ctrl.m_bStatementRequested);
    EXPECT_EQ(0, m_ctrl.m_nStatementId);
    PageNavigates(L"app:toStatements");
    m_ctrl.m_bStatementRequested = false;
    PageNavigates(L"app:viewStatement?abc");
    EXPECT_FALSE(m_ctrl.m_bStatementRequested);
    EXPECT_EQ(-1, m_ctrl.m_nStatementId);
}

TEST_F(AppCommandTest, FailedDeleteAndSaveAreReported)
{
    ShowStoreForm();
    target.deleteSucceeds = false;
    PageNavigates(L"app:deleteRecord?3");
    EXPECT_EQ(L"delete(3) send ", target.log);
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Can not delete record", boxes[0].text);
    EXPECT_EQ(L"Formstead", boxes[0].caption);

    target.log.clear();
    target.saveSucceeds = false;
    m_ctrl.SetInputValue(L"MsgRsp4", L"x");
    m_ctrl.Navigate2(L"app:saveChanges");
    EXPECT_EQ(L"save ", target.log); // nothing is resent after a failed save
    ASSERT_EQ(2u, boxes.size());
    EXPECT_EQ(L"Saving is failed", boxes[1].text);
    EXPECT_EQ(L"Collections", boxes[1].caption);
}

TEST_F(AppCommandTest, SaveChangesReadsTheFourthReplyWholeAndDecoded)
{
    ShowStoreForm();
    // Far beyond any fixed buffer: 40000 escaped characters, a line break marker and a "%00".
    std::wstring encoded, expected;
    for (int i = 0; i < 40000; ++i) {
        encoded += i % 2 ? L"%41" : L"+";
        expected += i % 2 ? L"A" : L" ";
    }
    encoded += L"[SYS__CR__]tail%00end%4";
    expected += L"\ntail%00end%4";
    m_ctrl.SetInputValue(L"MsgRsp4", encoded.c_str());
    m_ctrl.Navigate2(L"app:saveChanges");
    EXPECT_EQ(L"save send ", target.log);
    ASSERT_EQ(1u, target.saved.size());
    EXPECT_EQ(expected.size(), target.saved[0].size());
    EXPECT_EQ(expected, target.saved[0]);

    // An empty fourth reply saves an empty text.
    target.saved.clear();
    m_ctrl.SetInputValue(L"MsgRsp4", L"");
    m_ctrl.Navigate2(L"app:saveChanges");
    ASSERT_EQ(1u, target.saved.size());
    EXPECT_EQ(L"", target.saved[0]);
}

TEST_F(AppCommandTest, CompanionPdfsOfTheProgramFolderMayCommand)
{
    ASSERT_TRUE(::CopyFileW(Sample(L"collections.pdf").c_str(), program.File(L"collections.pdf").c_str(), FALSE));
    ASSERT_TRUE(::CopyFileW(Sample(L"cms1500.pdf").c_str(), program.File(L"other.pdf").c_str(), FALSE));
    OpenContainer();
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), L"");
    m_ctrl.SetAppCommandTarget(&target);

    LoadPdfIntoPage(m_ctrl, program.File(L"collections.pdf").c_str());
    PumpPendingMessages();
    PageNavigates(L"app:deleteRecord?8");
    EXPECT_EQ(L"delete(8) send ", target.log);

    // Any other PDF of the program folder is not one of the program's documents.
    target.log.clear();
    LoadPdfIntoPage(m_ctrl, program.File(L"other.pdf").c_str());
    PumpPendingMessages();
    ASSERT_NE(nullptr, m_ctrl.GetFormWindow());
    PageNavigates(L"app:deleteRecord?8");
    EXPECT_EQ(L"", target.log);
}

TEST_F(AppCommandTest, ForeignPdfsAndEmptyPagesCannotCommand)
{
    OpenContainer();
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), L"");
    m_ctrl.SetAppCommandTarget(&target);
    // The container page without a form.
    PageNavigates(L"app:deleteRecord?1");
    EXPECT_EQ(L"", target.log);
    // A completed file from elsewhere (as the import shows one), even reached through "..".
    LoadPdfIntoPage(m_ctrl, Sample(L"cms1500.pdf").c_str());
    PumpPendingMessages();
    ASSERT_NE(nullptr, m_ctrl.GetFormWindow());
    PageNavigates(L"app:deleteRecord?1");
    EXPECT_EQ(L"", target.log);
    TempFolder elsewhere; // beside the store
    ASSERT_TRUE(::CopyFileW(Sample(L"cms1500.pdf").c_str(), elsewhere.File(L"claim.pdf").c_str(), FALSE));
    const std::wstring elsewhereName = elsewhere.Path().substr(elsewhere.Path().rfind(L'\\', elsewhere.Path().size() - 2) + 1);
    const std::wstring sneaky = store.Path() + L"..\\" + elsewhereName + L"claim.pdf";
    LoadPdfIntoPage(m_ctrl, sneaky.c_str());
    PumpPendingMessages();
    ASSERT_NE(nullptr, m_ctrl.GetFormWindow());
    EXPECT_EQ(L"", m_ctrl.GetFormWindow()->Error()); // it is shown: only its place is wrong
    PageNavigates(L"app:deleteRecord?1");
    EXPECT_EQ(L"", target.log);
    // Without its places the control trusts nothing.
    m_ctrl.SetOwnPlaces(L"", L"", L"");
    LoadPdfIntoPage(m_ctrl, store.File(L"claim.pdf").c_str());
    PumpPendingMessages();
    PageNavigates(L"app:deleteRecord?1");
    EXPECT_EQ(L"", target.log);
    // The same form with the store set: the command runs (the checks above were not vacuous).
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), L"");
    PageNavigates(L"app:deleteRecord?1");
    EXPECT_EQ(L"delete(1) send ", target.log);
}

TEST_F(AppCommandTest, LinksOfAnHttpPageDeleteNothing)
{
    UpdateServer server(Sample(L"cms1500.pdf"));
    ASSERT_TRUE(server.Running());
    ASSERT_TRUE(m_ctrl.CreateFromStatic(1022, &m_parent));
    m_ctrl.SetOwnPlaces(program.Path().c_str(), store.Path().c_str(), server.Address(L"/updates/").c_str());
    m_ctrl.SetAppCommandTarget(&target);
    m_ctrl.Navigate2(server.Address(L"/updates/commands.htm").c_str());
    ASSERT_TRUE(WaitForPageLoad(m_ctrl));
    HWND list = ::GetDlgItem(m_ctrl.m_hWnd, viewer::LinkList::kLinkListId);
    ASSERT_NE(nullptr, list);
    ASSERT_EQ(4, ::SendMessageW(list, LB_GETCOUNT, 0, 0)); // address, hint, two links

    // The user double-clicks each link, as on the real page.
    for (int row : {2, 3}) {
        RECT item;
        ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM(item.left + 5, item.top + 2);
        ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(list, WM_LBUTTONUP, 0, at);
        ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        ::SendMessageW(list, WM_LBUTTONUP, 0, at);
        PumpPendingMessages();
    }
    PageNavigates(L"APP:deleteRecord?1");
    EXPECT_EQ(L"", target.log);
    EXPECT_EQ(CString(server.Address(L"/updates/commands.htm").c_str()), m_ctrl.GetLocationURL());
}
