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

// Reads records' fxml from submissions or templates by row id; each statement is prepared once.
class ExportRecordSource
{
public:
    // Opens an existing database; false with SQLite's text in error.
    bool Open(const std::wstring& dbPath, std::string& error);
    // Found with the XML, Missing when the row is gone, Failed with SQLite's text in error.
    RecordRead Read(const RecordKey& record, std::wstring& xml, std::string& error);

private:
    Database m_db;
    Statement m_records, m_templates;
};

// Exports the records in the order given (the records list's display order). Every message is
// shown from here; owner owns the dialogs.
void ExportClearinghouseFile(FormPageHost& host, const std::vector<RecordKey>& records, CWnd* owner);
