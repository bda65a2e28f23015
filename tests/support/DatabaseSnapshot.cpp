// Reading a database file's integrity and rows through SQLite's C interface alone.
#include "tests/support/DatabaseSnapshot.h"

#include <sqlite3.h>
#include <windows.h>

#include <vector>

namespace {

std::string Utf8(const std::wstring& text)
{
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(bytes > 0 ? bytes - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &out[0], bytes, nullptr, nullptr);
    return out;
}

} // namespace

DatabaseSnapshot ReadDatabaseSnapshot(const std::wstring& path)
{
    DatabaseSnapshot state;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(Utf8(path).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        state.integrity = std::string("cannot open: ") + (db ? sqlite3_errmsg(db) : "");
        sqlite3_close(db);
        return state;
    }
    auto each = [&](const std::string& sql, auto onRow) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
            state.integrity += std::string(" [") + sqlite3_errmsg(db) + "]";
            return;
        }
        int rc;
        while ((rc = sqlite3_step(stmt)) == SQLITE_ROW)
            onRow(stmt);
        if (rc != SQLITE_DONE)
            state.integrity += std::string(" [") + sqlite3_errmsg(db) + "]";
        sqlite3_finalize(stmt);
    };
    auto text = [](sqlite3_stmt* stmt, int column) {
        const unsigned char* value = sqlite3_column_text(stmt, column);
        return value ? std::string(reinterpret_cast<const char*>(value)) : std::string("<null>");
    };
    each("PRAGMA integrity_check", [&](sqlite3_stmt* stmt) { state.integrity += text(stmt, 0); });
    each("SELECT name FROM sqlite_master WHERE type='trigger' ORDER BY name",
         [&](sqlite3_stmt* stmt) { state.triggers += text(stmt, 0) + "\n"; });
    std::vector<std::string> tables;
    each("SELECT name FROM sqlite_master WHERE type='table' ORDER BY name",
         [&](sqlite3_stmt* stmt) { tables.push_back(text(stmt, 0)); });
    for (const std::string& table : tables) {
        state.rows += "[" + table + "]\n";
        each("SELECT _ROWID_,* FROM [" + table + "] ORDER BY _ROWID_", [&](sqlite3_stmt* stmt) {
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                state.rows += (c ? "|" : "") + text(stmt, c);
            state.rows += "\n";
        });
    }
    sqlite3_close(db);
    return state;
}
