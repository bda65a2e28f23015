// The line balances of a patient statement.
#include "viewer/StatementBalances.h"

#include "framework/Cents.h"

#include <cwchar>

namespace viewer {

namespace {
const wchar_t kTotalDue[] = L"TotalDue_";
const wchar_t* const kPayments[] = {L"CoPay_", L"PatientPd_", L"Payer1Pd_", L"Payer2Pd_"};

// The line number part of key when key is prefix followed by digits only; empty otherwise.
std::wstring LineOf(const std::wstring& key, const wchar_t* prefix)
{
    const size_t length = std::wcslen(prefix);
    if (key.size() <= length || key.compare(0, length, prefix) != 0) return std::wstring();
    const std::wstring line = key.substr(length);
    return line.find_first_not_of(L"0123456789") == std::wstring::npos ? line : std::wstring();
}

const std::wstring* ValueOf(const std::vector<std::wstring>& keys, const std::vector<std::wstring>& values,
                            const std::wstring& key)
{
    for (size_t i = 0; i < keys.size() && i < values.size(); ++i)
        if (keys[i] == key) return &values[i];
    return nullptr;
}

bool IsBlank(const std::wstring& text)
{
    return text.find_first_not_of(L" \t\r\n") == std::wstring::npos;
}
} // namespace

bool IsProgramStatement(const std::wstring& subject)
{
    return subject == L"Formstead patient statement";
}

bool IsBalanceInput(const std::wstring& key)
{
    if (!LineOf(key, L"Charges_").empty()) return true;
    for (const wchar_t* payment : kPayments)
        if (!LineOf(key, payment).empty()) return true;
    return false;
}

std::vector<std::pair<size_t, std::wstring>> LineBalances(const std::vector<std::wstring>& keys,
                                                          const std::vector<std::wstring>& values)
{
    std::vector<std::pair<size_t, std::wstring>> balances;
    for (size_t i = 0; i < keys.size(); ++i) {
        const std::wstring line = LineOf(keys[i], kTotalDue);
        if (line.empty()) continue;
        const std::wstring* charge = ValueOf(keys, values, L"Charges_" + line);
        long long balance = 0;
        if (!charge || IsBlank(*charge) || !ParseCents(*charge, balance)) {
            balances.emplace_back(i, std::wstring());
            continue;
        }
        for (const wchar_t* payment : kPayments) {
            long long paid = 0;
            const std::wstring* text = ValueOf(keys, values, payment + line);
            if (text && ParseCents(*text, paid)) balance -= paid;
        }
        balances.emplace_back(i, FormatCents(balance));
    }
    return balances;
}

} // namespace viewer
