// The small value formats of the collection data: month/day/year dates (read the same way whatever
// the user's locale), money held in whole cents (framework/Cents.h), and XML text escaping.
#pragma once
#include <string>

#include "framework/Cents.h"

// Reads "m/d/yyyy" (one or two digits for month and day, four for the year; white space around it
// and a time after a blank are allowed) as a day number; false when it is not a real date.
bool ParseMonthDayYear(const std::wstring& text, long& dayNumber);
// The day number of a calendar date (days since 1 Jan 1970, proleptic Gregorian).
long DayNumberOf(int year, int month, int day);
// "%02d/%02d/%04d" of a calendar date.
std::wstring FormatMonthDayYear(int year, int month, int day);


// White space trimmed at both ends.
std::wstring TrimBlanks(const std::wstring& text);
