// A logo letterhead set through the statement's letterhead dialogs in the whole program: the image the
// user chooses becomes base64 in the logo file and reaches the statement's data with its two scales.
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "formdb/Database.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "pages/CollectionsPage.h"
#include "pages/FormPage.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

#include <shlobj.h>
#include <algorithm>

namespace
{
// A 4 x 2 pixel 24-bit BMP, every pixel a different colour.
const char kBitmap[] =
    "\x42\x4D\x4E\x00\x00\x00\x00\x00\x00\x00\x36\x00\x00\x00\x28\x00\x00\x00\x04\x00\x00\x00\x02\x00\x00\x00"
    "\x01\x00\x18\x00\x00\x00\x00\x00\x18\x00\x00\x00\x13\x0B\x00\x00\x13\x0B\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x0A\x14\x1E\x28\x32\x3C\x46\x50\x5A\x64\x6E\x78\xC8\xBE\xB4\xAA\xA0\x96\x8C\x82\x78\x6E\x64\x5A";
// Its base64 in lines of 76 (Python's base64 module) and its scales against the 646 x 148 box
// (Python: "%f" % (2 / 148), "%f" % (4 / 646)).
const wchar_t kBase64Line1[] = L"Qk1OAAAAAAAAADYAAAAoAAAABAAAAAIAAAABABgAAAAAABgAAAATCwAAEwsAAAAAAAAAAAAAChQe";
const wchar_t kBase64Line2[] = L"KDI8RlBaZG54yL60qqCWjIJ4bmRa";
const wchar_t kHeaderKey[] = L"Software\\Formstead\\Formstead\\HeaderInfo";

const char kRecordSql[] =
    "INSERT INTO submissions (submdate, fxml) VALUES ('1/15/2024', '<fields><topmostSubform/><numberedFields>"
    "<_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>Baker</_2_PATIENT_S_NAME_Last_First_Middle_Initialjjjj1>"
    "<_24f_1_Charges_dollarsjjjj2>50</_24f_1_Charges_dollarsjjjj2></numberedFields></fields>')";

struct LogoLetterhead : ::testing::Test
{
    const std::wstring folder = TestProgramFolder();
    std::string savedContainer;
    std::unique_ptr<ProgramRun> run;
    std::wstring logoFolders[3]; // Formstead, 0x03, the program's store folder under application data
    bool existed[3] = {};

    void SetUp() override
    {
        viewer::TestControl().Reset();
        savedContainer = ReadWholeFile(folder + L"container.htm");
        ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, (folder + L"container.htm").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf").c_str(),
                              (folder + L"claim.pdf").c_str(), FALSE));
        DeleteFileW((folder + L"claim.gdb").c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kHeaderKey);
        wchar_t appData[MAX_PATH] = {};
        ASSERT_TRUE(SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appData)));
        logoFolders[0] = std::wstring(appData) + L"\\Formstead";
        logoFolders[1] = logoFolders[0] + L"\\0x03";
        logoFolders[2] = logoFolders[1] + L"\\app_test";
        for (int i = 0; i < 3; ++i) existed[i] = GetFileAttributesW(logoFolders[i].c_str()) != INVALID_FILE_ATTRIBUTES;
        ASSERT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(LogoFile().c_str())) << "a logo of an earlier run is in the way";
    }
    void TearDown() override
    {
        run.reset();
        AfxSetFileChooser(nullptr);
        for (const wchar_t* name : {L"claim.gdb", L"claim.pdf", L"collections.pdf", L"statement.pdf"})
            DeleteFileW((folder + name).c_str());
        WriteWholeFile(folder + L"container.htm", savedContainer);
        DeleteFileW(LogoFile().c_str());
        for (int i = 2; i >= 0; --i)
            if (!existed[i]) RemoveDirectoryW(logoFolders[i].c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kHeaderKey);
        viewer::TestControl().Reset();
    }
    std::wstring LogoFile() const { return logoFolders[2] + L"\\header64.ttt"; }

    CCollectionsPage* Page() { return dynamic_cast<CCollectionsPage*>(run->View()->GetCollectionsPage()); }
    bool Sent(const std::wstring& text) { return Page() && Page()->m_lastSent.find(text) != std::wstring::npos; }
    void Follow(const wchar_t* address) { viewer::NavigateFromPageForTest(Page()->m_browser.GetSafeHwnd(), address); }
    // The text of the first element of that name in the data last sent; "<none>" without one.
    std::wstring SentElement(const std::wstring& name)
    {
        const std::wstring& sent = Page()->m_lastSent;
        const size_t open = sent.find(L"<" + name + L">");
        if (open == std::wstring::npos) return L"<none>";
        const size_t start = open + name.size() + 2;
        const size_t close = sent.find(L"</" + name + L">", start);
        return close == std::wstring::npos ? L"<none>" : sent.substr(start, close - start);
    }
};
} // namespace

TEST_F(LogoLetterhead, ChosenImageReachesTheStatementData)
{
    TempFolder images;
    const std::wstring image = images.File(L"logo.bmp");
    ASSERT_TRUE(WriteWholeFile(image, std::string(kBitmap, sizeof kBitmap - 1)));

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
    Follow(L"app:viewStatement?1");
    // The statement's data carries the logo elements; the list's never does.
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ImageLogoSize>"); }));
    EXPECT_EQ(L"1", SentElement(L"ImageLogoSize"));
    EXPECT_EQ(L"1", SentElement(L"TextLogo"));
    EXPECT_TRUE(Sent(L"<ImageField1/>") || Sent(L"<ImageField1 />") || Sent(L"<ImageField1></ImageField1>")); // no logo yet

    // "Insert Logo" in the letterhead chooser; the user picks the image in the file dialog.
    int chooserCalls = 0;
    AfxSetFileChooser([&](OPENFILENAMEW& ofn, bool open) {
        ++chooserCalls;
        EXPECT_TRUE(open);
        EXPECT_STREQ(L"Image files (*.jpg,*.jpeg)", ofn.lpstrFilter);
        lstrcpynW(ofn.lpstrFile, image.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    DialogDriver driver;
    driver.OnDialog(L"Header", [](HWND dialog) { ClickButton(dialog, 1015); });
    Follow(L"app:toSetHeader");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<TextLogo>0</TextLogo>"); }));
    ASSERT_TRUE(PumpUntil([&] { return FindThreadDialog(L"Header") == nullptr; }));
    EXPECT_EQ(1, chooserCalls);

    std::wstring logo = SentElement(L"ImageField1");
    logo.erase(std::remove(logo.begin(), logo.end(), L'\r'), logo.end());
    EXPECT_EQ(std::wstring(kBase64Line1) + L"\n" + kBase64Line2, logo);
    EXPECT_EQ(L"0.013514", SentElement(L"ImageLogoSize"));
    EXPECT_EQ(L"0.006192", SentElement(L"Imagez2LogoSize"));
    EXPECT_EQ(L"<ID>1</ID>", L"<ID>" + SentElement(L"ID") + L"</ID>");
    // What the data was made from: the profile and the logo file (UTF-16LE, CR LF after 76).
    EXPECT_EQ(CString(L"1"), AfxGetApp()->GetProfileString(L"HeaderInfo", L"HeaderType", L"none"));
    EXPECT_EQ(CString(image.c_str()), AfxGetApp()->GetProfileString(L"HeaderInfo", L"ImagePath", L"none"));
    const std::wstring stored = std::wstring(kBase64Line1) + L"\r\n" + kBase64Line2;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.data()), stored.size() * 2), ReadWholeFile(LogoFile()));

    // Back in the list, the logo is not sent.
    Follow(L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>1</ID>") && !Sent(L"ImageField1"); }));
    EXPECT_EQ(L"<none>", SentElement(L"ImageLogoSize"));
}
