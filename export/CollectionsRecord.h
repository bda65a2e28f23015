// One record of the collection data: whether it passes the collections page's filters, its
// collection XML built from the field map, and its amounts added to the running totals (in cents).
#pragma once
#include <string>

class RecordElements;

// The filters of the collections page, as read from its controls.
struct CollectionFilters
{
    std::wstring patient;   // starts with, against the patient's name
    std::wstring insured;   // starts with, against the insured's name
    std::wstring insuredId; // exact
    std::wstring policy;    // exact
    std::wstring phone;     // exact, against the patient's phone
    int pastDue = -1;       // "Past Due" index; -1 nothing selected
};

// "Past Due" choices, by index.
enum PastDueChoice { kPastDue30, kPastDue45, kPastDue60, kPastDue90, kPastDueUnder30, kPastDueAnyBalance,
                     kPastDueAll, kPastDuePaidInFull };

// The columns of one submissions row that the data is built from.
struct CollectionRow
{
    std::wstring fxml;
    std::wstring submdate;
    long long rowId = 0;
    std::wstring collectionsXml;
    std::wstring memorizedDate;
};

// The letterhead values a statement carries, read once per build.
struct LetterheadValues
{
    bool textHeader = true;
    std::wstring text, fontName, fontSize;
    std::wstring imageSize = L"1", imagez2Size = L"1";
    std::wstring logo; // base64
};

// The six running totals, in whole cents.
struct CollectionTotals
{
    enum Kind { Charges, CoPay, PatientPaid, Payer1Paid, Payer2Paid, TotalDue, Count };
    long long cents[Count] = {};
};

struct CollectionsContext
{
    CollectionFilters filters;
    int statementId = -1;       // the one record of a statement, or -1 for the list
    bool changeAddress = false; // the page's check box
    int year = 1970, month = 1, day = 1; // today
    LetterheadValues letterhead;
};

// Trimmed filter against the trimmed text of the field's element (the first element whose name starts
// with field + "jjjj"); an empty filter passes, a missing element fails. Case-sensitive.
bool RecordFieldStartsWith(const RecordElements& record, const std::wstring& field, const std::wstring& filter, bool exact);
// The "Past Due" choice against the record's age (today minus submdate, month/day/year; 0 when it
// does not parse) and its balance in cents (RecordBalanceCents of its fxml and collectionsXML, the
// figure the "Total Due" total adds up).
bool PastDueFilter(const CollectionRow& row, int pastDue, long today);
// The filters in order: insured, insured's ID, policy, phone, past due, patient.
bool RecordMatchesFilter(const RecordElements& record, const CollectionRow& row, const CollectionFilters& filters, long today);

// The record's collection XML (escaped values, no envelope), empty when the filters reject it; adds
// the record's amounts to totals.
std::wstring BuildRecordCollectionsXml(const CollectionRow& row, const CollectionsContext& context, CollectionTotals& totals);

// "<Collections>...</Collections>".
std::wstring WrapCollections(const std::wstring& text);
// The XML declaration and xfa:data / form1 / DataForm around the text.
std::wstring WrapXfaData(const std::wstring& text);

// An amount read as cents; one that does not parse counts 0 and is traced with what it was.
long long CentsOrZero(const std::wstring& text, const wchar_t* what);
