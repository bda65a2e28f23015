// The export's user side: the file name, the database, the replace question and the messages.
#include "pages/ClearinghouseExport.h"

#include <algorithm>

#include "common/MessageBox.h"
#include "formdb/StoredText.h"
#include "framework/FileDialog.h"
#include "framework/Seams.h"
#include "pages/FormPageHost.h"

namespace {

void ShowProgramMessage(const CString& text, CWnd* owner)
{
    CMessageBox box(CString(), text, owner);
    box.DoModal();
}

HWND OwnerWindow(CWnd* owner)
{
    return owner ? owner->GetSafeHwnd() : nullptr;
}

CString FromUtf8(const std::string& text)
{
    return CString(DecodeStoredText(text).c_str());
}

} // namespace

bool ExportRecordSource::Open(const std::wstring& dbPath, std::string& error)
{
    return m_reader.Open(dbPath, error);
}

RecordRead ExportRecordSource::Read(const RecordKey& record, std::wstring& xml, std::string& error)
{
    switch (m_reader.Read(record.isTemplate != 0, record.id, xml, error))
    {
    case FormXmlReader::Result::Found: return RecordRead::Found;
    case FormXmlReader::Result::Missing: return RecordRead::Missing;
    default: return RecordRead::Failed;
    }
}

ClearinghouseResult WriteRecordsToClearinghouseFile(ExportRecordSource& source, const std::vector<RecordKey>& records,
                                                    const std::wstring& path, std::string& error)
{
    // Rows are read in the order of their row ids, table by table: the order they were stored in, so
    // the database file is read front to back rather than hopping about in display order.
    std::vector<size_t> readOrder(records.size());
    for (size_t i = 0; i < readOrder.size(); ++i)
        readOrder[i] = i;
    std::stable_sort(readOrder.begin(), readOrder.end(), [&](size_t a, size_t b) {
        const RecordKey& first = records[a];
        const RecordKey& second = records[b];
        return first.isTemplate != second.isTemplate ? first.isTemplate < second.isTemplate : first.id < second.id;
    });
    return WriteClearinghouseFile(
        path, records.size(), [&](size_t index, std::wstring& xml) { return source.Read(records[index], xml, error); },
        readOrder);
}

void ExportClearinghouseFile(FormPageHost& host, const std::vector<RecordKey>& records, CWnd* owner)
{
    if (records.empty())
    {
        ShowProgramMessage(L"Please, select records to extract", owner);
        return;
    }
    const SYSTEMTIME now = AfxGetLocalTime();
    CFileDialog dialog(FALSE, nullptr, DefaultClearinghouseName(now).c_str(), OFN_HIDEREADONLY | OFN_PATHMUSTEXIST,
                       L"Text Documents (*.txt)|*.txt|", owner);
    if (dialog.DoModal() != IDOK)
        return;

    ExportRecordSource source;
    std::string error;
    if (!source.Open(std::wstring(FormFilePath(host, L".gdb").GetString()), error))
    {
        AfxShowMessageBox(OwnerWindow(owner), L"Can't open database: " + FromUtf8(error) + L"\n", L"db", MB_OK);
        return;
    }
    const std::wstring path = WithTextExtension(std::wstring(dialog.GetPathName().GetString()));
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES &&
        AfxShowMessageBox(OwnerWindow(owner), L"The file already exists. Do you want to replace it?", L"Warning!",
                          MB_YESNO) != IDYES)
        return;

    const ClearinghouseResult result = WriteRecordsToClearinghouseFile(source, records, path, error);
    switch (result.outcome)
    {
    case ClearinghouseOutcome::ReadFailed:
        AfxShowMessageBox(OwnerWindow(owner), FromUtf8(error), L"db", MB_OK);
        return;
    case ClearinghouseOutcome::WriteFailed:
        AfxShowMessageBox(OwnerWindow(owner), L"Can not open file to write to", nullptr, MB_OK);
        return;
    case ClearinghouseOutcome::Written:
        break;
    }
    CString saved = L"File Saved";
    if (result.blankPages > 0)
    {
        CString note;
        note.Format(L"\n%u of the %u pages are blank: their records no longer exist or hold no form data.",
                    static_cast<unsigned>(result.blankPages), static_cast<unsigned>(result.pages));
        saved += note;
    }
    ShowProgramMessage(saved, owner);
}
