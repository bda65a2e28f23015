// A host for the records page's pieces: the form page host of the form page tests, plus the records
// grid, the import dialog and the form page's button bar the test gives it, and a count of reloads.
#pragma once
#include "pages/PdfButtons.h"
#include "pages/RegisterForm.h"
#include "tests/pages/FormPageFixture.h"

class RecordsTestHost : public TestHost
{
public:
    CGridCtrl* GetRecordsGrid() const override { return grid; }
    RegisterForm* GetImportDialog() const override { return importDialog; }
    CPdfButtons* GetFormButtons() const override { return formButtons; }
    void ReloadRecordsPage() override { ++recordsReloaded; }

    CGridCtrl* grid = nullptr;
    RegisterForm* importDialog = nullptr;
    CPdfButtons* formButtons = nullptr;
    int recordsReloaded = 0;
};
