// The message dialog on real windows shows every message of the program whole: the text, wrapped
// by a plain greedy word wrap measured with the static's own font, fits the static; the OK button
// stays below the text and inside the dialog; the dialog stays inside its monitor's work area.
#include <gtest/gtest.h>
#include "common/MessageBox.h"
#include "framework/Framework.h"

#include <string>
#include <vector>

namespace
{
// Every text the program shows in this dialog, and a few that stretch it.
const wchar_t* const kMessages[] = {
    L"Saved",
    L"Please, select records to extract",
    L"File Saved",
    L"File Saved\n3 of the 12 pages are blank: their records no longer exist or hold no form data.",
    L"Save a blank record at first",
    L"This is the first record",
    L"This is the last record",
    L"Please, input a search text",
    L"No records found",
    L"Found 12345 record(s)",
    L"Please, select a record to delete",
    L"No files selected to import",
    L"The file could not be read as a form; nothing was imported.",
    L"The file is not a copy of the current form; nothing was imported.",
    L"The form has been imported successfully",
    L"The text dump was saved to C:\\users\\someone\\Documents\\Claims of the practice\\2027\\march\\dump.txt, "
    L"but no program could open it.",
    L"C:\\AVeryLongFolderNameWithoutAnyBlankInIt\\AndAnotherOneJustAsLong\\AndAThirdToPassTheWidthOfTheScreen\\"
    L"AndAFourthForGoodMeasureWithMoreLetters\\AndTheLastOne\\dump.txt",
    L"Tom & Jerry's claims",
};

// A plain greedy word wrap: words go on a line while the line's extent stays within the width; a
// word wider than a line is broken between characters. Lines end at "\n" as well.
std::vector<std::wstring> WrapNaively(HDC dc, const std::wstring& text, int width)
{
    auto extent = [dc](const std::wstring& s) {
        SIZE size = {};
        ::GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
        return static_cast<int>(size.cx);
    };
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start <= text.size())
    {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        std::wstring line;
        size_t at = start;
        while (at < end)
        {
            size_t blank = text.find(L' ', at);
            if (blank == std::wstring::npos || blank > end)
                blank = end;
            std::wstring word = text.substr(at, blank - at);
            std::wstring tried = line.empty() ? word : line + L" " + word;
            if (extent(tried) <= width)
                line = tried;
            else
            {
                if (!line.empty())
                    lines.push_back(line);
                line.clear();
                for (wchar_t c : word)
                {
                    if (!line.empty() && extent(line + c) > width)
                    {
                        lines.push_back(line);
                        line.clear();
                    }
                    line += c;
                }
            }
            at = blank + 1;
        }
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

CRect ChildRect(HWND child, HWND parent)
{
    CRect rect;
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

struct MessageDialogSize : ::testing::TestWithParam<const wchar_t*>
{
    CMessageBox* box = nullptr;
    void TearDown() override
    {
        if (box)
        {
            box->DestroyWindow();
            delete box;
        }
    }
};
} // namespace

TEST_P(MessageDialogSize, ShowsTheWholeTextInsideTheWorkArea)
{
    const std::wstring message = GetParam();
    box = new CMessageBox(L"Formstead", message.c_str(), nullptr);
    ASSERT_TRUE(box->Create(CMessageBox::IDD));
    box->ShowWindow(SW_SHOW);
    HWND text = ::GetDlgItem(box->m_hWnd, 1035);
    HWND ok = ::GetDlgItem(box->m_hWnd, IDOK);
    ASSERT_TRUE(text && ok);

    wchar_t shown[1024] = {};
    ::GetWindowTextW(text, shown, 1024);
    EXPECT_EQ(message, shown);

    CRect textClient;
    ::GetClientRect(text, &textClient);
    HDC dc = ::GetDC(text);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(text, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    const std::vector<std::wstring> lines = WrapNaively(dc, message, textClient.Width());
    ::SelectObject(dc, previous);
    ::ReleaseDC(text, dc);
    EXPECT_LE(static_cast<int>(lines.size()) * metrics.tmHeight, textClient.Height())
        << lines.size() << " lines of " << metrics.tmHeight << " px in a static " << textClient.Height() << " px high";

    CRect client;
    box->GetClientRect(&client);
    const CRect textRect = ChildRect(text, box->m_hWnd);
    const CRect okRect = ChildRect(ok, box->m_hWnd);
    EXPECT_GE(textRect.left, 0);
    EXPECT_LE(textRect.right, client.right);
    EXPECT_LE(textRect.bottom, okRect.top);
    EXPECT_GE(okRect.left, 0);
    EXPECT_LE(okRect.right, client.right);
    EXPECT_LE(okRect.bottom, client.bottom);
    EXPECT_NEAR(client.Width() / 2, okRect.CenterPoint().x, 1);

    CRect window;
    box->GetWindowRect(&window);
    MONITORINFO monitor = {sizeof(monitor)};
    ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromWindow(box->m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor));
    EXPECT_GE(window.left, monitor.rcWork.left);
    EXPECT_GE(window.top, monitor.rcWork.top);
    EXPECT_LE(window.right, monitor.rcWork.right);
    EXPECT_LE(window.bottom, monitor.rcWork.bottom);
}

INSTANTIATE_TEST_SUITE_P(EveryMessage, MessageDialogSize, ::testing::ValuesIn(kMessages));

// A text far too long for one line wraps into a dialog wider than the template but no wider than
// the work area, and a one-word text keeps the template's size.
TEST(MessageDialogGrowth, LongTextsWidenAndWrapShortOnesKeepTheTemplateSize)
{
    CMessageBox shortBox(L"Formstead", L"Saved", nullptr);
    ASSERT_TRUE(shortBox.Create(CMessageBox::IDD));
    CRect templateRect(0, 0, 120, 47);
    ::MapDialogRect(shortBox.m_hWnd, &templateRect);
    CRect shortClient;
    shortBox.GetClientRect(&shortClient);
    EXPECT_EQ(templateRect.Width(), shortClient.Width());
    EXPECT_EQ(templateRect.Height(), shortClient.Height());

    std::wstring longText;
    for (int i = 0; i < 60; ++i)
        longText += L"word" + std::to_wstring(i) + L" ";
    CMessageBox longBox(L"Formstead", longText.c_str(), nullptr);
    ASSERT_TRUE(longBox.Create(CMessageBox::IDD));
    CRect longClient;
    longBox.GetClientRect(&longClient);
    CRect work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GT(longClient.Width(), templateRect.Width());
    EXPECT_LE(longClient.Width(), work.Width());
    CRect text;
    ::GetClientRect(::GetDlgItem(longBox.m_hWnd, 1035), &text);
    EXPECT_GE(text.Height(), 2 * 8);   // more than one line of an 8-point font
    shortBox.DestroyWindow();
    longBox.DestroyWindow();
}

// A text longer than the whole work area holds is shown in a scrolling box of the same place: the
// dialog stays on the screen, every line of the text is there, and the box scrolls to its end.
TEST(MessageDialogGrowth, ATextLongerThanTheScreenScrolls)
{
    std::wstring longText;
    for (int i = 0; i < 400; ++i)
        longText += L"Line " + std::to_wstring(i) + L" of a report far longer than any screen.\n";
    longText += L"The last line.";
    CMessageBox box(L"Formstead", longText.c_str(), nullptr);
    ASSERT_TRUE(box.Create(CMessageBox::IDD));
    box.ShowWindow(SW_SHOW);

    CRect window;
    box.GetWindowRect(&window);
    CRect work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(window.top, work.top);
    EXPECT_LE(window.bottom, work.bottom);
    EXPECT_LE(window.Width(), work.Width());

    HWND text = ::GetDlgItem(box.m_hWnd, 1035);
    ASSERT_NE(nullptr, text);
    EXPECT_NE(0, ::GetWindowLongW(text, GWL_STYLE) & WS_VSCROLL);
    std::vector<wchar_t> shown(longText.size() * 2);
    ::GetWindowTextW(text, shown.data(), static_cast<int>(shown.size()));
    std::wstring withBreaks;
    for (wchar_t c : longText)
        withBreaks += c == L'\n' ? std::wstring(L"\r\n") : std::wstring(1, c);
    EXPECT_EQ(withBreaks, std::wstring(shown.data()));
    // Each of the 401 lines is a line of the box (none too wide to wrap at this width).
    EXPECT_GE(::SendMessageW(text, EM_GETLINECOUNT, 0, 0), 401);
    ::SendMessageW(text, WM_VSCROLL, SB_BOTTOM, 0);
    EXPECT_GT(::SendMessageW(text, EM_GETFIRSTVISIBLELINE, 0, 0), 300);

    CRect okRect;
    ::GetWindowRect(::GetDlgItem(box.m_hWnd, IDOK), &okRect);
    CRect textRect;
    ::GetWindowRect(text, &textRect);
    EXPECT_LE(textRect.bottom, okRect.top);
    EXPECT_LE(okRect.bottom, window.bottom);
    box.DestroyWindow();
}
