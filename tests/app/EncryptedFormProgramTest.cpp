// The whole program on forms encrypted with an empty user password (made by the build with qpdf):
// the form registers with exactly the fields pypdf reads from it and shows its filled values; a form
// that needs a password is refused as protected and nothing is registered.
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "pages/FormPage.h"
#include "pages/RegisterForm.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/BrowserCore.h"
#include "viewer/FormWindow.h"
#include "viewer/ViewerTestControl.h"

#include <set>
#include <sstream>

namespace
{
BOOL CALLBACK CollectEdits(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (IsWindowVisible(window) && lstrcmpiW(className, L"Edit") == 0)
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::wstring FromUtf8(const std::string& text)
{
    wchar_t wide[512] = {};
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide, 512);
    return wide;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

struct PypdfField
{
    std::string name, type, value;
};

// The ".fields" file the build wrote with pypdf: name, type and value (UTF-8), tab-separated.
std::vector<PypdfField> ReadPypdfFields(const std::wstring& path)
{
    std::vector<PypdfField> fields;
    std::istringstream lines(ReadWholeFile(path));
    for (std::string line; std::getline(lines, line);)
    {
        const size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
        if (tab1 != std::string::npos && tab2 != std::string::npos)
            fields.push_back({line.substr(0, tab1), line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)});
    }
    return fields;
}

class EncryptedFormProgram : public ::testing::Test
{
protected:
    const std::wstring folder = TestProgramFolder();
    FileGuard container{folder + L"container.htm"};
    FileGuard claimForm{folder + L"claim.pdf"};
    FileGuard database{folder + L"claim.gdb"};
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    std::unique_ptr<ProgramRun> run;

    void SetUp() override
    {
        viewer::TestControl().Reset();
        ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, (folder + L"container.htm").c_str(), FALSE));
        DeleteFileW(Database().c_str());
    }
    void TearDown() override
    {
        run.reset();
        viewer::TestControl().Reset();
    }
    void StartWith(const std::wstring& encryptedForm)
    {
        ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_ENCRYPTED_FORMS_DIR) + encryptedForm).c_str(),
                              (folder + L"claim.pdf").c_str(), FALSE));
        run.reset(new ProgramRun(true));
        ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
    }
    std::wstring Database() const { return folder + L"claim.gdb"; }
    std::vector<std::string> Columns()
    {
        ::Database db;
        EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, "PRAGMA table_info(submissions)")) << query.ErrorText();
        std::vector<std::string> names;
        while (query.Step() == StepResult::Row)
            names.push_back(query.ColumnText(1));
        return names;
    }
};
} // namespace

TEST_F(EncryptedFormProgram, RegistersTheFieldsPypdfReadsAndShowsTheFilledValues)
{
    for (const wchar_t* form : {L"referral-aes-256-filled", L"intake-rc4-40-filled"})
    {
        SCOPED_TRACE(form);
        DeleteFileW(Database().c_str());
        StartWith(std::wstring(form) + L".pdf");
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_TRUE(run->Start());
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(Database()));

        const std::vector<PypdfField> fields = ReadPypdfFields(std::wstring(FORMSTEAD_ENCRYPTED_FORMS_DIR) + form + L".fields");
        ASSERT_FALSE(fields.empty());
        std::vector<std::string> expected;
        for (const PypdfField& f : fields)
            expected.push_back(f.name);
        expected.push_back("submdate");
        expected.push_back("fxml");
        EXPECT_EQ(expected, Columns());

        // Each filled text value shows in an edit control of the form page.
        CPage3& page = *dynamic_cast<CPage3*>(run->View()->GetFormPage());
        std::set<std::wstring> shown;
        ASSERT_TRUE(PumpUntil([&] {
            std::vector<HWND> edits;
            EnumChildWindows(page.m_browser.GetSafeHwnd(), CollectEdits, reinterpret_cast<LPARAM>(&edits));
            shown.clear();
            for (HWND edit : edits)
                shown.insert(WindowText(edit));
            return shown.size() > 1;
        }));
        for (const PypdfField& f : fields)
            if (f.type == "Tx")
                EXPECT_EQ(1u, shown.count(FromUtf8(f.value))) << f.name;
        run.reset();
    }
}

TEST_F(EncryptedFormProgram, AFormNeedingAPasswordIsRefusedAsProtectedAndNothingIsRegistered)
{
    StartWith(L"password-aes-256.pdf");
    DialogDriver driver;
    std::wstring shownError;
    driver.OnDialog(L"New Forms Registration", [&](HWND dialog) {
        RegisterForm* form = dynamic_cast<RegisterForm*>(CWnd::FromHandlePermanent(dialog));
        viewer::BrowserCore* browser = form ? viewer::BrowserCore::FromView(form->m_browser.m_hWnd) : nullptr;
        if (browser && browser->Form())
            shownError = browser->Form()->Error();
        ClickButton(dialog, IDOK);
    });
    driver.Then([&] {
        HWND dialog = FindThreadDialog(L"New Forms Registration");
        if (run->messages.empty() || !dialog)
            return false;
        ClickButton(dialog, IDCANCEL);
        return true;
    });
    run->Start();
    ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
    EXPECT_NE(std::wstring::npos, shownError.find(L"the form is protected by a password")) << shownError;
    ASSERT_FALSE(run->messages.empty());
    EXPECT_EQ(CString(L"Get info from the form failed"), run->messages[0].text);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Database().c_str()));
}
