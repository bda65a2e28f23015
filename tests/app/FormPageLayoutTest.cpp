// The form page's bars on the real main window at the widths a user gives it: every bar control is
// whole, inside the page, clear of the others and of the form, and is what a click at its centre
// reaches; the unfinished buttons are disabled.
#include <gtest/gtest.h>
#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"
#include "pages/FormPage.h"
#include "tests/framework/GeometryPrinters.h"
#include <set>
#include <vector>

namespace
{
// A stand-in container page beside the test executable, for the life of the object.
struct ContainerPage
{
    FileGuard guard{TestProgramFolder() + L"container.htm"};
    ContainerPage() { WriteWholeFile(guard.Path(), "<html></html>"); }
};

struct Placed
{
    HWND control;
    CRect screen;
};

// The pixels of a control's client area as they are on the screen.
std::vector<COLORREF> Snapshot(CWnd& control)
{
    CRect client;
    control.GetClientRect(&client);
    CClientDC source(&control);
    MemoryCanvas canvas(client.Width(), client.Height());
    canvas.dc.BitBlt(0, 0, client.Width(), client.Height(), &source, 0, 0, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < client.Height(); ++y)
        for (int x = 0; x < client.Width(); ++x)
            pixels.push_back(canvas.dc.GetPixel(x, y));
    return pixels;
}

int IdOf(HWND control)
{
    return ::GetDlgCtrlID(control);
}

struct FormPageLayout : ::testing::Test
{
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    ContainerPage container;
    ProgramRun run{true};

    void SetUp() override
    {
        ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
        ASSERT_TRUE(run.Start());
        ASSERT_NE(nullptr, Page());
    }
    void TearDown() override
    {
        run.Close();
    }
    CPage3* Page() { return run.View() ? dynamic_cast<CPage3*>(run.View()->GetFormPage()) : nullptr; }

    // Sizes the main window; answers its width as it came out.
    int SizeFrame(int width, int height)
    {
        run.Frame()->SetWindowPos(nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpPending();
        CRect frame;
        run.Frame()->GetWindowRect(&frame);
        return frame.Width();
    }

    // The visible controls of both bars, with their screen rectangles.
    std::vector<Placed> BarControls()
    {
        std::vector<Placed> controls;
        for (CWnd* bar : {static_cast<CWnd*>(&Page()->m_buttons), static_cast<CWnd*>(&Page()->m_zoomer)})
            for (HWND child = ::GetWindow(bar->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
                if (::IsWindowVisible(child))
                {
                    CRect rect;
                    ::GetWindowRect(child, &rect);
                    controls.push_back({child, rect});
                }
        return controls;
    }

    CRect PageClientOnScreen()
    {
        CRect client;
        Page()->GetClientRect(&client);
        Page()->ClientToScreen(&client);
        return client;
    }

    // The window a click at the point reaches, found down the page's children in their drawing order.
    HWND ChildHitAt(CPoint screen)
    {
        HWND parent = Page()->m_hWnd;
        for (;;)
        {
            POINT local = screen;
            ::ScreenToClient(parent, &local);
            HWND child = ::ChildWindowFromPointEx(parent, local, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
            if (!child || child == parent)
                return parent;
            parent = child;
        }
    }

    void ExpectWholeClearAndReachable(int width)
    {
        SCOPED_TRACE("main window width " + std::to_string(width));
        const CRect page = PageClientOnScreen();
        CRect browser;
        Page()->m_browser.GetWindowRect(&browser);
        const std::vector<Placed> controls = BarControls();
        ASSERT_GE(controls.size(), 15u);   // ten buttons, two pictures, and the zoom bar's three
        CRect desktop;
        ::GetWindowRect(::GetDesktopWindow(), &desktop);
        for (size_t i = 0; i < controls.size(); ++i)
        {
            const Placed& one = controls[i];
            SCOPED_TRACE("control " + std::to_string(IdOf(one.control)));
            CRect inside;
            inside.IntersectRect(&one.screen, &page);
            EXPECT_EQ(one.screen, inside) << "not whole inside the page";
            CRect overForm;
            EXPECT_FALSE(overForm.IntersectRect(&one.screen, &browser)) << "under the form";
            for (size_t j = i + 1; j < controls.size(); ++j)
            {
                CRect both;
                EXPECT_FALSE(both.IntersectRect(&one.screen, &controls[j].screen))
                    << "overlaps control " << IdOf(controls[j].control);
            }
            const CPoint centre = one.screen.CenterPoint();
            EXPECT_EQ(one.control, ChildHitAt(centre));
            // A disabled control lets the click through to its bar, and to nothing else.
            const HWND reached = ::IsWindowEnabled(one.control) ? one.control : ::GetParent(one.control);
            if (desktop.PtInRect(centre))
            {
                EXPECT_EQ(reached, ::WindowFromPoint(centre));
            }
        }
    }
};
}

TEST_F(FormPageLayout, EveryBarControlIsWholeAndReachableFromTheFirstStartSizeUp)
{
    for (int width : {850, 1024})
    {
        ASSERT_EQ(width, SizeFrame(width, 550));
        ExpectWholeClearAndReachable(width);
    }
    // Wider than the screen: the window may not grow that far, so the view gets that width itself.
    const int wide = 1920;
    if (SizeFrame(wide, 550) < wide)
    {
        CRect frame, view;
        run.Frame()->GetWindowRect(&frame);
        run.View()->GetWindowRect(&view);
        run.View()->SetWindowPos(nullptr, 0, 0, wide - (frame.Width() - view.Width()), view.Height(),
                                 SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
        PumpPending();
    }
    ExpectWholeClearAndReachable(wide);
}

TEST_F(FormPageLayout, TheFormFillsThePageBelowTheBarsWithItsScrollBarWhole)
{
    for (int width : {850, 1024})
    {
        SizeFrame(width, 550);
        const CRect page = PageClientOnScreen();
        CRect browser;
        Page()->m_browser.GetWindowRect(&browser);
        EXPECT_EQ(page.left, browser.left);
        EXPECT_EQ(page.right, browser.right);
        EXPECT_EQ(page.bottom, browser.bottom) << "the form must end where the page ends";
        for (const Placed& one : BarControls())
            EXPECT_LE(one.screen.bottom, browser.top) << "control " << IdOf(one.control);
        EXPECT_GT(browser.Height(), page.Height() / 2);
    }
}

TEST_F(FormPageLayout, NarrowWindowsKeepTheBarsOnThePage)
{
    for (int width : {600, 400})
    {
        SizeFrame(width, 550);
        const CRect page = PageClientOnScreen();
        for (const Placed& one : BarControls())
        {
            EXPECT_GE(one.screen.left, page.left) << "width " << width << ", control " << IdOf(one.control);
            EXPECT_GE(one.screen.top, page.top) << "width " << width << ", control " << IdOf(one.control);
        }
    }
}

TEST_F(FormPageLayout, TheBarsStayOnTopOfTheTabStripWhateverHasTheFocus)
{
    SizeFrame(850, 550);
    for (int id : {1015, 1044})
    {
        CWnd* button = Page()->m_buttons.GetDlgItem(id);
        ASSERT_NE(nullptr, button);
        button->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        const std::vector<COLORREF> drawn = Snapshot(*button);
        ASSERT_GT(std::set<COLORREF>(drawn.begin(), drawn.end()).size(), 1u) << "button " << id << " shows nothing";

        // The tab strip under the bars takes the focus and paints itself again.
        Page()->m_tabs.SetFocus();
        Page()->m_tabs.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpPending();
        EXPECT_TRUE(drawn == Snapshot(*button)) << "the tab strip was drawn over button " << id;
        CRect screen;
        button->GetWindowRect(&screen);
        EXPECT_EQ(button->m_hWnd, ChildHitAt(screen.CenterPoint())) << "button " << id;
    }
}

TEST_F(FormPageLayout, TheBarsButtonsAreEnabledButUpdateWithoutARecord)
{
    // No record is current after a first start: "Update and Save" waits for one. (The two save
    // buttons follow the form's registration, which this fixture does not do.)
    for (int id : {1017, 1018, 1019, 1020, 1021, 1023, 1044})
    {
        CWnd* button = Page()->m_buttons.GetDlgItem(id);
        ASSERT_NE(nullptr, button);
        EXPECT_TRUE(button->IsWindowEnabled()) << "button " << id;
    }
    EXPECT_FALSE(Page()->m_buttons.GetDlgItem(1022)->IsWindowEnabled());
}
