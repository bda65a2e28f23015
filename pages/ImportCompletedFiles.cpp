// Import of completed PDF files: choosing the file, showing it in the import dialog, and storing it
// as a new record only when it is a copy of the current form that holds values.
#include "pages/ImportCompletedFiles.h"
#include "framework/TextEscapes.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/Diagnostics.h"
#include "common/Importing.h"
#include "common/MessageBox.h"
#include "formdb/FieldNames.h"
#include "formdb/RecordsDatabase.h"
#include "framework/FileDialog.h"
#include "pages/FieldListText.h"
#include "pages/FormExchange.h"
#include "pages/FormPageHost.h"
#include "pages/PdfButtons.h"
#include "pages/RegisterForm.h"

namespace {
const wchar_t kCaption[] = L"Formstead";
const wchar_t kUnreadableMessage[] = L"The file could not be read as a form; nothing was imported.";
const wchar_t kForeignMessage[] = L"The file is not a copy of the current form; nothing was imported.";

void Tell(CWnd* owner, const wchar_t* text)
{
    CMessageBox(kCaption, text, owner).DoModal();
}

// The field names of a field list, sorted: the same set for every copy of one form, whatever order
// the records page gave the registered list's indexes.
std::vector<std::string> SortedFieldNames(const std::string& fieldList)
{
    std::vector<std::string> names = ParseFieldNames(fieldList, kOrderAsListed).names;
    std::sort(names.begin(), names.end());
    return names;
}

// The base name of a path: folder and extension removed.
CString BaseName(const CString& path)
{
    CString name = path.Mid(path.ReverseFind(L'\\') + 1);
    const int dot = name.ReverseFind(L'.');
    return dot < 0 ? name : name.Left(dot);
}

} // namespace

std::string PercentDecode(const std::string& text)
{
    return DecodePercentEscapes(text);
}

void ImportCompletedFiles(FormPageHost& host, CWnd* owner)
{
    CFileDialog chooser(TRUE, nullptr, nullptr, OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY,
                        L"PDF Documents (*.pdf)|*.pdf|", owner);
    if (chooser.DoModal() != IDOK)
        return;
    const CString path = chooser.GetPathName();
    if (path.IsEmpty())
    {
        Tell(owner, L"No files selected to import");
        return;
    }

    const CStringA ansiPath(path);
    DebugTraceA(("path:" + std::string(ansiPath.GetString())).c_str(), TRUE);
    const CStringA base(BaseName(path));
    const std::string baseText(base.GetString(), base.GetLength());
    DebugTraceA(("tmp:" + baseText).c_str(), TRUE);
    DebugTraceA(("tmp:" + PercentDecode(baseText)).c_str(), TRUE);

    RegisterForm* dialog = host.GetImportDialog();
    if (!dialog || !dialog->GetSafeHwnd())
        return;
    dialog->m_nMode = RegisterForm::kModeImport;
    dialog->m_szImportPath = path;
    const HWND window = dialog->GetSafeHwnd();
    dialog->ShowWindow(SW_SHOW);
    dialog->SetMode(RegisterForm::kModeImport);
    if (!::IsWindow(window)) // the load wait pumps messages: the dialog may be gone
        return;
    dialog->CenterWindow();
    // Shown already (an earlier file), it comes to the front all the same.
    ::SetForegroundWindow(window);
}

ImportOutcome ImportShownFile(FormPageHost& host, RegisterForm& dialog)
{
    CPdfButtons* buttons = host.GetFormButtons();
    if (!buttons || IsExchangeRunning())
        return ImportOutcome::Failed;
    const HWND window = dialog.GetSafeHwnd();

    CString reply;
    if (RunFieldListExchange(dialog.m_browser, reply) != ExchangeResult::Answered || !::IsWindow(window))
        return ImportOutcome::Abandoned;
    if (reply.Find(L"jjjj") < 0)
    {
        Tell(&dialog, kUnreadableMessage);
        return ImportOutcome::Unreadable;
    }
    const FormColumnsText registered = ReadFormColumnsText(FormFilePath(host, L".gdb").GetString());
    const std::vector<std::string> formNames =
        registered.ok ? SortedFieldNames(registered.text) : std::vector<std::string>();
    // The reply narrowed as registration narrows it, so that it names the same columns; a form
    // registered before names were narrowed without best fit may hold best-fit names.
    const CStringA bestFit(reply);
    if (formNames.empty() || (SortedFieldNames(FieldListToAnsi(reply)) != formNames &&
                              SortedFieldNames(std::string(bestFit.GetString(), bestFit.GetLength())) != formNames))
    {
        Tell(&dialog, kForeignMessage);
        return ImportOutcome::Foreign;
    }

    const SaveOutcome saved = buttons->SendSaveCommands(dialog.m_browser);
    if (!::IsWindow(window))
        return ImportOutcome::Abandoned;
    switch (saved)
    {
    case SaveOutcome::Stored: return ImportOutcome::Stored;
    case SaveOutcome::Empty: return ImportOutcome::Empty;
    default: return ImportOutcome::Failed;
    }
}

void RunImportThisForm(FormPageHost& host, RegisterForm& dialog)
{
    if (IsExchangeRunning())
        return;
    const HWND window = dialog.GetSafeHwnd();
    dialog.EnableWindow(FALSE);
    CImporting popup(&dialog);
    if (popup.Create())
    {
        popup.CenterWindow();
        popup.ShowWindow(SW_SHOW);
    }

    const ImportOutcome outcome = ImportShownFile(host, dialog);
    if (outcome == ImportOutcome::Stored)
    {
        Tell(&dialog, L"The form has been imported successfully");
        host.ReloadRecordsPage();
    }

    if (popup.GetSafeHwnd())
    {
        popup.ShowWindow(SW_HIDE);
        popup.ShowWindow(SW_MINIMIZE);
    }
    if (::IsWindow(window))
    {
        dialog.EnableWindow(TRUE);
        dialog.ShowWindow(SW_HIDE);
    }
    if (popup.GetSafeHwnd())
        popup.DestroyWindow();
}
