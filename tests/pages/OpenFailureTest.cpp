// Files the form page hands to the system to open, when no program opens them: the user is told,
// and told the file's full path (the text dump and the blank form stay saved where it says). The
// failure comes from the framework's shell-open seam, as the system would answer it.
#include <gtest/gtest.h>

#include "bridge/BridgeProtocol.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "viewer/ViewerTestControl.h"

namespace {

const int kClearingHouse = 1044;
const int kHelpLink = 1015;

// The registered claim form on the page; every shell open fails and is recorded.
class OpenFailure : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(fixture.ShowRegistered());
        AfxSetShellOpener([this](HWND, const CString&, const CString& file, const CString&, const CString&, int) {
            opened.push_back(file.GetString());
            return FALSE;
        });
    }
    void TearDown() override
    {
        AfxSetShellOpener(nullptr);
        AfxSetFileChooser(nullptr);
    }
    void ChooseSavePath(const std::wstring& path)
    {
        AfxSetFileChooser([path](OPENFILENAMEW& ofn, bool) {
            lstrcpynW(ofn.lpstrFile, path.c_str(), ofn.nMaxFile);
            return TRUE;
        });
    }

    FormPageFixture fixture;
    std::vector<std::wstring> opened;
};

} // namespace

TEST_F(OpenFailure, TheTextDumpThatNoProgramOpensIsNamed)
{
    ChooseSavePath(fixture.store.File(L"dump"));
    ::PostMessageW(fixture.Button(kClearingHouse), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !fixture.boxes.empty(); }));
    const std::wstring dump = fixture.store.File(L"dump.txt");
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(dump, opened[0]);
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_EQ(L"The text dump was saved to " + dump + L", but no program could open it.", fixture.boxes[0].text);
    EXPECT_EQ(L"Formstead", fixture.boxes[0].caption);
    EXPECT_FALSE(ReadWholeFile(dump).empty()) << "the dump is where the message says";
}

TEST_F(OpenFailure, ADumpFileThatCannotBeWrittenIsNotOpened)
{
    // A folder stands where the dump file would go: it can be neither opened nor made.
    const std::wstring blocked = fixture.store.File(L"blocked.txt");
    ASSERT_TRUE(::CreateDirectoryW(blocked.c_str(), nullptr));
    ChooseSavePath(fixture.store.File(L"blocked"));
    ::PostMessageW(fixture.Button(kClearingHouse), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !fixture.boxes.empty(); }));
    ::RemoveDirectoryW(blocked.c_str());
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_EQ(L"Can not open file to write to", fixture.boxes[0].text);
    EXPECT_TRUE(opened.empty());
}

TEST_F(OpenFailure, TheHelpPageThatNoProgramOpensIsNamed)
{
    ClickButton(fixture.page.m_zoomer.GetSafeHwnd(), kHelpLink);
    ASSERT_TRUE(PumpUntil([&] { return !fixture.boxes.empty(); }));
    const std::wstring help = fixture.program.Path() + L"acrohelp.htm";
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(help, opened[0]);
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_EQ(L"The help page " + help + L" could not be opened.", fixture.boxes[0].text);
}

TEST_F(OpenFailure, TheBlankFormThatNoMailProgramTakesIsNamed)
{
    // What "Email Blank Form" sends to the form page once it is shown.
    const std::wstring copy = viewer::BlankCopyPath(fixture.store.File(L"claim.pdf"));
    SendBridgeCommand(fixture.page.m_browser, L"EmailForm");
    ASSERT_TRUE(PumpUntil([&] { return !fixture.boxes.empty(); }));
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(0u, opened[0].find(L"mailto:"));
    ASSERT_EQ(1u, fixture.boxes.size());
    EXPECT_NE(std::wstring::npos, fixture.boxes[0].text.find(copy)) << fixture.boxes[0].text;
    EXPECT_EQ(ReadWholeFile(fixture.store.File(L"claim.pdf")), ReadWholeFile(copy));
    ::DeleteFileW(copy.c_str());
    ::RemoveDirectoryW(copy.substr(0, copy.find_last_of(L'\\')).c_str());
}
