// The small value formats of the collection data: month/day/year dates (read the same way whatever
// the user's locale), money held in whole cents, and XML text escaping.
#pragma once
#include <string>

// Reads "m/d/yyyy" (one or two digits for month and day, four for the year; white space around it
// and a time after a blank are allowed) as a day number; false when it is not a real date.
bool ParseMonthDayYear(const std::wstring& text, long& dayNumber);
// The day number of a calendar date (days since 1 Jan 1970, proleptic Gregorian).
long DayNumberOf(int year, int month, int day);
// "%02d/%02d/%04d" of a calendar date.
std::wstring FormatMonthDayYear(int year, int month, int day);

// Reads an amount ("125", "-3.5", "1250.75", "$1,250.75", "12.345") into whole cents, more decimals
// rounded half away from zero; false when it is not an amount or out of range. An empty (or blank)
// text is 0.
bool ParseCents(const std::wstring& text, long long& cents);
// "%.2f" of an amount in cents, computed exactly ("-0.05", "1250.75").
std::wstring FormatCents(long long cents);


// White space trimmed at both ends.
std::wstring TrimBlanks(const std::wstring& text);
