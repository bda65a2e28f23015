// A form page on a real top-level window, with a store folder holding the sample claim form and a
// host that records what the page asks of the view. Message boxes are recorded, not shown.
#pragma once
#include <string>
#include <vector>

#include "framework/Framework.h"
#include "pages/FormPage.h"
#include "pages/FormPageHost.h"
#include "tests/support/TempFolder.h"

class TestHost : public FormPageHost
{
public:
    CString GetProgramFolder() const override { return programFolder; }
    CString GetStoreFolder() const override { return storeFolder; }
    CString GetFormName() const override { return formName; }
    CString GetUpdatesAddress() const override { return L"http://127.0.0.1:1/updates"; }
    int GetCurrentRecordId() const override { return recordId; }
    void SetCurrentRecordId(int id) override { recordId = id; }
    int GetTemplateFlag() const override { return templateFlag; }
    void SetTemplateFlag(int flag) override { templateFlag = flag; }
    void SetLastTemplateName(const CString& name) override { lastTemplateName = name; }
    BOOL IsFormLoaded() const override { return formLoaded; }
    void SetFormLoaded(BOOL loaded) override { formLoaded = loaded; }
    void ShowRecordsPage() override { ++recordsPageShown; }
    CWnd* GetMainFrame() const override { return frame; }

    CString programFolder, storeFolder, formName;
    int recordId = -1;
    int templateFlag = 0;
    CString lastTemplateName;
    BOOL formLoaded = FALSE;
    int recordsPageShown = 0;
    CWnd* frame = nullptr;
};

struct RecordedBox
{
    std::wstring text, caption;
};

class FormPageFixture
{
public:
    // Lays out a program folder (the container page) and a store with the claim form as claim.pdf
    // (none when withForm is false), and makes the main window and the page (not shown yet).
    explicit FormPageFixture(bool withForm = true);
    ~FormPageFixture();

    // Shows the page as the view does; registration (when needed) runs inside.
    void ShowPage();
    // Shows the page, registering the claim form through its dialog, and waits for the form's
    // fields; false (with the failure reported) when the form did not come up registered.
    bool ShowRegistered();
    void HidePage();
    // The database path of the claim form.
    std::wstring Database() const { return store.File(L"claim.gdb"); }
    // Edit controls of the shown form, in window order.
    std::vector<HWND> FormEdits() const;
    // Clicks a button of the page's button bar and pumps until the records page was asked for.
    void ClickSave(int buttonId);
    HWND Button(int id) const { return ::GetDlgItem(page.m_buttons.m_hWnd, id); }

    TempFolder program;
    TempFolder store;
    TestHost host;
    CWnd frame;
    // The page lives on the heap as the view's pages do; a test may delete it early (and null this).
    CPage3* pageObject = new CPage3(&host);
    CPage3& page = *pageObject;
    std::vector<RecordedBox> boxes;
};
