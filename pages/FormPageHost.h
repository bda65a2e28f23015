// What the form page, its button bar and the registration dialog need from the view that owns them:
// the folders and the current form, the current record, and the switch to the records page.
#pragma once
#include "framework/CString.h"

class CWnd;

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

    // Whether the form page has loaded the form's PDF.
    virtual BOOL IsFormLoaded() const = 0;
    virtual void SetFormLoaded(BOOL loaded) = 0;

    // Moves the step bar to the records page.
    virtual void ShowRecordsPage() = 0;
    virtual CWnd* GetMainFrame() const = 0;
};

// <store>\<form name><extension>, without doubling a final backslash of the store folder.
CString FormFilePath(const FormPageHost& host, const wchar_t* extension);
