// The browser behind a view, on a real window with real posted messages: navigation events and
// cancelling, the container page's inputs and functions, the form's replies through the queue
// (delayed, missing, failing), page-made navigations, the field controls and the heartbeat.
#include "ViewerWindowTest.h"
#include "tests/support/TempFolder.h"
#include "viewer/ViewerTestControl.h"
#include <gtest/gtest.h>

using viewer::TestControl;

namespace {

class BrowserCoreTest : public ::testing::Test
{
protected:
    void SetUp() override { TestControl().Reset(); }
    void TearDown() override { TestControl().Reset(); }

    // The container page with the claim form loaded and its message handler in place.
    void LoadClaimForm(TestBrowserWindow& w, const std::wstring& docpath = SamplePath(L"cms1500.pdf"))
    {
        ASSERT_TRUE(LoadIntoContainer(w, docpath));
    }
};

} // namespace

TEST_F(BrowserCoreTest, NavigationFiresEventsAndHonoursCancel)
{
    TestBrowserWindow w;
    EXPECT_EQ(nullptr, w.Core().Document()); // nothing shown yet: every page call does nothing
    w.Core().Navigate(L"file:///C:/Program/container.htm");
    ASSERT_EQ(1u, w.navigations.size());
    EXPECT_EQ(L"file:///C:/Program/container.htm", w.navigations[0]);
    ASSERT_NE(nullptr, w.Core().Document());
    EXPECT_TRUE(w.completed.empty()); // DocumentComplete comes through the queue
    PumpPending();
    ASSERT_EQ(1u, w.completed.size());

    w.cancelWhen = [](const std::wstring& a) { return a.compare(0, 4, L"app:") == 0; };
    w.Core().Navigate(L"app:toSetAddr?7");
    PumpPending();
    EXPECT_EQ(L"app:toSetAddr?7", w.navigations.back());
    EXPECT_EQ(L"file:///C:/Program/container.htm", w.Core().LocationURL());
    EXPECT_EQ(1u, w.completed.size());

    w.Core().Navigate(L"about:blank");
    PumpPending();
    EXPECT_EQ(2u, w.completed.size());
    EXPECT_FALSE(w.Call(L"Button2_onclick")); // a page without the container's functions
}

TEST_F(BrowserCoreTest, DocumentCompleteDelayedOrMissing)
{
    TestBrowserWindow w;
    TestControl().documentCompleteDelay = 3;
    w.Core().Navigate(L"file:///C:/container.htm");
    for (int i = 0; i < 3; ++i) {
        PumpOne();
        EXPECT_TRUE(w.completed.empty()) << i;
    }
    PumpOne();
    EXPECT_EQ(1u, w.completed.size());

    TestControl().documentCompleteDelay = 0;
    TestControl().documentCompleteMissing = true;
    w.Core().Navigate(L"file:///C:/container.htm");
    for (int i = 0; i < 10; ++i) PumpOne(); // the heartbeat keeps the pump going
    EXPECT_EQ(1u, w.completed.size());
    ASSERT_NE(nullptr, w.Core().Document());

    TestControl().noDocument = true;
    EXPECT_EQ(nullptr, w.Core().Document());
}

TEST_F(BrowserCoreTest, ContainerInputsAndFunctions)
{
    TestBrowserWindow w;
    w.Core().Navigate(L"file:///C:/Program/CONTAINER.HTM");
    for (const wchar_t* id : {L"MsgRsp1", L"MsgRsp2", L"MsgRsp3", L"MsgRsp4", L"MsgText1", L"MsgText2", L"MsgText3",
                              L"MsgText4", L"docpath"}) {
        w.SetInput(id, std::wstring(L"v-") + id);
        EXPECT_EQ(std::wstring(L"v-") + id, w.Input(id));
    }
    viewer::HtmlDocument* doc = w.Core().Document();
    std::wstring out = L"unchanged";
    EXPECT_FALSE(doc->SetInputValue(L"NoSuchInput", L"x"));
    EXPECT_FALSE(doc->GetInputValue(L"NoSuchInput", out));
    EXPECT_EQ(L"unchanged", out);

    std::wstring big(130000, L'x');
    big[129999] = L'y';
    w.SetInput(L"docpath", big);
    EXPECT_EQ(big, w.Input(L"docpath"));

    // Without a PDF element the click only marks the reply as pending.
    w.Send(L"FieldList");
    EXPECT_EQ(L"--", w.Input(L"MsgRsp1"));
    EXPECT_TRUE(w.Call(L"ClearStat"));
    for (const wchar_t* id : {L"MsgRsp1", L"MsgRsp2", L"MsgRsp3", L"MsgRsp4"}) EXPECT_EQ(L"", w.Input(id));
    EXPECT_EQ(L"FieldList", w.Input(L"MsgText1"));
    EXPECT_TRUE(w.Call(L"SetReply"));
    EXPECT_TRUE(w.Call(L"SetMessageHandler"));
    EXPECT_FALSE(w.Call(L"NoSuchFunction"));
    EXPECT_TRUE(TestControl().commands.empty());
}

TEST_F(BrowserCoreTest, FormAnswersOnlyWhenPumped)
{
    TestBrowserWindow w;
    LoadClaimForm(w);
    ASSERT_NE(nullptr, w.Core().Form());
    EXPECT_EQ(L"", w.Core().Form()->Error());
    w.SetInput(L"MsgRsp4", L"stale");
    w.Send(L"FieldList");
    EXPECT_EQ(L"--", w.Input(L"MsgRsp1"));
    PumpOne();
    std::wstring list = w.Input(L"MsgRsp1");
    EXPECT_EQ(0u, list.find(L"_1_MEDICARE----0-_1_MEDICAREjjjj0j_1_MEDICARE----0-_1_MEDICARE|"));
    EXPECT_EQ(224u, std::count(list.begin(), list.end(), L'|'));
    EXPECT_NE(L'|', list.back());
    EXPECT_EQ(L"CMS-1500", w.Input(L"MsgRsp2"));
    EXPECT_EQ(L"", w.Input(L"MsgRsp4")); // a post overwrites all four replies
    ASSERT_EQ(1u, TestControl().commands.size());
    EXPECT_EQ(L"FieldList", TestControl().commands[0]);
}

TEST_F(BrowserCoreTest, CommandRightAfterLoadIsAnsweredAfterTheHandler)
{
    TestBrowserWindow w;
    w.Core().Navigate(L"file:///C:/Program/container.htm");
    PumpPending();
    std::wstring address = L"file:///" + SamplePath(L"cms1500.pdf");
    w.SetInput(L"docpath", address);
    w.Call(L"DoLoadDoc");
    w.Send(L"WillSave");
    w.SetInput(L"MsgRsp1", L"--");
    w.Send(L"Save");
    PumpPending();
    EXPECT_EQ(0u, w.Input(L"MsgRsp1").find(L"_1_MEDICARE----0-_1_MEDICARE=|"));
    EXPECT_EQ(0u, w.Input(L"MsgRsp3").find(L"<fields><topmostSubform>"));
    std::vector<std::wstring> expected = {L"WillSave", L"Save"};
    EXPECT_EQ(expected, TestControl().commands);
}

TEST_F(BrowserCoreTest, RepliesDelayedByPumpedMessagesOrNeverSent)
{
    TestBrowserWindow w;
    LoadClaimForm(w);
    TestControl().replyDelay = 5;
    w.Send(L"GetTxtDumpCMS1500-1");
    for (int i = 0; i < 5; ++i) {
        PumpOne();
        EXPECT_EQ(L"--", w.Input(L"MsgRsp1")) << i;
    }
    PumpOne();
    EXPECT_NE(L"--", w.Input(L"MsgRsp1"));

    TestControl().replyDelay = 0;
    TestControl().neverReply = true;
    w.Send(L"Save");
    for (int i = 0; i < 20; ++i) PumpOne();
    EXPECT_EQ(L"--", w.Input(L"MsgRsp1"));
    EXPECT_EQ(L"Save", TestControl().commands.back());
}

TEST_F(BrowserCoreTest, ADamagedPdfIsShownAsAnErrorAndAnswersWithIt)
{
    TempFolder folder;
    ASSERT_TRUE(WriteWholeFile(folder.File(L"broken.pdf"), "%PDF-1.4\nthis is not really a PDF\n"));
    TestBrowserWindow w;
    LoadClaimForm(w, folder.File(L"broken.pdf"));
    ASSERT_NE(nullptr, w.Core().Form());
    EXPECT_NE(std::wstring::npos, w.Core().Form()->Error().find(L"broken.pdf"));
    w.Send(L"FieldList");
    PumpPending();
    EXPECT_EQ(w.Core().Form()->Error(), w.Input(L"MsgRsp1"));

    LoadClaimForm(w, folder.File(L"missing.pdf"));
    EXPECT_NE(std::wstring::npos, w.Core().Form()->Error().find(L"cannot be opened"));
}

TEST_F(BrowserCoreTest, PageMadeNavigationsReachTheEventAndCanBeCancelled)
{
    TestBrowserWindow w;
    LoadClaimForm(w);
    w.cancelWhen = [](const std::wstring& a) { return a.compare(0, 4, L"app:") == 0; };
    viewer::NavigateFromPageForTest(w.Hwnd(), L"app:deleteRecord?42");
    EXPECT_EQ(1u, w.navigations.size()); // queued: the page's own code runs on
    PumpPending();
    ASSERT_EQ(2u, w.navigations.size());
    EXPECT_EQ(L"app:deleteRecord?42", w.navigations[1]);
    EXPECT_NE(nullptr, w.Core().Form()); // cancelled: the form stays

    viewer::NavigateFromPageForTest(w.Hwnd(), L"file:///C:/elsewhere/other.htm");
    PumpPending();
    EXPECT_EQ(L"file:///C:/elsewhere/other.htm", w.Core().LocationURL());
    EXPECT_EQ(nullptr, w.Core().Form());
}

TEST_F(BrowserCoreTest, ALinkOfTheFormNavigatesWhenClicked)
{
    TestBrowserWindow w;
    LoadClaimForm(w, SamplePath(L"cms1500.pdf"));
    viewer::FormWindow* form = w.Core().Form();
    ASSERT_NE(nullptr, form);
    ASSERT_FALSE(form->Script().Form().links.empty());
    const pdf::PageLink& link = form->Script().Form().links[0];
    EXPECT_EQ(L"app:toStatements", link.address);
    // The link's middle, in the window, placed by where the 612 x 792-point page is seen drawn.
    PaperOnScreen paper;
    ASSERT_TRUE(FindPaper(form->Hwnd(), paper));
    const double scale = paper.Scale(612);
    int x = static_cast<int>(paper.left + (link.rect[0] + link.rect[2]) / 2 * scale);
    int y = static_cast<int>(paper.top + (792 - (link.rect[1] + link.rect[3]) / 2) * scale);
    w.cancelWhen = [](const std::wstring&) { return true; };
    SendMessageW(form->Hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    PumpPending();
    EXPECT_EQ(L"app:toStatements", w.navigations.back());
}

TEST_F(BrowserCoreTest, FieldControlsFollowTheUserAndFieldSet)
{
    TestBrowserWindow w;
    LoadClaimForm(w);
    viewer::FormWindow* form = w.Core().Form();
    ASSERT_NE(nullptr, form);
    // Field 8 is the patient's name; field 0 the Medicare box.
    HWND name = form->ControlOf(8), medicare = form->ControlOf(0);
    ASSERT_NE(nullptr, name);
    ASSERT_NE(nullptr, medicare);
    SetWindowTextW(name, L"DOE, JANE");
    SendMessageW(medicare, BM_CLICK, 0, 0);
    PumpPending();
    w.Send(L"Save");
    PumpPending();
    std::wstring values = w.Input(L"MsgRsp1");
    EXPECT_NE(std::wstring::npos, values.find(L"|_2_PATIENT_S_NAME_Last_First_Middle_Initial----8-_2_PATIENT_S_NAME_Last_First_Middle_Initial=DOE, JANE|"));
    EXPECT_EQ(0u, values.find(L"_1_MEDICARE----0-_1_MEDICARE=YES|"));
    std::wstring xml = w.Input(L"MsgRsp3");

    w.Send(L"FieldSet|");
    wchar_t text[64] = {};
    GetWindowTextW(name, text, 64);
    EXPECT_STREQ(L"", text);
    EXPECT_EQ(BST_UNCHECKED, SendMessageW(medicare, BM_GETCHECK, 0, 0));

    w.Send(L"FieldSet|" + xml);
    GetWindowTextW(name, text, 64);
    EXPECT_STREQ(L"DOE, JANE", text);
    EXPECT_EQ(BST_CHECKED, SendMessageW(medicare, BM_GETCHECK, 0, 0));
    w.Send(L"Save");
    PumpPending();
    EXPECT_EQ(values, w.Input(L"MsgRsp1"));
    EXPECT_EQ(xml, w.Input(L"MsgRsp3"));
}

TEST_F(BrowserCoreTest, ZoomScalesTheFieldControls)
{
    TestBrowserWindow w;
    LoadClaimForm(w);
    HWND name = w.Core().Form()->ControlOf(8);
    RECT before, after, back;
    GetWindowRect(name, &before);
    w.Send(L"ZoomIn");
    GetWindowRect(name, &after);
    EXPECT_GT(after.right - after.left, (before.right - before.left) * 6 / 5 - 2);
    w.Send(L"ZoomOut");
    GetWindowRect(name, &back);
    EXPECT_EQ(before.right - before.left, back.right - back.left);
}

TEST_F(BrowserCoreTest, HeartbeatKeepsEveryPumpShort)
{
    TestBrowserWindow w;
    TestControl().documentCompleteMissing = true;
    w.Core().Navigate(L"file:///C:/container.htm");
    PumpPending();
    // Without a message to come a pump would block: each one here has the watchdog of PumpOne.
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(PumpOne()) << "pump " << i << " found no message";
}

TEST_F(BrowserCoreTest, AStatementPostsItsChangesBeforeAskingToSaveThem)
{
    TestBrowserWindow w;
    LoadClaimForm(w, SamplePath(L"statement.pdf"));
    // The line's balance is the statement's own: 20.00 charged less 8 paid.
    w.Send(L"FieldSet|<r><ID>42</ID><Charges_1>20.00</Charges_1><CoPay_1>8</CoPay_1><TotalDue_1>99</TotalDue_1>"
           L"<Notes>paid &amp; done\nnext line</Notes></r>");
    std::wstring seen;
    w.cancelWhen = [&](const std::wstring& address) {
        seen = w.Input(L"MsgRsp4"); // what the program reads while it handles the command
        return true;
    };
    viewer::FormWindow* form = w.Core().Form();
    // The statement's "Save" button, clicked.
    const int save = form->Script().FieldIndex(L"Save");
    ASSERT_GE(save, 0);
    ASSERT_EQ(L"app:saveChanges", form->Script().Form().fields[save].widgets.at(0).address);
    SendMessageW(form->ControlOf(static_cast<size_t>(save)), BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(0u, seen.find(L"%3Cr%3E%3CID%3E42%3C%2FID%3E"));
    EXPECT_NE(std::wstring::npos, seen.find(L"%3CTotalDue_1%3E12.00%3C%2FTotalDue_1%3E"));
    EXPECT_NE(std::wstring::npos, seen.find(L"paid+%26amp%3B+done%5BSYS__CR__%5Dnext+line"));
}
