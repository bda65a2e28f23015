// The application object's profile settings in the registry, command-line splitting, the message
// box sink and the other seams, and date handling.
#include <gtest/gtest.h>
#include "framework/Framework.h"
#include <vector>
#include "tests/support/OwnUserState.h"

namespace
{
// The test executable's application object (no message loop runs; the tests drive it).
CWinApp theTestApp(L"FrameworkTestApp");

struct RecordedBox
{
    HWND owner;
    CString text;
    CString caption;
    UINT type;
};

struct SinkScope
{
    std::vector<RecordedBox> boxes;
    int answer = IDOK;
    SinkScope()
    {
        AfxSetMessageBoxSink([this](HWND owner, const CString& text, const CString& caption, UINT type) {
            boxes.push_back({owner, text, caption, type});
            return answer;
        });
    }
    ~SinkScope() { AfxSetMessageBoxSink(nullptr); }
};

class ParamRecorder : public CCommandLineInfo
{
public:
    struct Param { CString text; BOOL flag; BOOL last; };
    std::vector<Param> params;
    void ParseParam(const TCHAR* param, BOOL flag, BOOL last) override { params.push_back({param, flag, last}); }
};
}

TEST(Profile, ValuesRoundTripThroughTheRegistryKey)
{
    theTestApp.SetRegistryKey(L"FormsteadFrameworkTest");
    EXPECT_EQ(CString(L"FrameworkTestApp"), CString(theTestApp.m_pszProfileName));
    EXPECT_EQ(77u, theTestApp.GetProfileInt(L"Section", L"Missing", 77));
    EXPECT_TRUE(theTestApp.WriteProfileInt(L"Section", L"Number", -5));
    EXPECT_EQ(-5, (int)theTestApp.GetProfileInt(L"Section", L"Number", 0));
    EXPECT_TRUE(theTestApp.WriteProfileString(L"Section", L"Text", L"hello"));
    EXPECT_EQ(CString(L"hello"), theTestApp.GetProfileString(L"Section", L"Text"));
    EXPECT_EQ(CString(L"fallback"), theTestApp.GetProfileString(L"Section", L"Absent", L"fallback"));
    // A value of the wrong type reads as absent.
    EXPECT_EQ(9u, theTestApp.GetProfileInt(L"Section", L"Text", 9));

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, (OwnRegistryKey() + L"\\FrameworkTestApp\\Section").c_str(), 0, KEY_READ, &key));
    DWORD value = 0, size = sizeof(value), type = 0;
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExW(key, L"Number", nullptr, &type, (BYTE*)&value, &size));
    EXPECT_EQ((DWORD)REG_DWORD, type);
    EXPECT_EQ((DWORD)-5, value);
    ::RegCloseKey(key);
    // The key named to SetRegistryKey stays untouched while the test's own key stands in for it.
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\FormsteadFrameworkTest", 0, KEY_READ, &key));

    EXPECT_TRUE(theTestApp.WriteProfileString(L"Section", L"Text", nullptr));
    EXPECT_EQ(CString(L"gone"), theTestApp.GetProfileString(L"Section", L"Text", L"gone"));
    EXPECT_TRUE(theTestApp.WriteProfileString(L"Section", nullptr, nullptr));
    EXPECT_EQ(3u, theTestApp.GetProfileInt(L"Section", L"Number", 3));
}

TEST(CommandLine, SwitchMarksAreRemovedAndTheLastArgumentIsFlagged)
{
    ParamRecorder recorder;
    theTestApp.ParseCommandLine(recorder, L"prog.exe test /Test -x \"two words\"");
    ASSERT_EQ(4u, recorder.params.size());
    EXPECT_EQ(CString(L"test"), recorder.params[0].text);
    EXPECT_FALSE(recorder.params[0].flag);
    EXPECT_EQ(CString(L"Test"), recorder.params[1].text);
    EXPECT_TRUE(recorder.params[1].flag);
    EXPECT_EQ(CString(L"x"), recorder.params[2].text);
    EXPECT_TRUE(recorder.params[2].flag);
    EXPECT_EQ(CString(L"two words"), recorder.params[3].text);
    EXPECT_TRUE(recorder.params[3].last);
    EXPECT_FALSE(recorder.params[2].last);

    CCommandLineInfo plain;
    theTestApp.ParseCommandLine(plain, L"prog.exe");
    EXPECT_EQ((int)CCommandLineInfo::FileNew, plain.m_nShellCommand);
    theTestApp.ParseCommandLine(plain, L"prog.exe -flag file.dat");
    EXPECT_EQ((int)CCommandLineInfo::FileOpen, plain.m_nShellCommand);
    EXPECT_EQ(CString(L"file.dat"), plain.m_strFileName);
}

TEST(Seams, EveryMessageBoxGoesThroughTheSink)
{
    SinkScope sink;
    sink.answer = IDNO;
    EXPECT_EQ(IDNO, AfxMessageBox(L"plain", MB_YESNO));
    CWnd window;
    ASSERT_TRUE(window.CreateEx(0, nullptr, L"w", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    sink.answer = IDOK;
    EXPECT_EQ(IDOK, window.MessageBox(L"owned"));
    EXPECT_EQ(IDOK, window.MessageBox(L"captioned", L"db", MB_ICONERROR));
    EXPECT_EQ(IDOK, AfxMessageBox(9031));
    ASSERT_EQ(4u, sink.boxes.size());
    EXPECT_EQ(CString(L"plain"), sink.boxes[0].text);
    EXPECT_EQ(CString(L"FrameworkTestApp"), sink.boxes[0].caption);   // the program's name
    EXPECT_EQ((UINT)MB_YESNO, sink.boxes[0].type);
    EXPECT_EQ(window.m_hWnd, sink.boxes[1].owner);
    EXPECT_EQ(CString(L"FrameworkTestApp"), sink.boxes[1].caption);
    EXPECT_EQ(CString(L"db"), sink.boxes[2].caption);
    EXPECT_EQ(CString(L"Prompt from the string table"), sink.boxes[3].text);
    window.DestroyWindow();
}

TEST(Seams, FileDialogConvertsItsFilterAndReadsSeveralChoices)
{
    std::wstring seenFilter;
    bool seenOpen = false;
    AfxSetFileChooser([&](OPENFILENAMEW& ofn, bool open) {
        seenOpen = open;
        for (const wchar_t* p = ofn.lpstrFilter; *p; p += lstrlenW(p) + 1)
            seenFilter += std::wstring(p) + L"|";
        const wchar_t chosen[] = L"C:\\forms\0a.pdf\0b.pdf\0";
        memcpy(ofn.lpstrFile, chosen, sizeof(chosen));
        return TRUE;
    });
    CFileDialog dialog(TRUE, nullptr, nullptr, OFN_ALLOWMULTISELECT, L"PDF Documents (*.pdf)|*.pdf|");
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_TRUE(seenOpen);
    EXPECT_EQ(std::wstring(L"PDF Documents (*.pdf)|*.pdf|"), seenFilter);
    POSITION pos = dialog.GetStartPosition();
    EXPECT_EQ(CString(L"C:\\forms\\a.pdf"), dialog.GetNextPathName(pos));
    EXPECT_EQ(CString(L"C:\\forms\\b.pdf"), dialog.GetNextPathName(pos));
    EXPECT_EQ(nullptr, pos);

    AfxSetFileChooser([](OPENFILENAMEW& ofn, bool) {
        lstrcpyW(ofn.lpstrFile, L"C:\\out\\dump.report.txt");
        return TRUE;
    });
    CFileDialog save(FALSE, nullptr, L"dump", OFN_OVERWRITEPROMPT, L"Text Documents (*.txt)|*.txt|");
    EXPECT_EQ(IDOK, save.DoModal());
    EXPECT_EQ(CString(L"C:\\out\\dump.report.txt"), save.GetPathName());
    EXPECT_EQ(CString(L"dump.report.txt"), save.GetFileName());
    EXPECT_EQ(CString(L"txt"), save.GetFileExt());
    EXPECT_EQ(CString(L"dump.report"), save.GetFileTitle());

    AfxSetFileChooser([](OPENFILENAMEW&, bool) { return FALSE; });
    CFileDialog cancelled(TRUE);
    EXPECT_EQ(IDCANCEL, cancelled.DoModal());
    AfxSetFileChooser(nullptr);
}

TEST(Seams, ShellOpenAndClockCanBeReplaced)
{
    CString opened;
    AfxSetShellOpener([&](HWND, const CString& verb, const CString& file, const CString&, const CString&, int) {
        opened = verb + L" " + file;
        return TRUE;
    });
    EXPECT_TRUE(AfxShellOpen(nullptr, L"open", L"C:\\dump.txt"));
    EXPECT_EQ(CString(L"open C:\\dump.txt"), opened);
    AfxSetShellOpener(nullptr);

    AfxSetClock([] { SYSTEMTIME st = {}; st.wYear = 2024; st.wMonth = 2; st.wDay = 29; st.wHour = 13; return st; });
    COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(2024, now.GetYear());
    EXPECT_EQ(2, now.GetMonth());
    EXPECT_EQ(29, now.GetDay());
    EXPECT_EQ(CString(L"02/29/2024 13"), now.Format(L"%m/%d/%Y %H"));
    AfxSetClock(nullptr);
}

TEST(OleDateTime, ParsesAndRejectsAndChecksCalendarDates)
{
    COleDateTime date;
    EXPECT_TRUE(date.ParseDateTime(L"12/31/2020", 0, MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)));
    EXPECT_EQ(COleDateTime::valid, date.GetStatus());
    EXPECT_EQ(2020, date.GetYear());
    EXPECT_EQ(12, date.GetMonth());
    EXPECT_EQ(31, date.GetDay());
    EXPECT_FALSE(date.ParseDateTime(L"not a date"));
    EXPECT_EQ(COleDateTime::invalid, date.GetStatus());
    EXPECT_EQ(CString(), date.Format(L"%Y"));
    EXPECT_EQ(0, date.SetDate(2021, 3, 4));
    EXPECT_EQ(4, date.GetDay());
    EXPECT_EQ(1, date.SetDate(2021, 2, 30));   // no 30 February
    EXPECT_EQ(COleDateTime::invalid, date.GetStatus());
    COleDateTime earlier(2020, 1, 1, 0, 0, 0), later(2020, 1, 2, 0, 0, 0);
    EXPECT_TRUE(earlier < later);
}
