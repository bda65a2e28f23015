// The bridge's sends and waits against the form's replies: delayed by N pumped messages, never
// sent, empty, and a page without a document; the Save -> FieldSet -> Save round trip.
#include "BridgeTestWindow.h"
#include "tests/support/SleepRecorder.h"

TEST_F(BridgeTest, PageWaitTakesAReplyDelayedByPumpedMessages)
{
    OpenClaimForm();
    viewer::TestControl().replyDelay = 30;
    SendBridgeCommand(m_ctrl, L"WillSave");
    m_ctrl.SetInputValue(L"MsgRsp1", L"--");
    SendBridgeCommand(m_ctrl, L"Save");
    CString reply;
    SleepRecorder sleeps;
    int passes = WaitForPageReply(m_ctrl, reply);
    EXPECT_GE(passes, 31); // one reposting per pass
    EXPECT_LT(passes, 100);
    EXPECT_TRUE(sleeps.Are(passes - 1, 20)); // a 20 ms pause after every pass without the reply
    EXPECT_EQ(0, reply.Find(L"_1_MEDICARE----0-_1_MEDICARE="));
    std::vector<std::wstring> expected = {L"WillSave", L"Save"};
    EXPECT_EQ(expected, viewer::TestControl().commands);
}

TEST_F(BridgeTest, PageWaitEndsWithTheMarkerWhenTheFormNeverAnswers)
{
    OpenClaimForm();
    viewer::TestControl().neverReply = true;
    m_ctrl.SetInputValue(L"MsgRsp1", L"--");
    SendBridgeCommand(m_ctrl, L"Save");
    CString reply;
    SleepRecorder sleeps;
    EXPECT_EQ(100, WaitForPageReply(m_ctrl, reply)); // the heartbeat keeps every pump short
    EXPECT_EQ(CString(L"--"), reply);
    EXPECT_TRUE(sleeps.Are(100, 20)) << sleeps.Sleeps().size() << " pauses";
}

TEST_F(BridgeTest, AnEmptyReplyEndsTheWaitAtOnce)
{
    OpenContainer();
    // The container page alone: set the reply as the form's handler would, empty.
    m_ctrl.SetInputValue(L"MsgRsp1", L"");
    CString reply = L"old";
    SleepRecorder sleeps;
    EXPECT_EQ(1, WaitForPageReply(m_ctrl, reply));
    EXPECT_TRUE(sleeps.Sleeps().empty());
    EXPECT_EQ(CString(L""), reply);
}

TEST_F(BridgeTest, WaitsWithoutADocumentUseUpTheirPassesWithoutSleeping)
{
    OpenContainer();
    viewer::TestControl().noDocument = true;
    CString reply = L"untouched";
    SleepRecorder sleeps;
    EXPECT_EQ(300, WaitForRegistrationReply(m_ctrl, reply));
    EXPECT_TRUE(sleeps.Sleeps().empty());
    EXPECT_EQ(CString(L"untouched"), reply);
}

TEST_F(BridgeTest, RegistrationWaitGetsTheFieldListAndFormType)
{
    OpenClaimForm();
    viewer::TestControl().replyDelay = 3;
    m_ctrl.SetInputValue(L"MsgRsp1", L"--");
    SendBridgeCommand(m_ctrl, L"FieldList");
    CString reply;
    SleepRecorder sleeps;
    int passes = WaitForRegistrationReply(m_ctrl, reply);
    EXPECT_GE(passes, 4);
    EXPECT_TRUE(sleeps.Are(passes - 1, 60)); // registration waits pause 60 ms a pass
    EXPECT_EQ(0, reply.Find(L"_1_MEDICARE----0-_1_MEDICAREjjjj0j"));
    CString type = L"?";
    m_ctrl.GetInputValue(L"MsgRsp2", type);
    EXPECT_EQ(CString(L"CMS-1500"), type);
}

TEST_F(BridgeTest, SaveFieldSetSaveGivesTheSameValues)
{
    OpenClaimForm();
    viewer::FormWindow* form = m_ctrl.GetFormWindow();
    ::SetWindowTextW(form->ControlOf(8), L"ROE, RICHARD");
    ::SetWindowTextW(form->ControlOf(223), L"Suite 5 & 6 <rear>");
    ::SendMessageW(form->ControlOf(11), BM_CLICK, 0, 0);
    auto save = [&](CString& values, CString& xml) {
        SendBridgeCommand(m_ctrl, L"WillSave");
        m_ctrl.SetInputValue(L"MsgRsp1", L"--");
        SendBridgeCommand(m_ctrl, L"Save");
        WaitForPageReply(m_ctrl, values);
        m_ctrl.GetInputValue(L"MsgRsp3", xml);
    };
    CString values1, xml1, values2, xml2;
    save(values1, xml1);
    EXPECT_NE(-1, values1.Find(L"=ROE, RICHARD|"));
    EXPECT_NE(-1, values1.Find(L"_3_PATIENTS_SEX_F----11-_3_PATIENTS_SEX_F=YES|"));
    EXPECT_NE(-1, xml1.Find(L"<_34_Mailing_Address_3jjjj223>Suite 5 &amp; 6 &lt;rear&gt;</_34_Mailing_Address_3jjjj223>"));

    SendBridgeCommand(m_ctrl, L"FieldSet|");
    CString cleared, clearedXml;
    save(cleared, clearedXml);
    EXPECT_EQ(-1, cleared.Find(L"ROE"));

    SendBridgeCommand(m_ctrl, CString(L"FieldSet|") + xml1);
    save(values2, xml2);
    EXPECT_EQ(values1, values2);
    EXPECT_EQ(xml1, xml2);
}

TEST_F(BridgeTest, AWaitEndsWhenAPumpedMessageDestroysTheControl)
{
    OpenClaimForm();
    viewer::TestControl().neverReply = true;
    m_ctrl.SetInputValue(L"MsgRsp1", L"--");
    SendBridgeCommand(m_ctrl, L"Save");
    // A message in the queue destroys the control's window, as closing its page during a save does.
    ::PostMessageW(m_ctrl.m_hWnd, WM_CLOSE, 0, 0);
    CString reply;
    SleepRecorder sleeps;
    int passes = WaitForPageReply(m_ctrl, reply);
    EXPECT_LT(passes, 5);
    EXPECT_LE(sleeps.Sleeps().size(), static_cast<size_t>(passes));
    EXPECT_FALSE(::IsWindow(m_ctrl.m_hWnd));
}
