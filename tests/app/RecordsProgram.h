// The whole program on the sample claim form in test mode, for the records page's tests: its folder
// (the test executable's) holds the claim form and the real container page while a test runs, and
// records are saved through the form page's own button.
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ClaimFormProgram.h"
#include "app/Navigator.h"
#include "pages/FormPage.h"
#include "pages/RecordsPage.h"

// The visible edit controls among a window's descendants, in the order they are found.
std::vector<HWND> VisibleEdits(HWND parent);
std::wstring TextOf(HWND window);

struct RecordsProgram : ::testing::Test
{
    // What the test puts beside the executable, put back as it was even when the test fails.
    ClaimFormFolder files;
    const std::wstring folder = files.folder;
    std::unique_ptr<ProgramRun> run;

    void SetUp() override;
    void TearDown() override;
    std::wstring Database() const { return folder + L"claim.gdb"; }

    // Starts the program; the first start registers the form through its dialog, later ones start
    // from a copy of that registered database.
    void Start(bool keepDatabase = false);
    Navigator& Steps() { return run->Frame()->m_wndNavigator; }
    CPage2& Page() { return *dynamic_cast<CPage2*>(run->View()->GetRecordsPage()); }
    CPage3& FormPage() { return *dynamic_cast<CPage3*>(run->View()->GetFormPage()); }
    CGridCtrl& Grid() { return Page().m_grid; }
    // The form's visible field edits on the form page.
    std::vector<HWND> FormEdits();
    void Exec(const char* sql);
    std::string One(const char* sql);
    // Types the value into the form's first field and presses "Save as New"; the records page follows.
    void SaveRecord(const wchar_t* value);
    // Started, with the records saved through the form page, on the records page.
    void StartWithRecords(std::initializer_list<const wchar_t*> names);
    // The texts of a column's data rows.
    std::vector<std::wstring> Column(int column);
    void DoubleClickRow(int row, int column);
};
