// A logo letterhead set through the statement's letterhead dialogs in the whole program: the image the
// user chooses becomes base64 in the logo file and reaches the statement's data with its two scales.
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "StatementProgram.h"
#include "formdb/Database.h"
#include "formdb/FormDatabase.h"
#include "framework/Seams.h"
#include "pages/CollectionsPage.h"
#include "pages/FormPage.h"
#include "pages/HeaderText.h"
#include "tests/pages/DialogDriver.h"
#include "tests/support/OwnUserState.h"
#include "viewer/ViewerTestControl.h"

#include <algorithm>
#include <utility>
#include <vector>

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
// The statement program of the letterhead tests.
struct LogoLetterhead : StatementProgram
{
};
} // namespace

TEST_F(LogoLetterhead, ChosenImageReachesTheStatementData)
{
    TempFolder images;
    const std::wstring image = images.File(L"logo.bmp");
    ASSERT_TRUE(WriteWholeFile(image, std::string(kBitmap, sizeof kBitmap - 1)));

    StartOnStatementList();
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
    // The profile the program wrote is the test's own key, never the user's.
    HKEY header = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, (OwnRegistryKey() + L"\\Formstead\\HeaderInfo").c_str(), 0,
                                             KEY_READ, &header));
    wchar_t headerType[8] = {};
    DWORD size = sizeof headerType;
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExW(header, L"HeaderType", nullptr, nullptr, (BYTE*)headerType, &size));
    ::RegCloseKey(header);
    EXPECT_STREQ(L"1", headerType);
    const std::wstring stored = std::wstring(kBase64Line1) + L"\r\n" + kBase64Line2;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(stored.data()), stored.size() * 2), ReadWholeFile(LogoFile()));

    // Back in the list, the logo is not sent.
    Follow(L"app:toStatements");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ID>1</ID>") && !Sent(L"ImageField1"); }));
    EXPECT_EQ(L"<none>", SentElement(L"ImageLogoSize"));
}

namespace
{
size_t FieldSetsSent()
{
    size_t count = 0;
    for (const std::wstring& command : viewer::TestControl().commands)
        if (command.compare(0, 9, L"FieldSet|") == 0) ++count;
    return count;
}

// The user's close box of a dialog (a dialog without a Cancel button is cancelled this way too).
void CloseBox(HWND dialog)
{
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::wstring SelectedItem(HWND combo)
{
    const int index = static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0));
    if (index < 0) return L"<none>";
    wchar_t text[64] = {};
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

} // namespace

TEST_F(LogoLetterhead, CancelledChoicesChangeNothingAndSendNothing)
{
    StartOnStatementList();
    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ImageLogoSize>"); }));
    PumpPending();
    const size_t sentBefore = FieldSetsSent();

    // "Insert Text", then the text dialog closed without "OK": the chooser closes too.
    {
        DialogDriver driver;
        driver.OnDialog(L"Header", [](HWND dialog) { ClickButton(dialog, 1016); });
        driver.OnDialog(L"Text Header Setup", [](HWND dialog) {
            SetDlgItemTextW(dialog, 1024, L"Not saved");
            CloseBox(dialog);
        });
        Follow(L"app:toSetHeader");
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
        ASSERT_TRUE(PumpUntil([&] { return FindThreadDialog(L"Header") == nullptr && FindThreadDialog(L"Text Header Setup") == nullptr; }));
    }
    EXPECT_EQ(CString(L"<none>"), Profile(L"HeaderText"));
    EXPECT_EQ(CString(L"<none>"), Profile(L"HeaderType"));

    // "Insert Logo", the file dialog cancelled: the chooser stays open until the user closes it.
    int chooserCalls = 0;
    AfxSetFileChooser([&](OPENFILENAMEW&, bool) {
        ++chooserCalls;
        return FALSE;
    });
    bool stayedOpen = false;
    {
        DialogDriver driver;
        driver.OnDialog(L"Header", [](HWND dialog) { ClickButton(dialog, 1015); });
        driver.Then([&] {
            HWND header = FindThreadDialog(L"Header");
            if (chooserCalls == 0 || !header) return false;
            stayedOpen = true;
            CloseBox(header);
            return true;
        });
        Follow(L"app:toSetHeader");
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle() && FindThreadDialog(L"Header") == nullptr; }));
    }
    EXPECT_EQ(1, chooserCalls);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(CString(L"<none>"), Profile(L"ImagePath"));
    EXPECT_EQ(CString(L"<none>"), Profile(L"HeaderType"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(LogoFile().c_str()));

    // The chooser itself closed: nothing either.
    {
        DialogDriver driver;
        driver.OnDialog(L"Header", [](HWND dialog) { CloseBox(dialog); });
        Follow(L"app:toSetHeader");
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle() && FindThreadDialog(L"Header") == nullptr; }));
    }
    PumpPending();
    EXPECT_EQ(sentBefore, FieldSetsSent()); // no data was built and sent again
    EXPECT_TRUE(Sent(L"<TextLogo>1</TextLogo>"));
}

TEST_F(LogoLetterhead, TextDialogListsSortedItemsAndSearchesTheSizeFromTheSecondItem)
{
    StartOnStatementList();
    // Stored size, then the item selected: the search starts at the second item ("12" for "1", not
    // "10") and goes on from the first after the last ("10" itself is found only then).
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"1", L"12"}, {L"16", L"16"}, {L"10", L"10"}, {L"7", L"7"}, {L"6", L"64"}, {L"99", L"<none>"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(AfxGetApp()->WriteProfileString(L"HeaderInfo", L"HeaderFSize", c.first));
        ASSERT_TRUE(AfxGetApp()->WriteProfileString(L"HeaderInfo", L"HeaderFName", L"Typed Font"));
        std::wstring selected, font;
        std::vector<std::wstring> sizes, fonts;
        DialogDriver driver;
        driver.OnDialog(L"Text Header Setup", [&](HWND dialog) {
            selected = SelectedItem(GetDlgItem(dialog, 1026));
            sizes = ComboItems(GetDlgItem(dialog, 1026));
            fonts = ComboItems(GetDlgItem(dialog, 1030));
            wchar_t text[64] = {};
            GetDlgItemTextW(dialog, 1030, text, 64);
            font = text;
            CloseBox(dialog);
        });
        HeaderText dialog(run->Frame());
        EXPECT_EQ(IDCANCEL, dialog.DoModal());
        EXPECT_EQ(c.second, selected) << "stored " << CStringA(c.first).GetString();
        EXPECT_EQ(L"Typed Font", font);
        EXPECT_EQ((std::vector<std::wstring>{L"10", L"12", L"14", L"16", L"18", L"20", L"22", L"24", L"26", L"32",
                                             L"64", L"7", L"8"}),
                  sizes);
        EXPECT_EQ((std::vector<std::wstring>{L"Arial", L"Arial Black", L"Calibri", L"Cambria", L"Courier New",
                                             L"Helvetica", L"Myriad Pro Black", L"Times New Roman"}),
                  fonts);
    }
    // "OK" takes the selected item: "12" for a stored "1".
    ASSERT_TRUE(AfxGetApp()->WriteProfileString(L"HeaderInfo", L"HeaderFSize", L"1"));
    DialogDriver driver;
    driver.OnDialog(L"Text Header Setup", [](HWND dialog) { ClickButton(dialog, IDOK); });
    HeaderText dialog(run->Frame());
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(CString(L"12"), Profile(L"HeaderFSize"));
    EXPECT_EQ(CString(L"0"), Profile(L"HeaderType"));
}

TEST_F(LogoLetterhead, UnreadableImageIsReportedAndChangesNothing)
{
    // A file that cannot be read leaves the letterhead as it was (no half-made logo): the program
    // names the file, and the chooser stays open for another try.
    TempFolder images;
    const std::wstring missing = images.File(L"gone.jpg");
    StartOnStatementList();
    Follow(L"app:viewStatement?1");
    ASSERT_TRUE(PumpUntil([&] { return Sent(L"<ImageLogoSize>"); }));
    PumpPending();
    const size_t sentBefore = FieldSetsSent();
    ASSERT_TRUE(AfxGetApp()->WriteProfileString(L"HeaderInfo", L"ImagePath", L"C:\\earlier.jpg"));
    AfxSetFileChooser([&](OPENFILENAMEW& ofn, bool) {
        lstrcpynW(ofn.lpstrFile, missing.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    const size_t messagesBefore = run->messages.size();
    bool stayedOpen = false;
    {
        DialogDriver driver;
        driver.OnDialog(L"Header", [](HWND dialog) { ClickButton(dialog, 1015); });
        driver.Then([&] {
            HWND header = FindThreadDialog(L"Header");
            if (run->messages.size() == messagesBefore || !header) return false;
            stayedOpen = true;
            CloseBox(header);
            return true;
        });
        Follow(L"app:toSetHeader");
        ASSERT_TRUE(PumpUntil([&] { return driver.Idle() && FindThreadDialog(L"Header") == nullptr; }));
    }
    EXPECT_TRUE(stayedOpen);
    ASSERT_EQ(messagesBefore + 1, run->messages.size());
    EXPECT_NE(-1, run->messages.back().text.Find(missing.c_str())) << CStringA(run->messages.back().text).GetString();
    EXPECT_EQ(CString(L"C:\\earlier.jpg"), Profile(L"ImagePath"));
    EXPECT_EQ(CString(L"<none>"), Profile(L"ImageSize"));
    EXPECT_EQ(CString(L"<none>"), Profile(L"HeaderType"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(LogoFile().c_str()));
    PumpPending();
    EXPECT_EQ(sentBefore, FieldSetsSent());
}
