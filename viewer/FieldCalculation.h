// The calculations a form's fields carry out as a reader runs them: a field that shows the sum of
// other fields' amounts, in cents.
#pragma once
#include <string>

namespace viewer {

// Reads an amount ("150", "-12.5", "1,234.56", "$ 75.00") as cents; false for an empty text or one
// that is no amount. Digits after the second decimal round half away from zero.
bool ParseCents(const std::wstring& text, long long& cents);

// Cents as an amount with two decimals ("-1234.50").
std::wstring FormatCents(long long cents);

} // namespace viewer
