// Dialogs from resource templates (modal with keyboard handling through the pump, modeless), dialog
// bars docked by a frame, and the document/frame/view trio made by the single-document template.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "GeometryPrinters.h"

namespace
{
const UINT kTestDialog = 9001;
const UINT WM_TEST_START = WM_APP + 10;

// Once shown, types into its edit and presses a key through the message queue.
class KeyedDialog : public CDialog
{
public:
    explicit KeyedDialog(UINT key, CWnd* parent = nullptr) : CDialog(kTestDialog, parent), m_key(key) {}
    int initialised = 0;
    int oks = 0;
    int cancels = 0;
    BOOL ownerWasEnabled = TRUE;
    CString typed;
    CEdit edit;

    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        ++initialised;
        edit.SubclassDlgItem(9002, this);
        PostMessage(WM_TEST_START);
        return TRUE;
    }
    void OnOK() override { ++oks; GetDlgItemText(9002, typed); CDialog::OnOK(); }
    void OnCancel() override { ++cancels; CDialog::OnCancel(); }

protected:
    afx_msg LRESULT OnStart(WPARAM, LPARAM)
    {
        if (CWnd* owner = GetWindow(GW_OWNER))
            ownerWasEnabled = owner->IsWindowEnabled();
        edit.SetFocus();
        edit.PostMessage(WM_CHAR, L'z');
        edit.PostMessage(WM_KEYDOWN, m_key);
        return 0;
    }
    UINT m_key;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(KeyedDialog, CDialog)
    ON_MESSAGE(WM_TEST_START, OnStart)
END_MESSAGE_MAP()
}

TEST(Dialogs, ModalReturnKeyReachesTheDefaultButton)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
    KeyedDialog dialog(VK_RETURN, &owner);
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(1, dialog.initialised);
    EXPECT_EQ(1, dialog.oks);
    EXPECT_EQ(0, dialog.cancels);
    EXPECT_EQ(CString(L"z"), dialog.typed);
    EXPECT_FALSE(dialog.ownerWasEnabled);   // disabled while the dialog ran
    EXPECT_TRUE(owner.IsWindowEnabled());   // and enabled again afterwards
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    owner.DestroyWindow();
}

TEST(Dialogs, ModalEscapeCancels)
{
    KeyedDialog dialog(VK_ESCAPE);
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(0, dialog.oks);
    EXPECT_EQ(1, dialog.cancels);
}

namespace
{
const UINT WM_TEST_DESTROY_OWNER = WM_APP + 11;
bool g_modalLoopNeededQuit = false;

// Destroys its owner from inside its modal loop, as closing the main window does.
class OwnerDestroyingDialog : public CDialog
{
public:
    explicit OwnerDestroyingDialog(CWnd* owner) : CDialog(kTestDialog, owner) {}
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_TEST_DESTROY_OWNER);
        return TRUE;
    }

protected:
    afx_msg LRESULT OnDestroyOwner(WPARAM, LPARAM)
    {
        ::DestroyWindow(::GetWindow(m_hWnd, GW_OWNER));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(OwnerDestroyingDialog, CDialog)
    ON_MESSAGE(WM_TEST_DESTROY_OWNER, OnDestroyOwner)
END_MESSAGE_MAP()

void CALLBACK EndStuckModalLoop(HWND, UINT, UINT_PTR, DWORD)
{
    g_modalLoopNeededQuit = true;
    ::PostQuitMessage(0);
}
}

TEST(Dialogs, ModalLoopEndsWhenTheDialogIsDestroyedWithItsOwner)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr, nullptr));
    // A stuck loop is ended by a quit after 5 s, so a failure does not hang the suite.
    const UINT_PTR guard = ::SetTimer(nullptr, 0, 5000, EndStuckModalLoop);
    OwnerDestroyingDialog dialog(&owner);
    EXPECT_EQ(-1, dialog.DoModal());
    ::KillTimer(nullptr, guard);
    EXPECT_FALSE(g_modalLoopNeededQuit);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_FALSE(::IsWindow(owner.m_hWnd));
    MSG quit;
    while (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
}

TEST(Dialogs, MissingTemplateFailsWithoutAWindow)
{
    CDialog dialog(4321);
    EXPECT_EQ(-1, dialog.DoModal());
    EXPECT_FALSE(dialog.Create(4321));
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

TEST(Dialogs, ModelessDialogGetsTabNavigationFromThePump)
{
    CDialog dialog;
    ASSERT_TRUE(dialog.Create(kTestDialog));
    dialog.ShowWindow(SW_SHOW);
    CWnd* first = dialog.GetDlgItem(9002);
    CWnd* second = dialog.GetDlgItem(9004);
    first->SetFocus();
    first->PostMessage(WM_KEYDOWN, VK_TAB);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
    {
        if (!CWnd::WalkPreTranslateTree(nullptr, &msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    EXPECT_EQ(second->m_hWnd, ::GetFocus());
    dialog.DestroyWindow();
}

namespace
{
class TestDoc : public CDocument
{
    DECLARE_DYNCREATE(TestDoc)
public:
    int newDocuments = 0;
    BOOL OnNewDocument() override { ++newDocuments; return CDocument::OnNewDocument(); }
};
IMPLEMENT_DYNCREATE(TestDoc, CDocument)

class TestView : public CView
{
    DECLARE_DYNCREATE(TestView)
public:
    static int initialUpdates;
    static int updates;
    static LPARAM lastHint;
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override { ++initialUpdates; }
    void OnUpdate(CView*, LPARAM hint, CObject*) override { ++updates; lastHint = hint; }
};
IMPLEMENT_DYNCREATE(TestView, CView)
int TestView::initialUpdates = 0;
int TestView::updates = 0;
LPARAM TestView::lastHint = 0;

class TestFrame : public CFrameWnd
{
    DECLARE_DYNCREATE(TestFrame)
public:
    CDialogBar top;
    CDialogBar bottom;
    int barClicks = 0;
    static TestFrame* last;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT cs)
    {
        if (CFrameWnd::OnCreate(cs) == -1)
            return -1;
        last = this;
        if (!bottom.Create(this, 9020, CBRS_BOTTOM, 9020) || !top.Create(this, 9010, CBRS_TOP, 9010))
            return -1;
        return 0;
    }
    afx_msg void OnBarButton() { ++barClicks; }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(TestFrame, CFrameWnd)
TestFrame* TestFrame::last = nullptr;

BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_BN_CLICKED(9011, OnBarButton)
END_MESSAGE_MAP()
}

TEST(DocumentFrameView, TemplateCreatesTheTrioAndLaysOutBarsAroundTheView)
{
    CSingleDocTemplate docTemplate(9030, RUNTIME_CLASS(TestDoc), RUNTIME_CLASS(TestFrame), RUNTIME_CLASS(TestView));
    TestView::initialUpdates = 0;
    CDocument* doc = docTemplate.OpenDocumentFile(nullptr, FALSE);
    ASSERT_NE(nullptr, doc);
    TestFrame* frame = TestFrame::last;
    ASSERT_NE(nullptr, frame);
    EXPECT_EQ(1, static_cast<TestDoc*>(doc)->newDocuments);
    EXPECT_EQ(1, TestView::initialUpdates);
    CView* view = frame->GetActiveView();
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(doc, view->GetDocument());
    EXPECT_EQ(doc, frame->GetActiveDocument());
    EXPECT_EQ(frame, view->GetParentFrame());
    EXPECT_EQ(&frame->top, frame->GetControlBar(9010));
    CString docName;
    EXPECT_TRUE(docTemplate.GetDocString(docName, CDocTemplate::docName));
    EXPECT_EQ(CString(L"DocName"), docName);
    CString title;
    frame->GetWindowText(title);
    EXPECT_EQ(CString(L"DocName - Test Frame"), title);

    frame->SetWindowPos(nullptr, 0, 0, 600, 400, SWP_NOZORDER);
    CRect client, topRect, bottomRect, viewRect;
    frame->GetClientRect(&client);
    frame->top.GetWindowRect(&topRect);
    frame->bottom.GetWindowRect(&bottomRect);
    view->GetWindowRect(&viewRect);
    frame->ScreenToClient(&topRect);
    frame->ScreenToClient(&bottomRect);
    frame->ScreenToClient(&viewRect);
    EXPECT_EQ(CRect(0, 0, client.right, topRect.bottom), topRect);
    EXPECT_GT(topRect.Height(), 0);
    EXPECT_EQ(CRect(0, client.bottom - bottomRect.Height(), client.right, client.bottom), bottomRect);
    EXPECT_EQ(CRect(0, topRect.bottom, client.right, bottomRect.top), viewRect);

    TestView::updates = 0;
    doc->UpdateAllViews(nullptr, 5);
    EXPECT_EQ(1, TestView::updates);
    EXPECT_EQ(5, (int)TestView::lastHint);
    doc->UpdateAllViews(view);   // the sender is skipped
    EXPECT_EQ(1, TestView::updates);

    // A bar passes commands its own map leaves alone on to its owner, the frame.
    frame->top.GetDlgItem(9011)->SendMessage(BM_CLICK);
    EXPECT_EQ(1, frame->barClicks);
    frame->DestroyWindow();
    EXPECT_EQ(nullptr, doc->GetFirstViewPosition());
}
