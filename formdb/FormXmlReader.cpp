// The export's reads of records' form XML.
#include "formdb/FormXmlReader.h"

#include "formdb/StoredText.h"

namespace {
// The XML as UTF-16 into text, reusing its buffer: the form XML is plain ASCII nearly always, so
// the bytes are widened in the same pass that looks for a byte outside ASCII, and decoded again
// only when one was seen.
void DecodeInto(const char* bytes, size_t length, std::wstring& text)
{
    text.resize(length);
    wchar_t* out = &text[0];
    unsigned seen = 0;
    for (size_t i = 0; i < length; ++i)
    {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        seen |= c;
        out[i] = static_cast<wchar_t>(c);
    }
    if (seen & 0x80)
        text = DecodeStoredText(bytes, length);
}

} // namespace

FormXmlReader::~FormXmlReader()
{
    ResetStatements();
    // A read transaction changes nothing; its end only releases the snapshot.
    if (m_reading && !m_db.Execute("COMMIT"))
        m_db.Execute("ROLLBACK");
}

bool FormXmlReader::Open(const std::wstring& dbPath, std::string& error)
{
    if (!m_db.Open(dbPath.c_str()))
    {
        error = m_db.ErrorText();
        return false;
    }
    // One read transaction for the whole export: without it every record takes and drops the file's
    // locks. It only makes the reads faster, so a refusal is no failure of the export.
    m_reading = m_db.Execute("BEGIN");
    return true;
}

void FormXmlReader::ResetStatements()
{
    if (m_records.IsPrepared())
        m_records.Reset();
    if (m_templates.IsPrepared())
        m_templates.Reset();
}

FormXmlReader::Result FormXmlReader::Read(bool isTemplate, long long rowId, std::wstring& xml, std::string& error)
{
    Statement& statement = isTemplate ? m_templates : m_records;
    if (!statement.IsPrepared() &&
        !statement.Prepare(m_db, isTemplate ? "select fxml from templates  WHERE _ROWID_=?"
                                                   : "select fxml from submissions WHERE _ROWID_=?"))
    {
        error = "prepare failure";
        return Result::Failed;
    }
    if (!statement.Reset() || !statement.BindInt64(1, rowId))
    {
        error = statement.ErrorText();
        return Result::Failed;
    }
    switch (statement.Step())
    {
    case StepResult::Row:
        DecodeInto(statement.ColumnText(0), static_cast<size_t>(statement.ColumnBytes(0)), xml);
        return Result::Found;
    case StepResult::Done:
        return Result::Missing;
    default:
        error = statement.ErrorText();
        return Result::Failed;
    }
}
