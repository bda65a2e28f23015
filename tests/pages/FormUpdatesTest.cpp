// "Check Forms Updates" on real windows: the button opens the registration dialog on the updates
// page of a local site; a form downloaded there lands in the store and is the form registered when
// the program next starts with that store.
#include <gtest/gtest.h>

#include "formdb/FormDatabase.h"
#include "pages/PdfButtons.h"
#include "tests/bridge/UpdateServer.h"
#include "tests/pages/DialogDriver.h"
#include "tests/pages/FormPageFixture.h"
#include "viewer/LinkPage.h"

namespace {

const int kCheckFormsUpdates = 1023;
const int kBrowserPlace = 1029;

class UpdatesHost : public TestHost
{
public:
    CString GetUpdatesAddress() const override { return updatesAddress; }
    CString updatesAddress;
};

// The link list of the browser in the dialog, once it lists at least that many rows.
HWND LinkListOf(HWND dialog, int rows)
{
    HWND browser = ::GetDlgItem(dialog, kBrowserPlace);
    HWND list = browser ? ::GetDlgItem(browser, viewer::LinkList::kLinkListId) : nullptr;
    return list && ::SendMessageW(list, LB_GETCOUNT, 0, 0) >= rows ? list : nullptr;
}

void DoubleClickRow(HWND list, int row)
{
    RECT item;
    ::SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 5, item.top + 2);
    ::SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
    ::SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    ::SendMessageW(list, WM_LBUTTONUP, 0, at);
}

// The file title of the first "*.pdf" the file system lists in the folder, as the view picks the
// current form at start-up.
std::wstring FirstPdfTitle(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"*.pdf").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return std::wstring();
    ::FindClose(find);
    std::wstring name = data.cFileName;
    return name.substr(0, name.rfind(L'.'));
}

struct UpdatesFixture
{
    // updatesPath: the path of the updates address on the local site, a folder or a page in it.
    explicit UpdatesFixture(const wchar_t* updatesPath = L"/updates/")
        : fixture(false), server(std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf")
    {
        host.programFolder = fixture.program.Path().c_str();
        host.storeFolder = fixture.store.Path().c_str();
        host.updatesAddress = server.Address(updatesPath).c_str();
        host.frame = &fixture.frame;
        caption = L"Download form updates (" + server.Address(updatesPath) + L")";
        EXPECT_TRUE(bar.Create(CPdfButtons::IDD, &fixture.frame));
        bar.Attach(&host, nullptr);
    }
    ~UpdatesFixture()
    {
        if (bar.GetSafeHwnd())
            bar.DestroyWindow();
    }

    // Clicks "Check Forms Updates"; the dialog runs modally inside. A step that has not ended the
    // dialog within its bound of ticks cancels it, so a fault cannot hang the run.
    void CheckFormsUpdates(DialogDriver& driver)
    {
        int ticks = 0;
        driver.Then([&] {
            HWND dialog = FindThreadDialog(caption);
            if (dialog && ++ticks > 500)
                ClickButton(dialog, IDCANCEL);
            return ticks > 500;
        });
        ::SendMessageW(bar.m_hWnd, WM_COMMAND, MAKEWPARAM(kCheckFormsUpdates, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(bar.m_hWnd, kCheckFormsUpdates)));
        EXPECT_LE(ticks, 500) << "the dialog had to be cancelled";
    }

    FormPageFixture fixture;
    UpdateServer server;
    UpdatesHost host;
    CPdfButtons bar;
    std::wstring caption;
};

} // namespace

TEST(FormUpdates, ADownloadedFormIsTheFormRegisteredOnTheNextStart)
{
    UpdatesFixture f;
    ASSERT_TRUE(f.server.Running());
    DialogDriver driver;
    bool registerHidden = false;
    driver.Then([&] {
        HWND dialog = FindThreadDialog(f.caption);
        HWND list = dialog ? LinkListOf(dialog, 6) : nullptr;
        if (!list)
            return false;
        registerHidden = !::IsWindowVisible(::GetDlgItem(dialog, IDOK));
        DoubleClickRow(list, 2); // "New claim form"
        return true;
    });
    f.CheckFormsUpdates(driver);
    EXPECT_TRUE(registerHidden);
    EXPECT_EQ(nullptr, FindThreadDialog(f.caption));
    ASSERT_EQ(1u, f.fixture.boxes.size());
    EXPECT_EQ(L"The form was downloaded successfully. You can register it now", f.fixture.boxes[0].text);
    EXPECT_EQ(L"Formstead", f.fixture.boxes[0].caption);
    const std::string served = ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf");
    ASSERT_FALSE(served.empty());
    EXPECT_TRUE(ReadWholeFile(f.fixture.store.File(L"new-claim.pdf")) == served);

    // The next start takes the first form of the store and registers it on the form page's first showing.
    const std::wstring form = FirstPdfTitle(f.fixture.store.Path());
    ASSERT_EQ(L"new-claim", form);
    f.fixture.host.formName = form.c_str();
    f.fixture.boxes.clear();
    DialogDriver registration;
    registration.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
    f.fixture.ShowPage();
    EXPECT_EQ(FormRegistration::Registered, CheckFormRegistration(f.fixture.store.File(L"new-claim.gdb")));
    EXPECT_TRUE(f.fixture.boxes.empty());
}

TEST(FormUpdates, ALinkOutsideTheUpdatesAddressDownloadsNothing)
{
    UpdatesFixture f;
    ASSERT_TRUE(f.server.Running());
    DialogDriver driver;
    HWND shown = nullptr;
    driver.Then([&] {
        HWND dialog = FindThreadDialog(f.caption);
        HWND list = dialog ? LinkListOf(dialog, 6) : nullptr;
        if (!list)
            return false;
        shown = dialog;
        DoubleClickRow(list, 3); // "Elsewhere on the host"
        return true;
    });
    bool stillOpen = false;
    driver.Then([&] {
        // The refused link is handled by the time the dialog's queue is empty again.
        MSG msg;
        if (::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_TIMER)
            return false;
        stillOpen = FindThreadDialog(f.caption) == shown;
        ClickButton(shown, IDCANCEL);
        return true;
    });
    f.CheckFormsUpdates(driver);
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(f.fixture.boxes.empty());
    EXPECT_EQ(L"", FirstPdfTitle(f.fixture.store.Path()));
    EXPECT_EQ(L"", FirstPdfTitle(f.fixture.program.Path()));
}

TEST(FormUpdates, AnUpdatesAddressThatNamesAPageDownloadsTheFormsBesideIt)
{
    UpdatesFixture f(L"/updates/updates.htm");
    ASSERT_TRUE(f.server.Running());
    DialogDriver driver;
    driver.Then([&] {
        HWND dialog = FindThreadDialog(f.caption);
        HWND list = dialog ? LinkListOf(dialog, 6) : nullptr;
        if (!list)
            return false;
        DoubleClickRow(list, 3); // "Elsewhere on the host": refused, the dialog stays
        DoubleClickRow(list, 2); // "New claim form", beside the page
        return true;
    });
    f.CheckFormsUpdates(driver);
    EXPECT_EQ(nullptr, FindThreadDialog(f.caption));
    ASSERT_EQ(1u, f.fixture.boxes.size());
    EXPECT_EQ(L"The form was downloaded successfully. You can register it now", f.fixture.boxes[0].text);
    const std::string served = ReadWholeFile(std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf");
    ASSERT_FALSE(served.empty());
    EXPECT_TRUE(ReadWholeFile(f.fixture.store.File(L"new-claim.pdf")) == served);
    EXPECT_EQ(L"new-claim", FirstPdfTitle(f.fixture.store.Path()));
}
