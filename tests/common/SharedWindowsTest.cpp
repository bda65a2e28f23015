// The shared windows on real windows: the message dialog (through the sink and on screen, a short text
// centred on one line, a long one wrapped inside the edges) and the owner-drawn tabs sampled by pixel on a memory DC.
#include <gtest/gtest.h>
#include "common/Importing.h"
#include "common/MessageBox.h"
#include "common/TabCtrlEx.h"
#include "framework/Framework.h"
#include <vector>

namespace
{
// Copies a window's client area into a memory bitmap and answers the pixels of one row.
struct ClientCapture
{
    CDC dc;
    CBitmap bitmap;
    CBitmap* previous = nullptr;
    CRect client;
    explicit ClientCapture(CWnd* wnd)
    {
        wnd->UpdateWindow();
        wnd->GetClientRect(&client);
        CClientDC source(wnd);
        dc.CreateCompatibleDC(&source);
        bitmap.CreateCompatibleBitmap(&source, client.Width(), client.Height());
        previous = dc.SelectObject(&bitmap);
        dc.BitBlt(0, 0, client.Width(), client.Height(), &source, 0, 0, SRCCOPY);
    }
    ~ClientCapture() { dc.SelectObject(previous); }
    // The first and last column holding a pixel darker than mid grey; -1, -1 when there is none.
    std::pair<int, int> DarkColumns() const
    {
        int first = -1, last = -1;
        for (int x = 0; x < client.Width(); ++x)
            for (int y = 0; y < client.Height(); ++y)
            {
                COLORREF c = dc.GetPixel(x, y);
                if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 300)
                {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
            }
        return {first, last};
    }
};
}

TEST(MessageDialog, GoesThroughTheSinkWithItsCaption)
{
    CString seenText, seenCaption;
    AfxSetMessageBoxSink([&](HWND, const CString& text, const CString& caption, UINT) {
        seenText = text;
        seenCaption = caption;
        return IDOK;
    });
    CMessageBox box(L"Formstead", L"No records found", nullptr);
    EXPECT_EQ(IDOK, box.DoModal());
    AfxSetMessageBoxSink(nullptr);
    EXPECT_EQ(CString(L"No records found"), seenText);
    EXPECT_EQ(CString(L"Formstead"), seenCaption);
}

TEST(MessageDialog, ShowsShortTextsOnOneCentredLineAndWrapsLongOnes)
{
    CMessageBox shortBox(L"Formstead", L"Saved", nullptr);
    ASSERT_TRUE(shortBox.Create(CMessageBox::IDD));
    shortBox.ShowWindow(SW_SHOW);
    CString caption;
    shortBox.GetWindowText(caption);
    EXPECT_EQ(CString(L"Formstead"), caption);
    CString text;
    shortBox.GetDlgItemText(1035, text);
    EXPECT_EQ(CString(L"Saved"), text);
    CWnd* shortStatic = shortBox.GetDlgItem(1035);
    ClientCapture shortShot(shortStatic);
    auto shortColumns = shortShot.DarkColumns();
    ASSERT_GE(shortColumns.first, 0);
    int leftMargin = shortColumns.first;
    int rightMargin = shortShot.client.Width() - 1 - shortColumns.second;
    EXPECT_NEAR(leftMargin, rightMargin, 6);   // centred by advance widths, measured by ink
    EXPECT_GT(leftMargin, 20);

    // A text longer than the template's line wraps: its ink stays inside the static's edges.
    CMessageBox longBox(L"Formstead", L"This message is far too long to fit on the one line of the dialog box", nullptr);
    ASSERT_TRUE(longBox.Create(CMessageBox::IDD));
    longBox.ShowWindow(SW_SHOW);
    CWnd* longStatic = longBox.GetDlgItem(1035);
    ClientCapture longShot(longStatic);
    auto longColumns = longShot.DarkColumns();
    ASSERT_GE(longColumns.first, 0);
    EXPECT_GT(longColumns.first, 3);
    EXPECT_LT(longColumns.second, longShot.client.Width() - 4);
    shortBox.DestroyWindow();
    longBox.DestroyWindow();
}

TEST(ImportingPopup, IsAHiddenPopupWithItsText)
{
    CImporting popup(nullptr);
    ASSERT_TRUE(popup.Create());
    EXPECT_FALSE(popup.IsWindowVisible());
    EXPECT_NE((DWORD)WS_CAPTION, popup.GetStyle() & WS_CAPTION);   // a border but no caption
    HWND label = ::GetWindow(popup.m_hWnd, GW_CHILD);
    wchar_t text[32] = {};
    ::GetWindowTextW(label, text, 32);
    EXPECT_EQ(std::wstring(L"Importing....."), text);
    popup.SendMessage(WM_COMMAND, IDCANCEL);   // Escape leaves it to the import
    EXPECT_TRUE(::IsWindow(popup.m_hWnd));
    popup.DestroyWindow();
}

namespace
{
struct TabFixture : ::testing::Test
{
    CWnd parent;
    CTabCtrlEx tabs;
    void SetUp() override
    {
        ASSERT_TRUE(parent.CreateEx(0, nullptr, L"tabs", WS_POPUP | WS_VISIBLE, 0, 0, 400, 100, nullptr, nullptr));
        ASSERT_TRUE(tabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 40), &parent, 1012));
        tabs.InsertItem(0, L"Records");
        tabs.InsertItem(1, L"Templates");
    }
    void TearDown() override { parent.DestroyWindow(); }
};

int CountColour(CDC& dc, const CRect& rect, COLORREF colour)
{
    int count = 0;
    for (int x = rect.left; x < rect.right; ++x)
        for (int y = rect.top; y < rect.bottom; ++y)
            count += dc.GetPixel(x, y) == colour;
    return count;
}
}

TEST_F(TabFixture, CreationMakesTheTabsOwnerDrawn)
{
    EXPECT_NE(0u, tabs.GetStyle() & TCS_OWNERDRAWFIXED);
    EXPECT_EQ(RGB(0, 0, 255), tabs.GetSelectedColour());
    EXPECT_EQ(RGB(50, 50, 50), tabs.GetNormalColour());
}

TEST_F(TabFixture, FontsComeFromTheMessageFontAndSurviveASecondSetup)
{
    tabs.SendMessage(WM_SETFONT, 0, FALSE);   // no font of its own
    tabs.SetupFonts(900, FALSE, TRUE, 500, TRUE, FALSE);
    NONCLIENTMETRICSW metrics = {};
    metrics.cbSize = 504;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0));
    LOGFONT selected = {}, normal = {};
    ASSERT_TRUE(tabs.GetSelectedFont().GetLogFont(&selected));
    ASSERT_TRUE(tabs.GetNormalFont().GetLogFont(&normal));
    EXPECT_EQ(CString(metrics.lfMessageFont.lfFaceName), CString(selected.lfFaceName));
    EXPECT_EQ(900, selected.lfWeight);
    EXPECT_EQ(1, selected.lfUnderline);
    EXPECT_EQ(0, selected.lfItalic);
    EXPECT_EQ(500, normal.lfWeight);
    EXPECT_EQ(1, normal.lfItalic);
    EXPECT_EQ(tabs.GetSelectedFont().m_hObject, tabs.GetFont()->m_hObject);   // the heavier one

    // The control now uses one of the tab fonts; setting up again reads it before replacing both.
    tabs.SetupFonts(400, FALSE, FALSE, 700, FALSE, FALSE);
    ASSERT_TRUE(tabs.GetNormalFont().GetLogFont(&normal));
    EXPECT_EQ(CString(metrics.lfMessageFont.lfFaceName), CString(normal.lfFaceName));
    EXPECT_EQ(700, normal.lfWeight);
    EXPECT_EQ(0, normal.lfUnderline);   // taken from the font in use, underline replaced
    EXPECT_EQ(tabs.GetNormalFont().m_hObject, tabs.GetFont()->m_hObject);
    LOGFONT inUse = {};
    EXPECT_TRUE(tabs.GetFont()->GetLogFont(&inUse));
}

TEST_F(TabFixture, SelectedTabIsDarkRedWithItsColourOthersGrey)
{
    tabs.SetupFonts(900, FALSE, TRUE, 500, FALSE, FALSE);
    tabs.SetColours(RGB(0, 0, 255), RGB(0, 128, 0));
    tabs.SetCurSel(1);
    CRect first, second;
    ASSERT_TRUE(tabs.GetItemRect(0, &first));
    ASSERT_TRUE(tabs.GetItemRect(1, &second));

    CClientDC screen(nullptr);
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, 400, 40);
    CBitmap* old = memory.SelectObject(&bitmap);
    memory.FillSolidRect(0, 0, 400, 40, RGB(255, 255, 255));
    // Both tabs drawn through the parent, as the control asks for them: the parent reflects
    // WM_DRAWITEM to the control.
    for (int index = 0; index < 2; ++index)
    {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_TAB;
        item.CtlID = 1012;
        item.itemID = index;
        item.hwndItem = tabs.m_hWnd;
        item.hDC = memory.m_hDC;
        item.rcItem = index == 0 ? first : second;
        parent.SendMessage(WM_DRAWITEM, 1012, (LPARAM)&item);
    }
    int edge = ::GetSystemMetrics(SM_CYEDGE);
    EXPECT_EQ(RGB(190, 190, 190), memory.GetPixel(first.left + 1, first.top + edge));
    EXPECT_EQ(RGB(192, 0, 0), memory.GetPixel(second.left + 1, second.top + edge));
    EXPECT_EQ(RGB(255, 255, 255), memory.GetPixel(second.left + 1, second.top + edge - 1));   // the edge stays
    EXPECT_GT(CountColour(memory, second, RGB(0, 0, 255)), 10);   // text in the selected colour
    EXPECT_EQ(0, CountColour(memory, second, RGB(0, 128, 0)));
    EXPECT_GT(CountColour(memory, first, RGB(0, 128, 0)), 10);    // text in the normal colour
    EXPECT_EQ(0, CountColour(memory, first, RGB(0, 0, 255)));

    // A negative item index draws nothing.
    memory.FillSolidRect(0, 0, 400, 40, RGB(255, 255, 255));
    DRAWITEMSTRUCT none = {};
    none.itemID = (UINT)-1;
    none.hDC = memory.m_hDC;
    none.rcItem = first;
    tabs.DrawItem(&none);
    EXPECT_EQ(RGB(255, 255, 255), memory.GetPixel(first.left + 1, first.top + edge));
    memory.SelectObject(old);
}

TEST_F(TabFixture, ASecondSetupStartsFromTheFontInUse)
{
    // A face and size of its own, so that the fonts made from it differ from the message font.
    CFont own;
    ASSERT_TRUE(own.CreateFont(-23, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Times New Roman"));
    tabs.SetFont(&own, FALSE);
    tabs.SetupFonts(900, FALSE, TRUE, 500, FALSE, FALSE);
    LOGFONT selected = {};
    ASSERT_TRUE(tabs.GetSelectedFont().GetLogFont(&selected));
    EXPECT_EQ(-23, selected.lfHeight);

    // The control now draws with the selected font; the next setup must read it before deleting it.
    HGDIOBJ inUse = tabs.GetFont()->m_hObject;
    ASSERT_EQ(tabs.GetSelectedFont().m_hObject, inUse);
    tabs.SetupFonts(400, FALSE, FALSE, 700, TRUE, FALSE);
    LOGFONT normal = {};
    ASSERT_TRUE(tabs.GetNormalFont().GetLogFont(&normal));
    EXPECT_EQ(-23, normal.lfHeight);
    EXPECT_EQ(CString(L"Times New Roman"), CString(normal.lfFaceName));
    EXPECT_EQ(700, normal.lfWeight);
    EXPECT_EQ(1, normal.lfItalic);
    EXPECT_EQ(0, normal.lfUnderline);
    EXPECT_EQ(0u, (DWORD)::GetObjectType(inUse));                                   // the old pair is gone
    EXPECT_EQ((DWORD)OBJ_FONT, (DWORD)::GetObjectType(tabs.GetFont()->m_hObject));   // the new one lives
}
