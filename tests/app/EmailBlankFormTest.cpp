// "Email Blank Form" on the records page of a machine where no mail program takes the message: the
// form page is shown, the blank copy is saved, and a message names the file, so that the user can
// attach it by hand. No mail program: the system cannot start one, or it would only hand the address
// to its web browser (which says nothing and reports itself started).
#include <gtest/gtest.h>

#include <shlwapi.h>

#include "RecordsProgram.h"
#include "framework/Seams.h"
#include "tests/pages/DialogDriver.h"
#include "tests/support/CannotCheck.h"
#include "viewer/FormWindow.h"

namespace
{
const int kEmailBlankForm = 1041;

std::wstring ProgramFor(const wchar_t* scheme)
{
    wchar_t program[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    return AssocQueryStringW(ASSOCF_NONE, ASSOCSTR_EXECUTABLE, scheme, L"open", program, &length) == S_OK
               ? std::wstring(program)
               : std::wstring();
}

struct EmailBlankForm : RecordsProgram
{
    std::vector<std::wstring> opened; // what the program asked the shell to open
    std::wstring copy;

    void SetUp() override
    {
        RecordsProgram::SetUp();
        copy = viewer::BlankCopyPath(folder + L"claim.pdf");
        ::DeleteFileW(copy.c_str());
    }
    void TearDown() override
    {
        AfxSetShellOpener(nullptr);
        RecordsProgram::TearDown();
        ::DeleteFileW(copy.c_str());
        ::RemoveDirectoryW(copy.substr(0, copy.find_last_of(L'\\')).c_str());
    }
    // "Email Blank Form" on the records page: the form page comes, and one message naming the copy.
    void PressAndExpectTheCopyNamed()
    {
        ASSERT_TRUE(Page().IsWindowVisible());
        run->messages.clear();
        ::PostMessageW(Page().GetDlgItem(kEmailBlankForm)->GetSafeHwnd(), BM_CLICK, 0, 0);
        ASSERT_TRUE(PumpUntil([&] { return !run->messages.empty(); }, 20000)) << "no message came";
        EXPECT_EQ(0, Steps().GetCurrentStep());
        EXPECT_TRUE(FormPage().IsWindowVisible());
        ASSERT_EQ(1u, run->messages.size());
        EXPECT_NE(-1, run->messages[0].text.Find(copy.c_str())) << CStringA(run->messages[0].text).GetString();
        // The copy is blank: the form's file as it is, not the record the form showed.
        EXPECT_EQ(ReadWholeFile(folder + L"claim.pdf"), ReadWholeFile(copy));
    }
};
} // namespace

TEST_F(EmailBlankForm, WhenTheSystemStartsNoMailProgramAMessageNamesTheSavedBlankForm)
{
    AfxSetShellOpener([this](HWND, const CString&, const CString& file, const CString&, const CString&, int) {
        opened.push_back(file.GetString());
        return FALSE;
    });
    StartWithRecords({L"Jones"});
    PressAndExpectTheCopyNamed();
    ASSERT_EQ(1u, opened.size());
    EXPECT_EQ(0u, opened[0].find(L"mailto:")) << CStringA(opened[0].c_str()).GetString();
}

TEST_F(EmailBlankForm, WhereMailGoesToTheWebBrowserAMessageNamesTheSavedBlankForm)
{
    // The system's own associations: mail addresses go to the program that opens web pages.
    const std::wstring mail = ProgramFor(L"mailto");
    if (mail.empty() || lstrcmpiW(mail.c_str(), ProgramFor(L"http").c_str()) != 0)
    {
        FORMSTEAD_CANNOT_CHECK() << "a mail program takes mailto: addresses here (" << CStringA(mail.c_str()).GetString()
                                 << ")";
    }
    StartWithRecords({L"Jones"});
    PressAndExpectTheCopyNamed();
}
