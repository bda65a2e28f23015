// Collections benchmark: the collections page's build on a claim database as the program writes it.
//   collections_bench <folder> <claim form pdf> [records] [runs]     (defaults 10,000 and 5)
// makes <folder>\CMS1500.gdb with that many claims (every field filled, the form XML the form writes)
// and a saved statement for every third one, then runs the page's build RUNS times in one process: the
// statement rows read from the file, each built into collection data with the filters applied in the
// same pass, wrapped, and all sorted by patient. Every result is checked against what the benchmark
// itself put in: one Collections element for each record, each record's ID once, and the charges and
// total due it summed itself. Prints the times (median and slowest) and exits 1 when a check fails.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ClaimDatabase.h"
#include "export/CollectionsRecord.h"
#include "export/CollectionsSort.h"
#include "formdb/Database.h"
#include "formdb/DatabaseStatement.h"
#include "formdb/DatabaseTransaction.h"
#include "formdb/StatementsDatabase.h"
#include "pages/CollectionsStore.h"

namespace {

const int kLines = 6; // service lines of the claim form
const wchar_t kPatientName[] = L"_2_PATIENT_S_NAME_Last_First_Middle_Initial";

[[noreturn]] void Fail(const std::string& what)
{
    std::printf("collections_bench: %s\n", what.c_str());
    std::exit(1);
}

double Seconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// What each record holds, and so what the build must add up.
long long LineDollars(int record, int line)
{
    return 15 + (record * 37 + line * 11) % 2500;
}

int LineCents(int record, int line)
{
    return (record * 13 + line * 7) % 100;
}

bool HasStatement(int record)
{
    return record % 3 == 0;
}

// The statement's amounts due on its first three lines, in cents.
long long StatementDueCents(int record, int line)
{
    return (record * 17 + line * 503) % 40000;
}

std::wstring Dollars(long long cents)
{
    wchar_t text[32];
    swprintf(text, 32, L"%lld.%02lld", cents / 100, cents % 100);
    return text;
}

std::string Narrow(const std::wstring& ascii)
{
    return std::string(ascii.begin(), ascii.end());
}

const wchar_t* const LAST_NAMES[] = {L"SMITH", L"JOHNSON", L"WILLIAMS", L"BROWN", L"JONES", L"GARCIA", L"MILLER",
                                     L"DAVIS", L"RODRIGUEZ", L"MARTINEZ", L"LOPEZ", L"WILSON", L"ANDERSON"};

// A field's name in its column's name "name----N-name" (the form XML's element is "name" "jjjj" N).
std::wstring FieldName(const std::wstring& column)
{
    return column.substr(0, column.find(L"----"));
}

// The service line (1-6) of a charges field of that kind ("dollars" or "cents"), or 0.
int ChargesLine(const std::wstring& columnName, const wchar_t* kind)
{
    const std::wstring column = FieldName(columnName);
    const std::wstring tail = std::wstring(L"_Charges_") + kind;
    if (column.compare(0, 5, L"_24f_") != 0 || column.size() != 6 + tail.size() ||
        column.compare(6, std::wstring::npos, tail) != 0)
        return 0;
    const int line = column[5] - L'0';
    return line >= 1 && line <= kLines ? line : 0;
}

std::wstring FitField(const pdf::FormField& field, std::wstring value)
{
    if (field.maxLength > 0 && value.size() > static_cast<size_t>(field.maxLength))
        value.resize(static_cast<size_t>(field.maxLength));
    return value;
}

// A value for every field: the charges as the benchmark sums them, the patient's name, boxes checked
// and other texts up to the field's length limit.
std::wstring FieldValue(const pdf::FormField& field, const std::wstring& column, int index, int record)
{
    if (field.type != pdf::FieldType::Text)
        return L"YES";
    std::wstring exact;
    if (int line = ChargesLine(column, L"dollars"))
        exact = std::to_wstring(LineDollars(record, line));
    else if (int line = ChargesLine(column, L"cents"))
        exact = std::to_wstring(LineCents(record, line));
    if (!exact.empty())
    {
        if (FitField(field, exact) != exact)
            Fail("an amount does not fit its field");
        return exact;
    }
    if (FieldName(column) == kPatientName)
        return FitField(field, std::wstring(LAST_NAMES[record % 13]) + L", PAT " + std::to_wstring(record));
    return FitField(field, L"Value " + std::to_wstring(index) + L" of " + std::to_wstring(record));
}

struct Expected
{
    int records = 0;
    long long chargesCents = 0;
    long long totalDueCents = 0;
};

// Every record's charges; its total due, line by line, is its saved statement's amount due where the
// statement holds one (lines 1-3), else the line's charge (the claim form has no paid fields).
Expected SumByHand(int records)
{
    Expected expected;
    expected.records = records;
    for (int record = 1; record <= records; ++record)
        for (int line = 1; line <= kLines; ++line)
        {
            const long long charge = LineDollars(record, line) * 100 + LineCents(record, line);
            expected.chargesCents += charge;
            expected.totalDueCents += HasStatement(record) && line <= 3 ? StatementDueCents(record, line) : charge;
        }
    return expected;
}

void MakeDatabase(const std::wstring& dbPath, const std::wstring& formPath, int records)
{
    const ClaimFormFields form = ReadClaimFormFields(formPath);
    int dollars = 0, cents = 0, patient = 0;
    for (const std::wstring& column : form.columns)
    {
        dollars += ChargesLine(column, L"dollars") ? 1 : 0;
        cents += ChargesLine(column, L"cents") ? 1 : 0;
        patient += FieldName(column) == kPatientName ? 1 : 0;
    }
    if (dollars != kLines || cents != kLines || patient != 1)
        Fail("the claim form lacks the charges or the patient's name");
    const MadeDatabase made = MakeClaimDatabase(dbPath, form, records, FieldValue);

    // Saved statements, as the statement's "Save" stores them, for every third record.
    const double start = Seconds();
    Database db;
    std::string error;
    if (!db.Open(dbPath.c_str()) || !EnsureStatementColumns(db, &error))
        Fail("statement columns: " + error + db.ErrorText());
    Statement update;
    if (!update.Prepare(db, "UPDATE submissions SET collectionsXML = ? WHERE _ROWID_ = ?"))
        Fail(std::string("prepare: ") + update.ErrorText());
    Transaction transaction(db);
    int statements = 0;
    for (int record = 1; record <= records; ++record)
    {
        if (!HasStatement(record))
            continue;
        std::wstring xml = L"<Collections><ID>" + std::to_wstring(record) + L"</ID>";
        for (int line = 1; line <= 3; ++line)
            xml += L"<TotalDue_" + std::to_wstring(line) + L">" + Dollars(StatementDueCents(record, line)) +
                   L"</TotalDue_" + std::to_wstring(line) + L">";
        xml += L"<Notes>called</Notes></Collections>";
        const std::string bytes = Narrow(xml);
        if (!update.BindText(1, bytes.data(), static_cast<int>(bytes.size())) || !update.BindInt(2, record) ||
            !update.Run() || !update.Reset())
            Fail(std::string("statement: ") + update.ErrorText());
        statements++;
    }
    update.Finalize();
    if (!transaction.Commit())
        Fail(std::string("commit: ") + db.ErrorText());
    std::printf("database: %d records of %u fields (%.0f bytes of form XML a record), %d with a saved statement, "
                "made in %.1f s\n", records, static_cast<unsigned>(form.keys.size()), made.xmlBytesPerRecord,
                statements, made.seconds + Seconds() - start);
}

size_t CountOf(const std::wstring& text, const std::wstring& what)
{
    size_t count = 0;
    for (size_t at = text.find(what); at != std::wstring::npos; at = text.find(what, at + what.size()))
        count++;
    return count;
}

// The sorted data holds one Collections element and one ID for each record, and the totals are the
// sums made by hand.
void Check(const std::wstring& sorted, const CollectionTotals& totals, const Expected& expected)
{
    const size_t collections = CountOf(sorted, L"<Collections>");
    if (collections != static_cast<size_t>(expected.records))
        Fail("the data holds " + std::to_string(collections) + " records, not " + std::to_string(expected.records));
    std::vector<int> seen(static_cast<size_t>(expected.records) + 1, 0);
    for (size_t at = sorted.find(L"<ID>"); at != std::wstring::npos; at = sorted.find(L"<ID>", at + 4))
    {
        const int id = _wtoi(sorted.c_str() + at + 4);
        if (id < 1 || id > expected.records || seen[static_cast<size_t>(id)]++)
            Fail("record ID " + std::to_string(id) + " is unknown or repeated");
    }
    if (std::count(seen.begin() + 1, seen.end(), 1) != expected.records)
        Fail("a record's ID is missing");
    if (totals.cents[CollectionTotals::Charges] != expected.chargesCents)
        Fail("charges " + std::to_string(totals.cents[CollectionTotals::Charges]) + " cents, summed by hand " +
             std::to_string(expected.chargesCents));
    if (totals.cents[CollectionTotals::TotalDue] != expected.totalDueCents)
        Fail("total due " + std::to_string(totals.cents[CollectionTotals::TotalDue]) + " cents, summed by hand " +
             std::to_string(expected.totalDueCents));
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Slowest(const std::vector<double>& values)
{
    return *std::max_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::printf("usage: collections_bench <folder> <claim form pdf> [records] [runs]\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::wstring dbPath = std::wstring(folder.begin(), folder.end()) + L"\\CMS1500.gdb";
    const std::string form = argv[2];
    const int records = argc > 3 ? std::max(1, std::atoi(argv[3])) : 10000;
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    MakeDatabase(dbPath, std::wstring(form.begin(), form.end()), records);
    const Expected expected = SumByHand(records);

    // As the page builds when it is shown: no filter, today's date, the letterhead's defaults.
    CollectionsContext context;
    context.year = 2026;
    context.month = 3;
    context.day = 1;
    std::vector<double> building, sorting, totals, reading;
    for (int run = 0; run < runs; ++run)
    {
        CollectionTotals running;
        std::wstring data;
        std::string error;
        const double start = Seconds();
        const CollectionsReadResult read = ReadCollectionRows(
            dbPath, -1,
            [&](const CollectionRow& row) { data += WrapCollections(BuildRecordCollectionsXml(row, context, running)); },
            &error);
        const double built = Seconds();
        if (read != CollectionsReadResult::Done)
            Fail("the statement rows could not be read: " + error);
        const std::wstring sorted = SortCollections(WrapXfaData(data), kSortPatientAtoZ);
        const double end = Seconds();
        Check(sorted, running, expected);
        building.push_back(built - start);
        sorting.push_back(end - built);
        totals.push_back(end - start);

        // The rows alone, read and decoded with nothing built from them.
        size_t characters = 0;
        const double readStart = Seconds();
        ReadCollectionRows(dbPath, -1, [&](const CollectionRow& row) { characters += row.fxml.size(); }, &error);
        reading.push_back(Seconds() - readStart);
        if (characters == 0)
            Fail("the rows read alone hold no form XML");
    }
    std::printf("%d records, %d runs, checked (every record once; charges %s and total due %s as summed by hand): "
                "total median %.3f s, slowest %.3f s (reading and building median %.3f s, sorting %.3f s); the rows "
                "read alone %.3f s\n", records, runs, Narrow(Dollars(expected.chargesCents)).c_str(), Narrow(Dollars(expected.totalDueCents)).c_str(),
                Median(totals), Slowest(totals), Median(building), Median(sorting), Median(reading));
    return 0;
}
