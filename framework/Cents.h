// Money as whole cents, read and written the same way by every layer (the collection totals, the
// statement's line balances): no floating point, so 150.00 + 275.50 is exactly 425.50.
#pragma once
#include <string>

// Reads an amount ("125", "-3.5", "1250.75", "$1,250.75", "- $ 75.00", "12.345") into whole cents,
// more decimals rounded half away from zero; false when it is not an amount or out of range. An empty
// (or blank) text is 0.
bool ParseCents(const std::wstring& text, long long& cents);
// "%.2f" of an amount in cents, computed exactly ("-0.05", "1250.75").
std::wstring FormatCents(long long cents);
