// The form page fixture: folders, main window, page, recorded message boxes.
#include "tests/pages/FormPageFixture.h"

#include <gtest/gtest.h>

#include "formdb/FormDatabase.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

namespace {
BOOL CALLBACK CollectEdits(HWND window, LPARAM param)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}
} // namespace

FormPageFixture::FormPageFixture(bool withForm)
{
    viewer::TestControl().Reset();
    AfxSetMessageBoxSink([this](HWND, const CString& text, const CString& caption, UINT) {
        boxes.push_back({text.GetString(), caption.GetString()});
        return IDOK;
    });
    CopyFileW(FORMSTEAD_CONTAINER_PAGE, program.File(L"container.htm").c_str(), FALSE);
    if (withForm)
    {
        EXPECT_TRUE(CopyFileW((std::wstring(FORMSTEAD_SAMPLES_DIR) + L"cms1500.pdf").c_str(),
                              store.File(L"claim.pdf").c_str(), FALSE));
        host.formName = L"claim";
    }
    host.programFolder = program.Path().c_str();
    host.storeFolder = store.Path().c_str();
    EXPECT_TRUE(frame.CreateEx(0, nullptr, L"Formstead test frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1000,
                               700, nullptr, nullptr));
    host.frame = &frame;
    EXPECT_TRUE(page.Create(CPage3::IDD, &frame));
    CRect client;
    frame.GetClientRect(&client);
    page.MoveWindow(&client);
}

FormPageFixture::~FormPageFixture()
{
    if (pageObject && pageObject->GetSafeHwnd())
        pageObject->DestroyWindow();
    delete pageObject;
    if (frame.GetSafeHwnd())
        frame.DestroyWindow();
    AfxSetMessageBoxSink(nullptr);
    viewer::TestControl().Reset();
}

void FormPageFixture::ShowPage()
{
    page.ShowWindow(SW_SHOW);
    DrainMessages();
}

bool FormPageFixture::ShowRegistered()
{
    {
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        ShowPage();
    }
    const bool registered = CheckFormRegistration(Database()) == FormRegistration::Registered;
    EXPECT_TRUE(registered);
    const bool fields = PumpUntil([&] { return FormEdits().size() >= 2; });
    EXPECT_TRUE(fields);
    return registered && fields;
}

void FormPageFixture::HidePage()
{
    page.ShowWindow(SW_HIDE);
}

std::vector<HWND> FormPageFixture::FormEdits() const
{
    std::vector<HWND> edits;
    EnumChildWindows(page.m_browser.GetSafeHwnd(), CollectEdits, reinterpret_cast<LPARAM>(&edits));
    return edits;
}

void FormPageFixture::ClickSave(int buttonId)
{
    const int before = host.recordsPageShown;
    ::PostMessageW(Button(buttonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return host.recordsPageShown > before; }));
}
