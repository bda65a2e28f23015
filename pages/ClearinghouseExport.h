// The records page's "Create Clearinghouse File": the chosen records' form XML, read from the current
// form's database, written as one clearinghouse page each into a text file the user names.
#pragma once
#include <string>
#include <vector>

#include "export/ClearinghouseFile.h"
#include "formdb/DatabaseStatement.h"
#include "pages/RecordsGrid.h"

class CWnd;
class FormPageHost;

// Reads records' fxml from submissions or templates by row id; each statement is prepared once. All
// reads share one read transaction: one snapshot, and no file lock taken and dropped per record.
class ExportRecordSource
{
public:
    ExportRecordSource() = default;
    ~ExportRecordSource();
    ExportRecordSource(const ExportRecordSource&) = delete;
    ExportRecordSource& operator=(const ExportRecordSource&) = delete;

    // Opens an existing database; false with SQLite's text in error.
    bool Open(const std::wstring& dbPath, std::string& error);
    // Found with the XML, Missing when the row is gone, Failed with SQLite's text in error.
    RecordRead Read(const RecordKey& record, std::wstring& xml, std::string& error);

private:
    void ResetStatements();

    Database m_db;
    Statement m_records, m_templates;
    bool m_reading = false; // the read transaction is open
};

// The export after its questions, without any user interface: each record read from source in the
// order given and written as one page into path, which receives the file only when every page is in.
// On ReadFailed, error holds the database's text.
ClearinghouseResult WriteRecordsToClearinghouseFile(ExportRecordSource& source, const std::vector<RecordKey>& records,
                                                    const std::wstring& path, std::string& error);

// Exports the records in the order given (the records list's display order). Every message is
// shown from here; owner owns the dialogs.
void ExportClearinghouseFile(FormPageHost& host, const std::vector<RecordKey>& records, CWnd* owner);
