// Filters and the per-record collection XML.
#include "export/CollectionsRecord.h"

#include "common/Diagnostics.h"
#include "export/CollectionValues.h"
#include "export/CollectionsFieldMap.h"
#include "export/RecordBalance.h"
#include "export/RecordElements.h"
#include "framework/TextEscapes.h"

namespace {
const wchar_t kFieldMark[] = L"jjjj";

const RecordElement* RecordField(const RecordElements& record, const std::wstring& field)
{
    return record.FindStartingWith(field + kFieldMark);
}

void AppendElement(std::wstring& xml, const std::wstring& name, const std::wstring& value)
{
    xml += L'<';
    AppendEscapedXml(xml, name);
    xml += L'>';
    AppendEscapedXml(xml, value);
    xml += L"</";
    AppendEscapedXml(xml, name);
    xml += L'>';
}

bool Contains(const std::wstring& text, const wchar_t* word)
{
    return text.find(word, 1) != std::wstring::npos;
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

// The value of a "$DB$" source; false when it adds nothing.
bool ProgramValue(const std::wstring& source, const CollectionRow& row, const CollectionsContext& context, long today,
                  std::wstring& value)
{
    const LetterheadValues& head = context.letterhead;
    const bool statement = context.statementId >= 0;
    if (Contains(source, L"submdate")) value = row.submdate;
    else if (Contains(source, L"NumberOfDays")) {
        long since = 0;
        value = std::to_wstring(ParseMonthDayYear(row.memorizedDate, since) ? today - since : 0) + L" Days";
    }
    else if (Contains(source, L"CurrentDate")) value = FormatMonthDayYear(context.year, context.month, context.day);
    else if (Contains(source, L"ID")) value = std::to_wstring(row.rowId);
    else if (Contains(source, L"CompanyName")) value = head.text;
    else if (Contains(source, L"ImageLogoSize")) { if (!statement) return false; value = head.imageSize; }
    else if (Contains(source, L"Imagez2LogoSize")) { if (!statement) return false; value = head.imagez2Size; }
    else if (Contains(source, L"ImageLogo")) { if (!statement) return false; value = head.logo; }
    else if (Contains(source, L"TextLogo")) value = head.textHeader ? L"1" : L"0";
    else if (Contains(source, L"ChangeAddress")) value = context.changeAddress ? L"1" : L"0";
    else if (Contains(source, L"Font")) value = head.fontName;
    else if (Contains(source, L"Size")) value = head.fontSize;
    else return false;
    return true;
}

// Which running total a paid "$CX$" element adds to; Count for none (the total due is the record's
// balance, added once for the whole record).
CollectionTotals::Kind StatementTotalOf(const std::wstring& element)
{
    if (StartsWith(element, L"CoPay_")) return CollectionTotals::CoPay;
    if (StartsWith(element, L"PatientPd_")) return CollectionTotals::PatientPaid;
    if (StartsWith(element, L"Payer1Pd_")) return CollectionTotals::Payer1Paid;
    if (StartsWith(element, L"Payer2Pd_")) return CollectionTotals::Payer2Paid;
    return CollectionTotals::Count;
}

} // namespace

long long CentsOrZero(const std::wstring& text, const wchar_t* what)
{
    long long cents = 0;
    if (ParseCents(text, cents)) return cents;
    DebugTraceW((L"amount not read, counted 0: " + std::wstring(what) + L"=\"" + text + L"\"").c_str(), TRUE);
    return 0;
}

bool RecordFieldStartsWith(const RecordElements& record, const std::wstring& field, const std::wstring& filter, bool exact)
{
    const std::wstring wanted = TrimBlanks(filter);
    if (wanted.empty()) return true;
    const RecordElement* element = RecordField(record, field);
    if (!element) return false;
    const std::wstring value = TrimBlanks(element->text);
    return exact ? value == wanted : value.compare(0, wanted.size(), wanted) == 0;
}

namespace {
// The "Past Due" choice with the record and its statement already loaded.
bool PastDueMatches(const CollectionRow& row, const RecordElements& record, const RecordElements& statement,
                    int pastDue, long today)
{
    long created = 0;
    const long age = ParseMonthDayYear(row.submdate, created) ? today - created : 0;
    switch (pastDue) {
    case kPastDue30: return age >= 30;
    case kPastDue45: return age >= 45;
    case kPastDue60: return age >= 60;
    case kPastDue90: return age >= 90;
    case kPastDueUnder30: return age < 30;
    case kPastDueAnyBalance: return RecordBalanceCents(record, statement) != 0;
    case kPastDueAll: return true;
    case kPastDuePaidInFull: return RecordBalanceCents(record, statement) == 0;
    default: return true;
    }
}

bool MatchesFilter(const RecordElements& record, const RecordElements& statement, const CollectionRow& row,
                   const CollectionFilters& filters, long today)
{
    return RecordFieldStartsWith(record, L"_4_INSUREDS_NAME_Last_First_Middle_Initial", filters.insured, false) &&
           RecordFieldStartsWith(record, L"_1a_Insureds_ID", filters.insuredId, true) &&
           RecordFieldStartsWith(record, L"_11_Insureds_Policy_Group", filters.policy, true) &&
           RecordFieldStartsWith(record, L"_5_PATIENTS_PHONE_NUMBER", filters.phone, true) &&
           PastDueMatches(row, record, statement, filters.pastDue, today) &&
           RecordFieldStartsWith(record, L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", filters.patient, false);
}

void LoadStatement(const CollectionRow& row, RecordElements& statement)
{
    statement.Load(row.collectionsXml.empty() ? L"<r></r>" : row.collectionsXml);
}
} // namespace

bool PastDueFilter(const CollectionRow& row, int pastDue, long today)
{
    RecordElements record, statement;
    record.Load(row.fxml);
    LoadStatement(row, statement);
    return PastDueMatches(row, record, statement, pastDue, today);
}

bool RecordMatchesFilter(const RecordElements& record, const CollectionRow& row, const CollectionFilters& filters, long today)
{
    RecordElements statement;
    LoadStatement(row, statement);
    return MatchesFilter(record, statement, row, filters, today);
}

std::wstring BuildRecordCollectionsXml(const CollectionRow& row, const CollectionsContext& context, CollectionTotals& totals)
{
    RecordElements record, statement;
    record.Load(row.fxml); // a record that does not load has no fields: they count nothing
    LoadStatement(row, statement);
    const long today = DayNumberOf(context.year, context.month, context.day);
    if (!MatchesFilter(record, statement, row, context.filters, today)) return std::wstring();

    std::wstring xml;
    xml.reserve(4096); // a record's elements without letterhead logo: about 2,500 characters
    for (const auto& pair : CollectionsFieldMap()) {
        const std::wstring& source = pair.first;
        const std::wstring& name = pair.second;
        if (source.empty()) continue;
        std::wstring value;
        if (StartsWith(source, L"$DB$")) {
            if (ProgramValue(source, row, context, today, value)) AppendElement(xml, name, value);
        } else if (StartsWith(source, L"$CX$")) {
            const RecordElement* saved = statement.Find(source.substr(4));
            if (!saved) continue;
            AppendElement(xml, name, saved->text);
            const CollectionTotals::Kind kind = StatementTotalOf(name);
            if (kind != CollectionTotals::Count) totals.cents[kind] += CentsOrZero(saved->text, name.c_str());
        } else {
            const RecordElement* field = RecordField(record, source);
            if (!field) continue;
            value = field->text;
            long long charge = 0;
            if (source.size() >= 22 && source.compare(6, 16, L"_Charges_dollars") == 0) {
                // Whole dollars and the line's cents field make the charge.
                charge = LineChargeCents(record, source);
                value = FormatCents(charge);
            } else if (StartsWith(name, L"Charges_")) {
                charge = CentsOrZero(value, source.c_str());
            }
            AppendElement(xml, name, value);
            if (StartsWith(name, L"Charges_")) totals.cents[CollectionTotals::Charges] += charge;
        }
    }
    totals.cents[CollectionTotals::TotalDue] += RecordBalanceCents(record, statement);
    return xml;
}

std::wstring WrapCollections(const std::wstring& text)
{
    return L"<Collections>" + text + L"</Collections>";
}

std::wstring WrapXfaData(const std::wstring& text)
{
    return L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           L"<xfa:data xmlns:xfa=\"http://www.xfa.org/schema/xfa-data/1.0/\"><form1><DataForm>" +
           text + L"</DataForm></form1></xfa:data>";
}
