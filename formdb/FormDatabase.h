// The per-form database <store>\<form name>.gdb: registration (creating it whole or not at all),
// storing a "Save" reply as a record or template, and reading rows back. No user interface here:
// every failure comes back as the text and caption of the message the caller shows.
#pragma once
#include <functional>
#include <string>

// The UTC date as month/day/year in plain decimals, as stored in RegDate and submdate.
std::string UtcDateText();

enum class FormRegistration
{
    Missing,      // no database file
    Registered,   // the file holds a FormInfo row
    Unregistered, // a file without a FormInfo row (or not a database at all)
    Unreadable,   // a database that cannot be read now (locked by another program, damaged, no access)
};
// The state of a form's database file; *error (when given) says why an unreadable one failed.
FormRegistration CheckFormRegistration(const std::wstring& dbPath, std::string* error = nullptr);

struct RegistrationResult
{
    bool ok = false;
    std::string message;   // why it failed
    std::string caption;   // the caption of that message; empty for "Registration Error"
    std::string warning;   // shown but not a failure (the field-name limit), with its caption
    std::string warningCaption;
    std::wstring movedAsidePath; // where an unregistered file was moved before creating the new one
};

// Creates <dbPath> with FormInfo, submissions and templates from the ANSI field list and form type,
// in one transaction in a temporary file renamed into place. A registered database is left as it
// is (ok); an unregistered file is first moved aside under a dated name; an unreadable one is left
// alone and the registration fails. A list with an entry that has no key before its "jjjj" is
// refused: that field's value could never be found in a reply. On failure no file is left.
RegistrationResult CreateFormDatabase(const std::wstring& dbPath, const std::string& fieldList,
                                      const std::string& formType);

// How registration moves files (the old file aside, the new one into place): MoveFileExW unless a test
// installs its own; an empty function restores it. A failing mover sets the thread's last error.
using RegistrationFileMover = std::function<bool(const std::wstring& from, const std::wstring& to)>;
void SetRegistrationFileMover(RegistrationFileMover mover);

// The longest form type kept, in bytes.
constexpr size_t kMaxFormTypeBytes = 48;

// Texts bound as they are given: the values (from the reply) and the template name are stored as
// UTF-8 (StoredText.h); the form XML keeps the ANSI bytes it has always had.
struct RecordToStore
{
    std::string reply;        // the "Save" reply (UTF-8)
    std::string formXml;      // the form XML (ANSI)
    bool isTemplate = false;
    std::string templateName; // UTF-8, templates only
    bool update = false;      // replace the row replacedRowId of the same table
    long long replacedRowId = 0;
    std::string saveDate;     // submdate; UtcDateText() when empty
};

enum class StoreOutcome
{
    Stored,
    Empty,  // every value was empty: nothing stored
    Failed, // a database failure: nothing changed
};

struct StoreResult
{
    StoreOutcome outcome = StoreOutcome::Failed;
    long long rowId = -1; // the new row's id; 0 when empty, -1 when failed
    std::string message;  // the message to show, with its caption
    std::string caption;
};

// Inserts one row built from the reply into submissions or templates; with update, deletes the
// replaced row in the same transaction (carrying its statement columns over) only after the
// insert succeeded. A template update whose row is gone stores nothing (Failed, the message says so).
StoreResult StoreFormRecord(const std::wstring& dbPath, const RecordToStore& record);

// The INSERT text for a bracketed column list: one "?" per field, then submdate, fxml (and the
// template name).
std::string BuildInsertText(const std::string& columns, int fieldCount, bool isTemplate);

struct RowText
{
    bool ok = false;     // false: message and caption say why
    bool found = false;  // the row exists
    std::string text;
    std::string message;
    std::string caption;
};

// The fxml of a record (isTemplate false) or template.
RowText ReadRecordXml(const std::wstring& dbPath, bool isTemplate, long long rowId);
// The RSRV_TEMPLATE_NAME of a template, as UTF-8 whether it was stored as UTF-8 or, by older
// versions, as ANSI.
RowText ReadTemplateName(const std::wstring& dbPath, long long rowId);

// The message shown when the template an update would replace no longer exists.
std::string TemplateGoneMessage(long long rowId);
