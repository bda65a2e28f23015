// What a patient statement computes as its own script would: each service line's balance,
// TotalDue_n = Charges_n - CoPay_n - PatientPd_n - Payer1Pd_n - Payer2Pd_n, in whole cents. Keyed on
// the fields' names, wherever the statement places them; only the program's own statement computes
// them, never a user's form whose fields happen to share the names.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace viewer {

// True when a document's information subject marks it as the program's own statement (its
// generator writes "Formstead patient statement" there).
bool IsProgramStatement(const std::wstring& subject);

// True when a change of the field named key changes a line's balance (a charge or a payment).
bool IsBalanceInput(const std::wstring& key);

// For every TotalDue_n field of the form: its index and the balance it shows ("74.75"). A line with
// no Charges_n field, or a blank one, shows nothing; a payment left blank, or one that is no
// amount, takes nothing off.
std::vector<std::pair<size_t, std::wstring>> LineBalances(const std::vector<std::wstring>& keys,
                                                          const std::vector<std::wstring>& values);

} // namespace viewer
