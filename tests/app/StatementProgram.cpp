// The statement program fixture: the program folder, profile and logo file prepared and put back.
#include "StatementProgram.h"

#include "formdb/Database.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "pages/FormPage.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

#include "tests/support/OwnUserState.h"

namespace
{
const char kRecordSql[] =
    "INSERT INTO submissions (submdate, fxml) VALUES ('1/15/2024', '<fields><topmostSubform/><numberedFields>"
    "<_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>Baker</_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>"
    "<_24f_1_Charges_dollarsjjjj2>50</_24f_1_Charges_dollarsjjjj2></numberedFields></fields>')";

} // namespace

void StatementProgram::SetUp()
{
    viewer::TestControl().Reset();
    savedContainer = ReadWholeFile(folder + L"container.htm");
    ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, (folder + L"container.htm").c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf").c_str(),
                          (folder + L"claim.pdf").c_str(), FALSE));
    DeleteFileW((folder + L"claim.gdb").c_str());
    logoFolders[0] = OwnAppDataFolder() + L"\\Formstead";
    logoFolders[1] = logoFolders[0] + L"\\0x03";
    logoFolders[2] = logoFolders[1] + L"\\app_test";
    for (int i = 0; i < 3; ++i) existed[i] = GetFileAttributesW(logoFolders[i].c_str()) != INVALID_FILE_ATTRIBUTES;
    ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(LogoFile().c_str())) << "a logo of an earlier run is in the way";
}

void StatementProgram::TearDown()
{
    run.reset();
    AfxSetFileChooser(nullptr);
    for (const wchar_t* name : {L"claim.gdb", L"claim.pdf", L"collections.pdf", L"statement.pdf"})
        DeleteFileW((folder + name).c_str());
    WriteWholeFile(folder + L"container.htm", savedContainer);
    DeleteFileW(LogoFile().c_str());
    for (int i = 2; i >= 0; --i)
        if (!existed[i]) RemoveDirectoryW(logoFolders[i].c_str());
    viewer::TestControl().Reset();
}

void StatementProgram::StartOnStatementList()
{
    run.reset(new ProgramRun(true));
    ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
    {
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_TRUE(run->Start());
    }
    ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(folder + L"claim.gdb"));
    for (const wchar_t* name : {L"collections.pdf", L"statement.pdf"})
        ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + name).c_str(), (folder + name).c_str(), FALSE));
    {
        ::Database db;
        ASSERT_TRUE(db.Open((folder + L"claim.gdb").c_str())) << db.ErrorText();
        ASSERT_TRUE(db.Execute(kRecordSql)) << db.ErrorText();
    }
    CPage3* form = dynamic_cast<CPage3*>(run->View()->GetFormPage());
    ASSERT_NE(nullptr, form);
    viewer::NavigateFromPageForTest(form->m_browser.GetSafeHwnd(), L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>1</ID>"); }));
}

CString StatementProgram::Profile(const wchar_t* entry)
{
    return AfxGetApp()->GetProfileString(L"HeaderInfo", entry, L"<none>");
}

CCollectionsPage* StatementProgram::Page()
{
    return dynamic_cast<CCollectionsPage*>(run->View()->GetCollectionsPage());
}

void StatementProgram::Follow(const wchar_t* address)
{
    viewer::NavigateFromPageForTest(Page()->m_browser.GetSafeHwnd(), address);
}

std::wstring StatementProgram::SentElement(const std::wstring& name)
{
    const std::wstring& sent = Page()->m_lastSent;
    const size_t open = sent.find(L"<" + name + L">");
    if (open == std::wstring::npos) return L"<none>";
    const size_t start = open + name.size() + 2;
    const size_t close = sent.find(L"</" + name + L">", start);
    return close == std::wstring::npos ? L"<none>" : sent.substr(start, close - start);
}
