// A record's balance from its saved statement and, for lines the statement gives no balance, from
// the record's own charges and payments.
#include "export/RecordBalance.h"

#include "export/CollectionValues.h"
#include "export/CollectionsRecord.h"
#include "export/RecordElements.h"

namespace {
const wchar_t kFieldMark[] = L"jjjj";

long long FieldCents(const RecordElements& record, const std::wstring& name)
{
    const RecordElement* element = record.FindStartingWith(name + kFieldMark);
    return element ? CentsOrZero(element->text, name.c_str()) : 0;
}
} // namespace

long long LineChargeCents(const RecordElements& record, const std::wstring& dollarsField)
{
    const RecordElement* dollars = record.FindStartingWith(dollarsField + kFieldMark);
    if (!dollars) return 0;
    std::wstring centsField = dollarsField;
    centsField.replace(dollarsField.size() - 7, 7, L"cents");
    long long centsPart = 0;
    if (const RecordElement* cents = record.FindStartingWith(centsField + kFieldMark))
        centsPart = CentsOrZero(cents->text, centsField.c_str()) / 100;
    return CentsOrZero(dollars->text, dollarsField.c_str()) + centsPart;
}

long long RecordBalanceCents(const RecordElements& record, const RecordElements& statement)
{
    long long balance = 0;
    for (int k = 1; k <= 6; ++k) {
        const std::wstring line = std::to_wstring(k);
        // Found as the totals find the statement's values ("//TotalDue_n"). A blank one is no
        // balance: a statement saved before its lines were computed left them empty.
        const std::wstring dueName = L"TotalDue_" + line;
        const RecordElement* due = statement.Find(dueName);
        if (due && !TrimBlanks(due->text).empty()) {
            balance += CentsOrZero(due->text, dueName.c_str());
            continue;
        }
        balance += LineChargeCents(record, L"_24f_" + line + L"_Charges_dollars");
        for (const wchar_t* paid : {L"CoPay_", L"PatientPd_", L"Payer1Pd_", L"Payer2Pd_"})
            balance -= FieldCents(record, paid + line);
    }
    return balance;
}
