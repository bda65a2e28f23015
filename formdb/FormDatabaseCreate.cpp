// Registration of a form: the database is built in a temporary file beside its final name and
// renamed into place only when every table and the FormInfo row are in, so a failed registration
// leaves no half-made database behind. A registered database is never replaced.
#include "formdb/FormDatabase.h"

#include <windows.h>

#include <cstdio>

#include "formdb/FieldNames.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"

namespace {

bool FileExistsW(const std::wstring& path)
{
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string SqlError(const char* error)
{
    return std::string("SQL error: ") + error + "\n";
}

std::string WindowsErrorText(DWORD code)
{
    char* text = nullptr;
    FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result = text ? text : "error " + std::to_string(code);
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r'))
        result.pop_back();
    return result;
}

// A free name beside the file, carrying the local date and time: claim.gdb.20261206-214637.bak
std::wstring DatedAsideName(const std::wstring& path)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t stamp[32];
    swprintf(stamp, 32, L".%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
             now.wSecond);
    std::wstring candidate = path + stamp + L".bak";
    for (int n = 2; FileExistsW(candidate); ++n)
        candidate = path + stamp + L"-" + std::to_wstring(n) + L".bak";
    return candidate;
}

// The first free of claim.gdb.new, claim.gdb.new2, ...
std::wstring TemporaryNameBeside(const std::wstring& path)
{
    std::wstring candidate = path + L".new";
    for (unsigned n = 2; FileExistsW(candidate); ++n)
        candidate = path + L".new" + std::to_wstring(n);
    return candidate;
}

// Removes a temporary database and the journal SQLite may have left beside it when a failed
// transaction could not be rolled back: nothing of a failed registration stays in the store.
void DeleteTemporary(const std::wstring& temporary)
{
    DeleteFileW(temporary.c_str());
    DeleteFileW((temporary + L"-journal").c_str());
}

RegistrationFileMover& FileMover()
{
    static RegistrationFileMover mover;
    return mover;
}

bool MoveFileInPlace(const std::wstring& from, const std::wstring& to)
{
    if (FileMover())
        return FileMover()(from, to);
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

// Builds the whole database in the open, empty file; false with the message on the first failure.
bool BuildTables(Database& db, const std::string& fieldList, const std::string& formType,
                 const std::string& columns, std::string& message)
{
    // A record's form XML runs to tens of kilobytes: 64 KB pages hold a whole record, XML and list
    // columns, in one page, read with one call. Against 4 KB pages (which keep the list columns apart
    // from the XML's chain of overflow pages) on 10,000 claims: listing a warm file a third faster, a
    // cold one a quarter slower; the export a sixth faster warm, and cold as fast or faster. Only an
    // empty file takes a new page size.
    if (!db.Execute("PRAGMA page_size = 65536"))
    {
        message = SqlError(db.ErrorText());
        return false;
    }
    Transaction transaction(db);
    if (!transaction.Active() || !db.Execute("CREATE TABLE FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype)"))
    {
        message = SqlError(db.ErrorText());
        return false;
    }
    {
        Statement insert;
        if (!insert.Prepare(db, "INSERT INTO FormInfo (RegDate,formcolumns, frozen,zoomfactor,formtype) "
                                "VALUES (?,?,?,?,?)"))
        {
            message = "prepare failure";
            return false;
        }
        const std::string type = formType.substr(0, kMaxFormTypeBytes);
        const std::string date = UtcDateText();
        if (!insert.BindText(1, date.c_str()) ||
            !insert.BindText(2, fieldList.data(), static_cast<int>(fieldList.size())) ||
            !insert.BindText(3, "1") || !insert.BindText(4, "0,0") ||
            !insert.BindText(5, type.data(), static_cast<int>(type.size())) || !insert.Run())
        {
            message = SqlError(insert.ErrorText());
            return false;
        }
    }
    if (!db.Execute(("CREATE TABLE submissions (" + columns + ",submdate,fxml)").c_str()) ||
        !db.Execute(("CREATE TABLE templates (" + columns + ",submdate,fxml, RSRV_TEMPLATE_NAME)").c_str()))
    {
        message = SqlError(db.ErrorText());
        return false;
    }
    if (!transaction.Commit())
    {
        message = SqlError(db.ErrorText());
        return false;
    }
    return true;
}

} // namespace

void SetRegistrationFileMover(RegistrationFileMover mover)
{
    FileMover() = std::move(mover);
}

std::string UtcDateText()
{
    SYSTEMTIME now;
    GetSystemTime(&now);
    char text[32];
    snprintf(text, sizeof text, "%d/%d/%d", now.wMonth, now.wDay, now.wYear);
    return text;
}

FormRegistration CheckFormRegistration(const std::wstring& dbPath, std::string* error)
{
    if (!FileExistsW(dbPath))
        return FormRegistration::Missing;
    // Only a file that is plainly no registration may be replaced: one that is not a database, or
    // one without a FormInfo row. A database that is locked or damaged holds records nonetheless.
    std::string why;
    sqlite3* db = nullptr;
    int rc = OpenDatabaseFile(dbPath.c_str(), DatabaseAccess::ReadWrite, &db, &why);
    FormRegistration state = FormRegistration::Unreadable;
    if (rc == SQLITE_NOTADB)
        state = FormRegistration::Unregistered;
    else if (rc == SQLITE_OK)
    {
        sqlite3_stmt* query = nullptr;
        rc = PrepareTracedStatement(db, "select RegDate from FormInfo", &query, &why);
        if (rc == SQLITE_OK)
        {
            rc = sqlite3_step(query);
            if (rc == SQLITE_ROW)
                state = FormRegistration::Registered;
            else if (rc == SQLITE_DONE)
                state = FormRegistration::Unregistered;
            else
                why = sqlite3_errmsg(db);
        }
        else if (rc == SQLITE_ERROR) // no FormInfo table
            state = FormRegistration::Unregistered;
        sqlite3_finalize(query);
        sqlite3_close(db);
    }
    if (error)
        *error = state == FormRegistration::Unreadable ? why : std::string();
    return state;
}

RegistrationResult CreateFormDatabase(const std::wstring& dbPath, const std::string& fieldList,
                                      const std::string& formType)
{
    RegistrationResult result;
    const FieldNameList names = ParseFieldNames(fieldList, kOrderByFieldIndex);
    if (names.count < 0)
    {
        result.message = names.error;
        result.caption = names.errorCaption;
        return result;
    }
    // A value is looked up by the part of its entry before "jjjj": an entry without it could never
    // be saved.
    const std::vector<std::string> entries = SplitEntries(fieldList);
    for (int i = 0; i < names.count; ++i)
        if (entries[i].compare(0, 4, "jjjj") == 0)
        {
            result.message = "The form's field list cannot be used: entry " + std::to_string(i + 1) + " \"" +
                             entries[i] + "\" has no field key before \"jjjj\", so its value could never be saved.";
            return result;
        }
    if (names.limitReached)
    {
        result.warning = kFieldLimitMessage;
        result.warningCaption = kFieldLimitCaption;
    }
    std::string unreadable;
    switch (CheckFormRegistration(dbPath, &unreadable))
    {
    case FormRegistration::Registered:
        result.ok = true;
        return result;
    case FormRegistration::Unreadable:
        result.message = "The form's database file exists but cannot be read now: " + unreadable +
                         "\nIt was left as it is.";
        return result;
    default:
        break;
    }

    const std::wstring temporary = TemporaryNameBeside(dbPath);
    {
        Database db;
        if (!db.Create(temporary.c_str()))
        {
            result.message = std::string("Can't open database: ") + db.ErrorText() + "\n";
            DeleteTemporary(temporary);
            return result;
        }
        if (!BuildTables(db, fieldList, formType, names.columns, result.message))
        {
            db.Close();
            DeleteTemporary(temporary);
            return result;
        }
    }

    if (FileExistsW(dbPath))
    {
        const std::wstring aside = DatedAsideName(dbPath);
        if (!MoveFileInPlace(dbPath, aside))
        {
            result.message = "The existing database file could not be moved aside: " +
                             WindowsErrorText(GetLastError());
            DeleteTemporary(temporary);
            return result;
        }
        result.movedAsidePath = aside;
    }
    if (!MoveFileInPlace(temporary, dbPath))
    {
        result.message = "The new database file could not be put in place: " + WindowsErrorText(GetLastError());
        DeleteTemporary(temporary);
        // The old file goes back under its own name; should that fail too, the user learns where it is.
        if (!result.movedAsidePath.empty() && !MoveFileInPlace(result.movedAsidePath, dbPath))
        {
            const int bytes = WideCharToMultiByte(CP_ACP, 0, result.movedAsidePath.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string aside(bytes > 0 ? bytes - 1 : 0, '\0');
            if (bytes > 1)
                WideCharToMultiByte(CP_ACP, 0, result.movedAsidePath.c_str(), -1, &aside[0], bytes, nullptr, nullptr);
            result.message += "\nThe old database file is kept as " + aside;
            return result;
        }
        result.movedAsidePath.clear();
        return result;
    }
    result.ok = true;
    return result;
}
