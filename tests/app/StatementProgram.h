// The whole program on the claim form with one saved claim, its patient statements a click away:
// the letterhead settings, the logo file and the program folder's files are the test's own and put
// back in teardown.
#pragma once
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "pages/CollectionsPage.h"

#include <memory>
#include <string>

struct StatementProgram : ::testing::Test
{
    const std::wstring folder = TestProgramFolder();
    std::string savedContainer;
    std::unique_ptr<ProgramRun> run;
    std::wstring logoFolders[3]; // Formstead, 0x03, the program's store folder under application data
    bool existed[3] = {};

    void SetUp() override;
    void TearDown() override;
    std::wstring LogoFile() const { return logoFolders[2] + L"\\header64.ttt"; }
    // The program started on the claim form with one saved record, its collections list shown.
    void StartOnStatementList();
    CString Profile(const wchar_t* entry);

    CCollectionsPage* Page();
    bool Sent(const std::wstring& text) { return Page() && Page()->m_lastSent.find(text) != std::wstring::npos; }
    void Follow(const wchar_t* address);
    // The text of the first element of that name in the data last sent; "<none>" without one.
    std::wstring SentElement(const std::wstring& name);
};
