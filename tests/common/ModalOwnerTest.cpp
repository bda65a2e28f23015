// Windows opened while a modal dialog of the program runs belong to that dialog, whichever window the
// caller names as owner: the program's message dialog and the system's message box opened "for the
// main window" over a running message dialog are owned by it, the main window stays disabled after
// they close, and it is enabled again only when the running dialog closes. Driven from a thread
// timer, which every modal loop dispatches.
#include <gtest/gtest.h>
#include "common/MessageBox.h"
#include "framework/Framework.h"

#include <functional>
#include <vector>

namespace
{
// The steps run one per timer tick, each until it answers true; after too many ticks every modal
// loop is ended so that a failing test cannot hang.
std::vector<std::function<bool()>> g_steps;
int g_ticks = 0;
const int kMostTicks = 2000;

void CALLBACK RunStep(HWND, UINT, UINT_PTR, DWORD)
{
    if (++g_ticks > kMostTicks)
    {
        ADD_FAILURE() << "the steps did not finish";
        g_steps.clear();
        CDialog::EndModalLoops();
        return;
    }
    if (g_steps.empty())
        return;
    // Taken off the list while it runs: a step that opens a modal loop lets the next ones run inside.
    std::function<bool()> step = g_steps.front();
    g_steps.erase(g_steps.begin());
    if (!step())
        g_steps.insert(g_steps.begin(), step);
}

struct DialogSearch
{
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK MatchDialogText(HWND window, LPARAM param)
{
    DialogSearch& search = *reinterpret_cast<DialogSearch*>(param);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (lstrcmpW(className, L"#32770") != 0 || !::IsWindowVisible(window))
        return TRUE;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
    {
        wchar_t text[64] = {};
        ::GetWindowTextW(child, text, 64);
        if (lstrcmpW(text, search.text) == 0)
        {
            search.found = window;
            return FALSE;
        }
    }
    return TRUE;
}

// The visible dialog of this thread that shows the text, or null.
HWND DialogShowing(const wchar_t* text)
{
    DialogSearch search{text, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), MatchDialogText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A step that waits for the dialog showing the text, notes its owner and closes it with OK.
std::function<bool()> CloseNotingOwner(const wchar_t* text, HWND& owner)
{
    return [text, &owner] {
        HWND dialog = DialogShowing(text);
        if (!dialog)
            return false;
        owner = ::GetWindow(dialog, GW_OWNER);
        ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    };
}

struct ModalOwner : ::testing::Test
{
    CWnd mainWindow;
    UINT_PTR timer = 0;
    void SetUp() override
    {
        ASSERT_TRUE(mainWindow.CreateEx(0, nullptr, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 500, 400, nullptr,
                                        nullptr));
        g_steps.clear();
        g_ticks = 0;
        timer = ::SetTimer(nullptr, 0, 10, RunStep);
        ASSERT_NE(0u, timer);
    }
    void TearDown() override
    {
        ::KillTimer(nullptr, timer);
        g_steps.clear();
        mainWindow.DestroyWindow();
    }
};
} // namespace

TEST_F(ModalOwner, WindowsOpenedForTheMainWindowBelongToTheRunningDialog)
{
    const HWND main = mainWindow.m_hWnd;
    HWND outer = nullptr, innerOwner = nullptr, boxOwner = nullptr;
    bool mainDisabledAfterInner = false, mainDisabledAfterBox = false, outerEnabledAfter = false;
    g_steps.push_back([&] {
        outer = DialogShowing(L"outer");
        if (!outer)
            return false;
        // Nested loops from here: the next steps run inside them.
        CMessageBox(L"Formstead", L"inner", &mainWindow).DoModal();
        mainDisabledAfterInner = !::IsWindowEnabled(main);
        ::AfxShowMessageBox(main, L"box", L"Formstead", MB_OK);
        mainDisabledAfterBox = !::IsWindowEnabled(main);
        outerEnabledAfter = ::IsWindowEnabled(outer) != FALSE;
        ::PostMessageW(outer, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        return true;
    });
    g_steps.push_back(CloseNotingOwner(L"inner", innerOwner));
    g_steps.push_back(CloseNotingOwner(L"box", boxOwner));

    CMessageBox(L"Formstead", L"outer", &mainWindow).DoModal();

    EXPECT_TRUE(g_steps.empty());
    ASSERT_NE(nullptr, outer);
    EXPECT_EQ(outer, innerOwner);
    EXPECT_EQ(outer, boxOwner);
    EXPECT_TRUE(mainDisabledAfterInner);
    EXPECT_TRUE(mainDisabledAfterBox);
    EXPECT_TRUE(outerEnabledAfter);
    EXPECT_TRUE(::IsWindowEnabled(main));
}
