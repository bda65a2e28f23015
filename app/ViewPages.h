// The windows the view owns: the form page (template 144), the records page (template 143), the
// registration dialog (template 151) and the collections page (template 158). This is the one place that says which classes they are; tests
// of the frame and the view may put plain dialogs from the same templates in their place.
#pragma once
#include "framework/Dialog.h"

class CFormsteadView;

// Each answers a constructed page object (not yet created) that the view owns.
struct ViewPageFactory
{
    CDialog* (*makeFormPage)(CFormsteadView& view);
    CDialog* (*makeRecordsPage)(CFormsteadView& view);
    CDialog* (*makeRegisterForm)(CFormsteadView& view);
    CDialog* (*makeCollectionsPage)(CFormsteadView& view) = nullptr; // template 158, made on first use
};

// The program's own pages.
const ViewPageFactory& ProgramPages();
// Every page a plain dialog from its template, with no behaviour of its own.
const ViewPageFactory& PlainPages();
// The factory the view uses from now on; null gives back the program's own pages.
void SetViewPageFactory(const ViewPageFactory* factory);
const ViewPageFactory& CurrentViewPages();
