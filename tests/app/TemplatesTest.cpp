// The dialog templates as the user sees them: every caption fits its control and no two visible
// controls of one template lie over each other.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include "resources/resource.h"
#include <commctrl.h>
#include <string>
#include <vector>

namespace
{
// A template created as a dialog of its own, its controls measured in pixels.
// Child templates need a parent: a hidden popup holds each.
struct CreatedTemplate
{
    CWnd parent;
    CDialog dialog;
    explicit CreatedTemplate(UINT id) : dialog(id)
    {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        created = parent.CreateEx(0, nullptr, L"templates", WS_POPUP, 0, 0, 1200, 800, nullptr, nullptr) &&
                  dialog.Create(id, &parent);
    }
    ~CreatedTemplate()
    {
        if (dialog.m_hWnd)
            dialog.DestroyWindow();
        if (parent.m_hWnd)
            parent.DestroyWindow();
    }
    std::vector<HWND> Controls() const
    {
        std::vector<HWND> result;
        for (HWND child = ::GetWindow(dialog.m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
            result.push_back(child);
        return result;
    }
    bool created = false;
};

std::wstring ClassOf(HWND wnd)
{
    wchar_t name[64] = {};
    ::GetClassNameW(wnd, name, 64);
    return name;
}

std::wstring TextOf(HWND wnd)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(wnd, text, 256);
    return text;
}

// The width of one line of text in the font, with '&' marks as the control draws them.
int TextWidth(HWND wnd, HFONT font, const std::wstring& text)
{
    HDC dc = ::GetDC(wnd);
    HGDIOBJ old = ::SelectObject(dc, font);
    RECT rect = {0, 0, 0, 0};
    ::DrawTextW(dc, text.c_str(), -1, &rect, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, old);
    ::ReleaseDC(wnd, dc);
    return rect.right - rect.left;
}

// The room a button leaves for its caption: the client width less its frame and a blank each side.
int CaptionRoom(HWND button)
{
    RECT client;
    ::GetClientRect(button, &client);
    int room = client.right - client.left - 2 * ::GetSystemMetrics(SM_CXEDGE) - 4;
    LONG type = ::GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK;
    if (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
        room -= ::GetSystemMetrics(SM_CXMENUCHECK) + 4;   // the box or circle before the caption
    return room;
}

const UINT kTemplatesWithButtons[] = {IDD_PDF_BUTTONS, IDD_RECORD_BUTTONS, IDD_RECORDS_PAGE, IDD_REGISTER_FORM,
                                      IDD_TEMPLATE_NAME, IDD_PRINT_FORM, IDD_MESSAGE_BOX};
}

TEST(Templates, EveryButtonCaptionFitsItsButton)
{
    for (UINT id : kTemplatesWithButtons)
    {
        CreatedTemplate shown(id);
        ASSERT_TRUE(shown.created) << "template " << id;
        for (HWND control : shown.Controls())
        {
            if (ClassOf(control) != L"Button")
                continue;
            LONG type = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
            if (type == BS_GROUPBOX || type == BS_OWNERDRAW)
                continue;
            std::wstring text = TextOf(control);
            HFONT font = (HFONT)::SendMessageW(control, WM_GETFONT, 0, 0);
            EXPECT_LE(TextWidth(control, font, text), CaptionRoom(control))
                << "template " << id << ", button \"" << std::string(text.begin(), text.end()) << "\"";
        }
    }
}

TEST(Templates, TheHelpLinkOfTheZoomBarHasRoomForItsText)
{
    CreatedTemplate zoomer(IDD_ZOOMER);
    ASSERT_TRUE(zoomer.created);
    HWND link = ::GetDlgItem(zoomer.dialog.m_hWnd, 1015);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(std::wstring(L"Can't see the Form?"), TextOf(link));
    // The link is drawn in 16-pixel underlined Arial at the button's top left.
    HFONT font = ::CreateFontW(16, 0, 0, 0, FW_NORMAL, FALSE, TRUE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Arial");
    RECT client;
    ::GetClientRect(link, &client);
    EXPECT_LE(TextWidth(link, font, L"Can't see the Form?"), client.right);
    ::DeleteObject(font);
    RECT bar, linkRect;
    ::GetClientRect(zoomer.dialog.m_hWnd, &bar);
    ::GetWindowRect(link, &linkRect);
    ::MapWindowPoints(nullptr, zoomer.dialog.m_hWnd, (POINT*)&linkRect, 2);
    EXPECT_LE(linkRect.right, bar.right);   // the link lies inside its bar
}

TEST(Templates, VisibleControlsDoNotOverlap)
{
    for (UINT id : {IDD_PDF_BUTTONS, IDD_ZOOMER, IDD_RECORD_BUTTONS, IDD_RECORDS_PAGE, IDD_NAV_BUTTONS,
                    IDD_REGISTER_FORM, IDD_TEMPLATE_NAME, IDD_PRINT_FORM, IDD_MESSAGE_BOX})
    {
        CreatedTemplate shown(id);
        ASSERT_TRUE(shown.created) << "template " << id;
        RECT client;
        ::GetClientRect(shown.dialog.m_hWnd, &client);
        std::vector<std::pair<HWND, RECT>> visible;
        for (HWND control : shown.Controls())
        {
            // An up-down control places itself against its buddy edit by design; a group box frames others.
            LONG style = ::GetWindowLongW(control, GWL_STYLE);
            bool groupBox = ClassOf(control) == L"Button" && (style & BS_TYPEMASK) == BS_GROUPBOX;
            if (!(style & WS_VISIBLE) || ClassOf(control) == UPDOWN_CLASSW || groupBox)
                continue;
            RECT rect;
            ::GetWindowRect(control, &rect);
            ::MapWindowPoints(nullptr, shown.dialog.m_hWnd, (POINT*)&rect, 2);
            EXPECT_LE(rect.right, client.right) << "template " << id << ", control " << ::GetDlgCtrlID(control);
            visible.push_back({control, rect});
        }
        for (size_t i = 0; i < visible.size(); ++i)
            for (size_t j = i + 1; j < visible.size(); ++j)
            {
                RECT both;
                EXPECT_FALSE(::IntersectRect(&both, &visible[i].second, &visible[j].second))
                    << "template " << id << ": controls " << ::GetDlgCtrlID(visible[i].first) << " and "
                    << ::GetDlgCtrlID(visible[j].first) << " overlap";
            }
    }
}
