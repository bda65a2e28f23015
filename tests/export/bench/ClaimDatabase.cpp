// Builds the benchmarks' claim database through the program's own registration, insert text, stored
// text encoding and form XML.
#include "ClaimDatabase.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>

#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/FieldNames.h"
#include "formdb/FormDatabase.h"
#include "formdb/StoredText.h"
#include "viewer/FormFieldNames.h"
#include "viewer/FormXml.h"

namespace {

[[noreturn]] void Fail(const std::string& what)
{
    std::printf("claim database: %s\n", what.c_str());
    std::exit(1);
}

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Narrow(const std::wstring& ascii)
{
    return std::string(ascii.begin(), ascii.end());
}

} // namespace

ClaimFormFields ReadClaimFormFields(const std::wstring& formPath)
{
    std::string bytes;
    FILE* file = ::_wfopen(formPath.c_str(), L"rb");
    if (!file)
        Fail("cannot read the claim form");
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, n);
    std::fclose(file);
    pdf::FormDocument form;
    std::string error;
    if (!pdf::ReadPdfForm(bytes, form, error))
        Fail("cannot read the form: " + error);
    ClaimFormFields result;
    result.fields = form.fields;
    result.keys = viewer::MakeFieldKeys(form.fields);
    result.columns = viewer::MakeColumnNames(form.fields);
    return result;
}

MadeDatabase MakeClaimDatabase(const std::wstring& dbPath, const ClaimFormFields& form, int records,
                               const ClaimValueMaker& valueOf)
{
    const std::string fieldList = Narrow(viewer::BuildFieldList(form.keys, form.columns));
    const FieldNameList names = ParseFieldNames(fieldList, kOrderAsListed);
    if (names.count != static_cast<int>(form.keys.size()))
        Fail("the field list gave " + std::to_string(names.count) + " names: " + names.error);

    const double start = Seconds();
    const RegistrationResult registered = CreateFormDatabase(dbPath, fieldList, "CMS1500");
    if (!registered.ok)
        Fail("registration: " + registered.message);
    Database db;
    if (!db.Open(dbPath.c_str()))
        Fail(std::string("open: ") + db.ErrorText());
    Statement insert;
    if (!insert.Prepare(db, BuildInsertText(names.columns, names.count, false).c_str()))
        Fail(std::string("prepare: ") + insert.ErrorText());
    Transaction transaction(db);
    if (!transaction.Active())
        Fail(std::string("begin: ") + db.ErrorText());
    std::vector<std::wstring> values(form.keys.size());
    size_t xmlBytes = 0;
    for (int record = 1; record <= records; ++record)
    {
        for (size_t i = 0; i < form.keys.size(); ++i)
        {
            values[i] = valueOf(form.fields[i], form.columns[i], static_cast<int>(i), record);
            const std::string stored = EncodeStoredText(values[i]);
            if (!insert.BindText(static_cast<int>(i) + 1, stored.data(), static_cast<int>(stored.size())))
                Fail(std::string("bind: ") + insert.ErrorText());
        }
        // The form XML is pure ASCII (other characters are character references): its ANSI bytes.
        const std::string xml = Narrow(viewer::BuildFormXml(form.keys, values));
        xmlBytes += xml.size();
        if (!insert.BindText(names.count + 1, "1/2/2026") ||
            !insert.BindText(names.count + 2, xml.data(), static_cast<int>(xml.size())) || !insert.Run() ||
            !insert.Reset())
            Fail(std::string("insert: ") + insert.ErrorText());
    }
    insert.Finalize();
    if (!transaction.Commit())
        Fail(std::string("commit: ") + db.ErrorText());
    MadeDatabase made;
    made.seconds = Seconds() - start;
    made.xmlBytesPerRecord = records > 0 ? static_cast<double>(xmlBytes) / records : 0;
    return made;
}
