// The form store folder as a function of test mode, module path and application-data folder, the
// creation of its chain, the empty-store message, and the current form as the first PDF.
#include <gtest/gtest.h>
#include "ProgramFixture.h"
#include "app/FormStore.h"
#include "tests/support/ScopedState.h"
#include "tests/support/OwnUserState.h"

TEST(FormStore, FolderFollowsTestModeModuleAndAppData)
{
    EXPECT_EQ(CString(L"C:\\prog\\"), ComposeStoreFolder(true, L"C:\\prog\\", L"C:\\prog\\Formstead.exe", L"C:\\data"));
    EXPECT_EQ(CString(L"C:\\data\\Formstead\\0x03\\Formstead"),
              ComposeStoreFolder(false, L"C:\\prog\\", L"C:\\prog\\Formstead.exe", L"C:\\data"));
    EXPECT_EQ(CString(L"C:\\data\\Formstead\\0x03\\Form.stead"),
              ComposeStoreFolder(false, L"C:\\prog\\", L"C:\\prog\\Form.stead.exe", L"C:\\data"));
    // A full stop in a folder name is not the executable's.
    EXPECT_EQ(CString(L"C:\\data\\Formstead\\0x03\\Formstead"),
              ComposeStoreFolder(false, L"C:\\v1.2\\", L"C:\\v1.2\\Formstead", L"C:\\data"));
    EXPECT_EQ(CString(L"C:\\prog\\"), ProgramFolderOf(L"C:\\prog\\Formstead.exe"));
}

TEST(FormStore, ApplicationDataChainIsCreatedLevelByLevel)
{
    const std::wstring appData = OwnAppDataFolder();
    CString store = PrepareStoreFolder(false, L"C:\\ignored\\");
    CString expected = CString(appData.c_str()) + L"\\Formstead\\0x03\\" + ExecutableBaseName(CString(TestProgramFolder().c_str()) + L"app_test.exe");
    EXPECT_EQ(expected, store);
    DWORD attributes = ::GetFileAttributesW(store);
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_NE(0u, attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FormStore, TheFirstPdfIsTheFormEvenWithADoubledBackslash)
{
    TempFolder folder;
    EXPECT_EQ(CString(), FirstFormIn(folder.Path().c_str()));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"notes.txt"), "x"));
    EXPECT_EQ(CString(), FirstFormIn(folder.Path().c_str()));
    ASSERT_TRUE(WriteWholeFile(folder.File(L"cms.1500.pdf"), "%PDF"));
    EXPECT_EQ(CString(L"cms.1500"), FirstFormIn(folder.Path().c_str()));   // path ends in a backslash
    ASSERT_TRUE(WriteWholeFile(folder.File(L"other.pdf"), "%PDF"));
    CString first = FirstFormIn(folder.Path().c_str());
    EXPECT_TRUE(first == L"cms.1500" || first == L"other") << "found " << CStringA(first).GetString();
}

TEST(FormStore, NormalModeWithAnEmptyStoreSaysSoAndGoesOnWithoutAForm)
{
    wchar_t modulePath[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    CString store = PrepareStoreFolder(false, ProgramFolderOf(modulePath));
    EXPECT_EQ(CString(OwnAppDataFolder().c_str()) + L"\\Formstead\\0x03\\app_test", store);
    FileGuard container(TestProgramFolder() + L"container.htm");
    FileGuard form(std::wstring(store) + L"\\claim.pdf");
    WriteWholeFile(container.Path(), "<html></html>");
    ProgramRun run;
    ASSERT_TRUE(MakeMasterDatabase(run.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(run.Start(L"Formstead.exe"));
    ASSERT_EQ(1u, run.messages.size());
    EXPECT_EQ(0, run.messages[0].text.Find(L"The form store folder is empty.\r\nMaybe your installation is corrupted."));
    EXPECT_NE(-1, run.messages[0].text.Find(L"Details: Error Code 1001. [" + store + L"]"));
    EXPECT_EQ(CString(L"Formstead"), run.messages[0].caption);   // no caption given: the program's name
    EXPECT_EQ(store, run.View()->GetStoreFolder());
    EXPECT_EQ(CString(), run.View()->GetFormName());
    run.Close();

    // With a form in the store: no message, and that form is the current one.
    ASSERT_TRUE(WriteWholeFile(std::wstring(store) + L"\\claim.pdf", "%PDF"));
    ProgramRun withForm;
    ASSERT_TRUE(MakeMasterDatabase(withForm.folder.File(L"Vantorel.gdb"), MasterContent()));
    ASSERT_TRUE(withForm.Start(L"Formstead.exe"));
    EXPECT_TRUE(withForm.messages.empty());
    EXPECT_EQ(CString(L"claim"), withForm.View()->GetFormName());
    EXPECT_EQ(store + L"\\claim.pdf", withForm.View()->GetFormFile(L".pdf"));
    withForm.Close();
}
