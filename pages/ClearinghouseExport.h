// The records page's "Create Clearinghouse File": the chosen records' form XML, read from the current
// form's database, written as one clearinghouse page each into a text file the user names.
#pragma once
#include <string>
#include <vector>

#include "export/ClearinghouseFile.h"
#include "formdb/FormXmlReader.h"
#include "pages/RecordsGrid.h"

class CWnd;
class FormPageHost;

// The records of the export, read through the form database's XML reader.
class ExportRecordSource
{
public:
    // Opens an existing database; false with SQLite's text in error.
    bool Open(const std::wstring& dbPath, std::string& error);
    // Found with the XML, Missing when the row is gone, Failed with SQLite's text in error.
    RecordRead Read(const RecordKey& record, std::wstring& xml, std::string& error);

private:
    FormXmlReader m_reader;
};

// The export after its questions, without any user interface: one page for each record, in the order
// given, into path, which receives the file only when every page is in. The records are read from
// source in the order they are stored (templates, then records, by row id).
// On ReadFailed, error holds the database's text.
ClearinghouseResult WriteRecordsToClearinghouseFile(ExportRecordSource& source, const std::vector<RecordKey>& records,
                                                    const std::wstring& path, std::string& error);

// Exports the records in the order given (the records list's display order). Every message is
// shown from here; owner owns the dialogs.
void ExportClearinghouseFile(FormPageHost& host, const std::vector<RecordKey>& records, CWnd* owner);
