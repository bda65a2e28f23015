// Reads records' form XML (fxml) from submissions or templates by row id, for an export of many
// records: each statement is prepared once, and all reads share one read transaction (one snapshot,
// no file lock taken and dropped per record).
#pragma once
#include <string>

#include "formdb/DatabaseStatement.h"

class FormXmlReader
{
public:
    enum class Result { Found, Missing, Failed };

    FormXmlReader() = default;
    ~FormXmlReader();
    FormXmlReader(const FormXmlReader&) = delete;
    FormXmlReader& operator=(const FormXmlReader&) = delete;

    // Opens an existing database; false with SQLite's text in error.
    bool Open(const std::wstring& dbPath, std::string& error);
    // Found with the XML as UTF-16 (xml's buffer reused), Missing when the row is gone, Failed with
    // SQLite's text in error.
    Result Read(bool isTemplate, long long rowId, std::wstring& xml, std::string& error);

private:
    void ResetStatements();

    Database m_db;
    Statement m_records, m_templates;
    bool m_reading = false; // the read transaction is open
};
