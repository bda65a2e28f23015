// A registered claim form shown on a form page, with the view's modeless import dialog, on a real
// main window: the set-up of the import and Previous/Next tests. Message boxes are recorded.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pages/FormPage.h"
#include "pages/RegisterForm.h"
#include "tests/pages/RecordsTestHost.h"

using Rows = std::vector<std::vector<std::string>>;

// Every row of a query on a database file, as texts.
Rows Query(const std::wstring& path, const char* sql);
// A generated sample form's bytes.
std::string SampleBytes(const wchar_t* name);
// The visible edit controls of the form a browser control shows.
std::vector<HWND> FormEdits(CWnd& browser);

class FormWithRecordsTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Registers the claim form through the registration dialog once; later tests copy that database.
    void Register();
    std::wstring DatabasePath() const { return store.File(L"claim.gdb"); }
    bool Said(const std::wstring& text) const;

    TempFolder program;
    TempFolder store;
    TempFolder files;
    RecordsTestHost host;
    CWnd frame;
    CPage3* page = nullptr;
    RegisterForm dialog{&host};
    std::vector<RecordedBox> boxes;
};
