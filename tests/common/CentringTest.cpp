// Message boxes open centred on the window they belong to: the program's one-line message dialog
// and the system's message box, also when the owner given is a child window of the main window.
#include <gtest/gtest.h>
#include "common/MessageBox.h"
#include "framework/Framework.h"
#include <functional>
#include <string>

namespace
{
// Runs an action once on the first visible dialog of the thread with the caption. It is looked for
// from a thread timer, which the dialog's own modal loop dispatches.
class DialogWatch
{
public:
    DialogWatch(const std::wstring& caption, std::function<void(HWND)> action)
    {
        s_caption = caption;
        s_action = std::move(action);
        m_timer = ::SetTimer(nullptr, 0, 30, &DialogWatch::Tick);
    }
    ~DialogWatch()
    {
        ::KillTimer(nullptr, m_timer);
        s_action = nullptr;
    }

private:
    struct Search
    {
        HWND found = nullptr;
    };
    static BOOL CALLBACK Match(HWND wnd, LPARAM param)
    {
        wchar_t className[16] = {}, text[128] = {};
        ::GetClassNameW(wnd, className, 16);
        ::GetWindowTextW(wnd, text, 128);
        if (std::wstring(className) != L"#32770" || s_caption != text || !::IsWindowVisible(wnd))
            return TRUE;
        reinterpret_cast<Search*>(param)->found = wnd;
        return FALSE;
    }
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        Search search;
        if (!s_action)
            return;
        ::EnumThreadWindows(::GetCurrentThreadId(), Match, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            return;
        std::function<void(HWND)> action = std::move(s_action);
        s_action = nullptr;
        action(search.found);
    }
    UINT_PTR m_timer = 0;
    static std::wstring s_caption;
    static std::function<void(HWND)> s_action;
};
std::wstring DialogWatch::s_caption;
std::function<void(HWND)> DialogWatch::s_action;

CRect WindowRectOf(HWND wnd)
{
    CRect rect;
    ::GetWindowRect(wnd, &rect);
    return rect;
}

// A main window away from the middle of the screen, with a child window inside it.
struct OwnerWindows : ::testing::Test
{
    CWnd main;
    CWnd child;
    void SetUp() override
    {
        AfxSetMessageBoxSink(nullptr);
        ASSERT_TRUE(main.CreateEx(0, nullptr, L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 40, 700, 500, nullptr,
                                  nullptr));
        ASSERT_TRUE(child.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(10, 10, 200, 100), &main, 1));
    }
    void TearDown() override
    {
        if (main.m_hWnd)
            main.DestroyWindow();
    }
    // Where the dialog with the caption opened, closing it with the button.
    CRect OpenedAt(const std::wstring& caption, int button, const std::function<void()>& open)
    {
        CRect seen;
        DialogWatch watch(caption, [&](HWND dialog) {
            seen = WindowRectOf(dialog);
            ::PostMessageW(::GetDlgItem(dialog, button), BM_CLICK, 0, 0);
        });
        open();
        return seen;
    }
};

void ExpectCentredOn(const CRect& owner, const CRect& dialog)
{
    ASSERT_FALSE(dialog.IsRectEmpty()) << "the dialog was not seen";
    EXPECT_NEAR(owner.CenterPoint().x, dialog.CenterPoint().x, 3);
    EXPECT_NEAR(owner.CenterPoint().y, dialog.CenterPoint().y, 3);
}
}

TEST_F(OwnerWindows, TheMessageDialogOpensCentredOnItsOwner)
{
    const CRect opened = OpenedAt(L"Centred", IDOK, [&] {
        CMessageBox box(L"Centred", L"Saved", &child);
        EXPECT_EQ(IDOK, box.DoModal());
    });
    ExpectCentredOn(WindowRectOf(main.m_hWnd), opened);
}

TEST_F(OwnerWindows, TheSystemMessageBoxOpensCentredOnTheMainWindowOfItsOwner)
{
    for (HWND owner : {main.m_hWnd, child.m_hWnd})
    {
        const CRect opened = OpenedAt(L"Centred box", IDOK, [&] {
            EXPECT_EQ(IDOK, AfxShowMessageBox(owner, L"The form is not registered.", L"Centred box", MB_OK));
        });
        ExpectCentredOn(WindowRectOf(main.m_hWnd), opened);
    }
}

TEST_F(OwnerWindows, AMessageBoxOverAWindowPartlyOffTheScreenStaysOnTheScreen)
{
    main.SetWindowPos(nullptr, -500, -300, 700, 500, SWP_NOZORDER);
    const CRect opened = OpenedAt(L"Kept on screen", IDOK, [&] {
        AfxShowMessageBox(main.m_hWnd, L"Saved", L"Kept on screen", MB_OK);
    });
    ASSERT_FALSE(opened.IsRectEmpty());
    CRect work;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_GE(opened.left, work.left);
    EXPECT_GE(opened.top, work.top);
}
