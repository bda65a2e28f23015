// The windows the view owns: the form page (template 144), the records page (template 143) and the
// registration dialog (template 151). This is the one place that says which classes they are.
#pragma once
#include "framework/Dialog.h"

class CFormsteadView;

// Each answers a constructed page object (not yet created) that the view owns.
CDialog* MakeFormPage(CFormsteadView& view);
CDialog* MakeRecordsPage(CFormsteadView& view);
CDialog* MakeRegisterForm(CFormsteadView& view);
