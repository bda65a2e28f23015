// Runs one database operation of the form pages and ends itself, with no warning, when the chosen
// traced SQL statement is about to run. The crash tests start it once per statement.
//   crash_driver <register|save|update|update-template|delete> <database path> <statement, 0 for none>
// Exit code: 0 the operation completed, 1 it reported a failure, 2 bad arguments, 77 ended at the
// statement.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>

#include "formdb/Database.h"
#include "formdb/FormDatabase.h"
#include "formdb/RecordsDatabase.h"
#include "CrashOperations.h"

namespace {

long g_killAt = 0;

void EndAtChosenStatement(long count)
{
    if (count == g_killAt)
        TerminateProcess(GetCurrentProcess(), kKilledExitCode);
}

RecordToStore Record(const char* reply, bool isTemplate, long long replaced)
{
    RecordToStore record;
    record.reply = reply;
    record.formXml = std::string("<form>") + reply + "</form>";
    record.isTemplate = isTemplate;
    // The page passes the name the template is shown under.
    record.templateName = isTemplate ? kUpdatedTemplateName : "";
    record.update = replaced > 0;
    record.replacedRowId = replaced;
    record.saveDate = kSaveDate;
    return record;
}

int Run(const std::wstring& operation, const std::wstring& db)
{
    if (operation == L"register")
        return CreateFormDatabase(db, kFieldList, kFormType).ok ? 0 : 1;
    if (operation == L"save")
        return StoreFormRecord(db, Record(kNewReply, false, 0)).outcome == StoreOutcome::Stored ? 0 : 1;
    if (operation == L"update")
        return StoreFormRecord(db, Record(kNewReply, false, kUpdatedRecord)).outcome == StoreOutcome::Stored ? 0 : 1;
    if (operation == L"update-template")
        return StoreFormRecord(db, Record(kNewReply, true, kUpdatedTemplate)).outcome == StoreOutcome::Stored ? 0 : 1;
    if (operation == L"delete")
        return DeleteRecordRows(db, {{1, false}, {3, false}, {1, true}}).ok ? 0 : 1;
    return 2;
}

} // namespace

int main()
{
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 4) {
        fprintf(stderr, "usage: crash_driver <operation> <database> <statement>\n");
        return 2;
    }
    g_killAt = wcstol(argv[3], nullptr, 10);
    if (g_killAt > 0)
        SetTracedStatementHook(EndAtChosenStatement);
    const int result = Run(argv[1], argv[2]);
    LocalFree(argv);
    return result;
}
