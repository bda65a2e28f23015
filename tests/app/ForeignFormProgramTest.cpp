// The whole program on fillable forms of other PDF writers (ReportLab and pdf-lib, made by the
// build): the form registers with exactly its fields as columns, a radio group as one column that
// holds the chosen button's export value after "Save as New", and an import of a copy that writer
// filled stores its values.
#include <gtest/gtest.h>

#include "ProgramFixture.h"
#include "tests/support/ScopedState.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/FormDatabase.h"
#include "pages/FormPage.h"
#include "pages/RecordsPage.h"
#include "tests/pages/DialogDriver.h"
#include "viewer/ViewerTestControl.h"

#include <algorithm>
#include <map>

namespace
{
const int kSaveAsNew = 1015;
const int kImportButton = 1039;
const int kImportThisForm = 1040;

struct WriterForm
{
    const wchar_t* stem;
    std::vector<std::string> columns;          // the fields, in form order
    std::string firstText;                     // the first text field, typed into on the form page
    std::string radio;                         // the radio group ...
    int chosenButton;                          // ... the button clicked, counted from the left
    std::string chosenExport;                  // ... and its export value
    std::map<std::string, std::string> filled; // the values of the writer's filled copy
};

const WriterForm kReportLab = {
    L"referral",
    {"ref_last", "ref_first", "ref_dob", "ref_phone", "ref_reason", "ref_visit", "ref_insured"},
    "ref_last",
    "ref_visit",
    2,
    "urgent",
    {{"ref_last", "Okafor"}, {"ref_first", "Ngozi"}, {"ref_dob", "03/14/1961"}, {"ref_phone", "555-0142"},
     {"ref_reason", "Knee pain"}, {"ref_visit", "followup"}, {"ref_insured", "YES"}}};

const WriterForm kPdfLib = {
    L"intake",
    {"intake.patient.name", "intake.patient.city", "intake.insurer", "intake.member_id", "intake.plan", "intake.consent"},
    "intake.patient.name",
    "intake.plan",
    1,
    "ppo",
    {{"intake.patient.name", "Lindqvist, Maja"}, {"intake.patient.city", "Duluth"}, {"intake.insurer", "Northwind Mutual"},
     {"intake.member_id", "NW-448120"}, {"intake.plan", "medicare"}, {"intake.consent", "YES"}}};

BOOL CALLBACK CollectControls(HWND window, LPARAM param)
{
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

bool IsRadio(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpiW(className, L"Button") == 0 && (GetWindowLongW(window, GWL_STYLE) & 0x0F) == BS_RADIOBUTTON;
}

bool IsEdit(HWND window)
{
    wchar_t className[16] = {};
    GetClassNameW(window, className, 16);
    return lstrcmpiW(className, L"Edit") == 0;
}

class ForeignFormProgram : public ::testing::TestWithParam<const WriterForm*>
{
protected:
    const std::wstring folder = TestProgramFolder();
    FileGuard container{folder + L"container.htm"};
    FileGuard claimForm{folder + L"claim.pdf"};
    FileGuard database{folder + L"claim.gdb"};
    FileGuard filledCopy{folder + L"filled copy.pdf"};
    RegistryKeyGuard appearance{OwnRegistryKey() + L"\\Formstead\\Appearance"};
    std::unique_ptr<ProgramRun> run;

    void SetUp() override
    {
        viewer::TestControl().Reset();
        ASSERT_TRUE(CopyFileW(FORMSTEAD_CONTAINER_PAGE, (folder + L"container.htm").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(FormFile(L"blank").c_str(), (folder + L"claim.pdf").c_str(), FALSE));
        ASSERT_TRUE(CopyFileW(FormFile(L"filled").c_str(), (folder + L"filled copy.pdf").c_str(), FALSE));
        DeleteFileW(Database().c_str());
        run.reset(new ProgramRun(true));
        ASSERT_TRUE(MakeMasterDatabase(run->folder.File(L"Vantorel.gdb"), MasterContent()));
        DialogDriver driver;
        driver.OnDialog(L"New Forms Registration", [](HWND dialog) { ClickButton(dialog, IDOK); });
        ASSERT_TRUE(run->Start());
        ASSERT_EQ(FormRegistration::Registered, CheckFormRegistration(Database()));
        ASSERT_TRUE(PumpUntil([&] { return Radios().size() == 3; }));
    }
    void TearDown() override
    {
        run.reset();
        viewer::TestControl().Reset();
    }
    const WriterForm& Form() const { return *GetParam(); }
    std::wstring FormFile(const wchar_t* kind) const
    {
        return std::wstring(FORMSTEAD_FOREIGN_FORMS_DIR) + Form().stem + L"-" + kind + L".pdf";
    }
    std::wstring Database() const { return folder + L"claim.gdb"; }
    Navigator& Steps() { return run->Frame()->m_wndNavigator; }
    CPage3& FormPage() { return *dynamic_cast<CPage3*>(run->View()->GetFormPage()); }
    CWnd& RecordsPage() { return *run->View()->GetRecordsPage(); }

    std::vector<HWND> FormControls()
    {
        std::vector<HWND> controls;
        if (FormPage().m_browser.GetSafeHwnd())
            EnumChildWindows(FormPage().m_browser.GetSafeHwnd(), CollectControls, reinterpret_cast<LPARAM>(&controls));
        return controls;
    }
    // The radio buttons of the form from left to right.
    std::vector<HWND> Radios()
    {
        std::vector<HWND> radios;
        for (HWND c : FormControls())
            if (IsRadio(c))
                radios.push_back(c);
        std::sort(radios.begin(), radios.end(), [](HWND a, HWND b) {
            RECT ra, rb;
            GetWindowRect(a, &ra);
            GetWindowRect(b, &rb);
            return ra.left < rb.left;
        });
        return radios;
    }
    std::vector<std::string> Columns(const char* table)
    {
        ::Database db;
        EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, (std::string("PRAGMA table_info(") + table + ")").c_str())) << query.ErrorText();
        std::vector<std::string> names;
        while (query.Step() == StepResult::Row)
            names.push_back(query.ColumnText(1));
        return names;
    }
    // Each stored record as column name to text, in the order stored.
    std::vector<std::map<std::string, std::string>> Records()
    {
        ::Database db;
        EXPECT_TRUE(db.Open(Database().c_str())) << db.ErrorText();
        Statement query;
        EXPECT_TRUE(query.Prepare(db, "SELECT * FROM submissions ORDER BY _ROWID_")) << query.ErrorText();
        const std::vector<std::string> names = Columns("submissions");
        std::vector<std::map<std::string, std::string>> rows;
        while (query.Step() == StepResult::Row)
        {
            std::map<std::string, std::string> row;
            for (size_t c = 0; c < names.size(); ++c)
                row[names[c]] = query.ColumnText(static_cast<int>(c)) ? query.ColumnText(static_cast<int>(c)) : "";
            rows.push_back(row);
        }
        return rows;
    }
};
} // namespace

TEST_P(ForeignFormProgram, RegistersItsFieldsSavesTheChosenExportValueAndImportsAFilledCopy)
{
    // Exactly the form's fields, then the program's own two columns.
    std::vector<std::string> expected = Form().columns;
    expected.push_back("submdate");
    expected.push_back("fxml");
    EXPECT_EQ(expected, Columns("submissions"));

    // Type into the first text field and click one radio button, as the user would.
    std::vector<HWND> edits;
    for (HWND c : FormControls())
        if (IsEdit(c))
            edits.push_back(c);
    ASSERT_EQ(Form().columns.size() - 2, edits.size());
    std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.top < rb.top;
    });
    SetWindowTextW(edits[0], L"Typed, Tess");
    HWND chosen = Radios()[Form().chosenButton];
    RECT box;
    GetClientRect(chosen, &box);
    const LPARAM centre = MAKELPARAM(box.right / 2, box.bottom / 2);
    ::PostMessageW(chosen, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::PostMessageW(chosen, WM_LBUTTONUP, 0, centre);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageW(chosen, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
    ::PostMessageW(FormPage().m_buttons.GetDlgItem(kSaveAsNew)->GetSafeHwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Steps().GetCurrentStep() == 1 && RecordsPage().IsWindowVisible(); }));

    std::vector<std::map<std::string, std::string>> records = Records();
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ("Typed, Tess", records[0][Form().firstText]);
    EXPECT_EQ(Form().chosenExport, records[0][Form().radio]);

    // "Import Completed Files" with the writer's own filled copy.
    const std::wstring chosenFile = folder + L"filled copy.pdf";
    AfxSetFileChooser([chosenFile](OPENFILENAMEW& ofn, bool) {
        lstrcpynW(ofn.lpstrFile, chosenFile.c_str(), ofn.nMaxFile);
        return TRUE;
    });
    CWnd* import = RecordsPage().GetDlgItem(kImportButton);
    ASSERT_NE(nullptr, import);
    ASSERT_TRUE(PumpUntil([&] { return import->IsWindowVisible() && import->IsWindowEnabled(); }));
    DialogDriver driver;
    driver.OnDialog(L"Import Completed Files", [](HWND dialog) { ClickButton(dialog, kImportThisForm); });
    ::PostMessageW(import->GetSafeHwnd(), BM_CLICK, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return Records().size() == 2; }));
    ASSERT_TRUE(PumpUntil([&] { return driver.Idle(); }));
    records = Records();
    for (const auto& value : Form().filled)
        EXPECT_EQ(value.second, records[1][value.first]) << value.first;
    AfxSetFileChooser(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Writers, ForeignFormProgram, ::testing::Values(&kReportLab, &kPdfLib),
                         [](const ::testing::TestParamInfo<const WriterForm*>& info) {
                             return info.param == &kReportLab ? std::string("ReportLab") : std::string("PdfLib");
                         });
