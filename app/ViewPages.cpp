// Which classes the view's pages are: the form page, the records page and the registration dialog of
// the pages folder.
#include "app/ViewPages.h"
#include "app/FormsteadView.h"
#include "pages/CollectionsPage.h"
#include "pages/FormPage.h"
#include "pages/RecordsPage.h"
#include "pages/RegisterForm.h"
#include "resources/resource.h"

namespace
{
// A page is a child dialog: Enter and Escape must not end it.
class PageDialog : public CDialog
{
public:
    explicit PageDialog(UINT nIDTemplate) : CDialog(nIDTemplate) {}

protected:
    void OnOK() override {}
    void OnCancel() override {}
};

CDialog* PlainFormPage(CFormsteadView&) { return new PageDialog(IDD_FORM_PAGE); }
CDialog* PlainRecordsPage(CFormsteadView&) { return new PageDialog(IDD_RECORDS_PAGE); }
CDialog* PlainRegisterForm(CFormsteadView&) { return new CDialog(IDD_REGISTER_FORM); }

CDialog* FormPage(CFormsteadView& view) { return new CPage3(&view); }
CDialog* RecordsPage(CFormsteadView& view) { return new CPage2(&view); }
CDialog* RegisterFormDialog(CFormsteadView& view) { return new RegisterForm(&view); }
CDialog* CollectionsPage(CFormsteadView& view) { return new CCollectionsPage(&view); }
CDialog* PlainCollectionsPage(CFormsteadView&) { return new PageDialog(CCollectionsPage::IDD); }

const ViewPageFactory kProgramPages = {FormPage, RecordsPage, RegisterFormDialog, CollectionsPage};
const ViewPageFactory kPlainPages = {PlainFormPage, PlainRecordsPage, PlainRegisterForm, PlainCollectionsPage};
const ViewPageFactory* g_factory = nullptr;
}

const ViewPageFactory& ProgramPages()
{
    return kProgramPages;
}

const ViewPageFactory& PlainPages()
{
    return kPlainPages;
}

void SetViewPageFactory(const ViewPageFactory* factory)
{
    g_factory = factory;
}

const ViewPageFactory& CurrentViewPages()
{
    return g_factory ? *g_factory : kProgramPages;
}
