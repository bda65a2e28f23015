// The calculations a form's fields carry out as a reader runs them: a field that shows the sum of
// other fields' amounts, in cents, read and written as the rest of the program reads them.
#pragma once
#include "framework/Cents.h"
#include <string>

namespace viewer {

// Reads an amount typed into a field ("150", "-12.5", "1,234.56", "$ 75.00") as cents, as the shared
// reader does; false for an empty or blank text, which holds no amount (a sum of blank fields is
// blank, not 0.00), and for one that is no amount.
bool ParseCents(const std::wstring& text, long long& cents);

// Cents as an amount with two decimals ("-1234.50").
using ::FormatCents;

} // namespace viewer
