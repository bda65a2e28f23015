// The pages as dialogs built from their templates. Their own classes (the form page, the records page
// and the registration dialog) take their place here when they join the program.
#include "app/ViewPages.h"
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
}

CDialog* MakeFormPage(CFormsteadView&)
{
    return new PageDialog(IDD_FORM_PAGE);
}

CDialog* MakeRecordsPage(CFormsteadView&)
{
    return new PageDialog(IDD_RECORDS_PAGE);
}

CDialog* MakeRegisterForm(CFormsteadView&)
{
    return new CDialog(IDD_REGISTER_FORM);
}
