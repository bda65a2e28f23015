// What the form page, its button bar and the registration dialog need from the view that owns them:
// the folders and the current form, the current record, and the switch to the records page.
#pragma once
#include "framework/CString.h"

class CWnd;
class CGridCtrl;
class CHTMLCtrl;
class CPdfButtons;
class RegisterForm;

class FormPageHost
{
public:
    virtual ~FormPageHost() = default;

    virtual CString GetProgramFolder() const = 0; // with its final backslash
    virtual CString GetStoreFolder() const = 0;
    virtual CString GetFormName() const = 0;      // empty when the store holds no form
    virtual CString GetUpdatesAddress() const = 0;

    // The current record: a row id (0 or less for none) and whether it is a template.
    virtual int GetCurrentRecordId() const = 0;
    virtual void SetCurrentRecordId(int id) = 0;
    virtual int GetTemplateFlag() const = 0;
    virtual void SetTemplateFlag(int flag) = 0;
    virtual void SetLastTemplateName(const CString& name) = 0;
    // A record was deleted from the store. When it is the current record, nothing is current any
    // more; a host that shows the form also stops showing the deleted data there.
    virtual void RecordDeleted(int id, int isTemplate)
    {
        if (id > 0 && id == GetCurrentRecordId() && isTemplate == GetTemplateFlag())
            SetCurrentRecordId(-1);
    }
    // Whether nothing is current because the current record was deleted (not because none was
    // picked): the records page then takes its first row in the deleted record's place.
    virtual bool IsCurrentRecordDeleted() const { return false; }

    // Whether the form page has loaded the form's PDF.
    virtual BOOL IsFormLoaded() const = 0;
    virtual void SetFormLoaded(BOOL loaded) = 0;

    // Moves the step bar to the records page.
    virtual void ShowRecordsPage() = 0;
    virtual CWnd* GetMainFrame() const = 0;

    // Moves the step bar to the form page.
    virtual void ShowFormPage() {}
    // The records page's records grid; null while there is none.
    virtual CGridCtrl* GetRecordsGrid() const { return nullptr; }
    // The view's modeless registration dialog, which the import of completed files shows.
    virtual RegisterForm* GetImportDialog() const { return nullptr; }
    // The form page's button bar, whose save the import runs on the import dialog's browser control.
    virtual CPdfButtons* GetFormButtons() const { return nullptr; }
    // Refills the records page (hidden and shown again), e.g. after an import stored a record.
    virtual void ReloadRecordsPage() {}
    // The form page's browser control; null while there is none.
    virtual CHTMLCtrl* GetFormBrowser() const { return nullptr; }
};

// <store>\<form name><extension>, without doubling a final backslash of the store folder.
CString FormFilePath(const FormPageHost& host, const wchar_t* extension);
