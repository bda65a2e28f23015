// Dates, cents and escaping of the collection data.
#include "export/CollectionValues.h"

#include <cwctype>

namespace {
bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

// Reads 1..maxDigits decimal digits at text[pos].
bool ReadNumber(const std::wstring& text, size_t& pos, size_t maxDigits, int& value)
{
    size_t start = pos;
    value = 0;
    while (pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9' && pos - start < maxDigits)
        value = value * 10 + (text[pos++] - L'0');
    return pos > start && !(pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9');
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}
} // namespace

std::wstring TrimBlanks(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

long DayNumberOf(int year, int month, int day)
{
    // Days from civil: shift the year to start in March so the leap day is the year's last.
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return static_cast<long>(era) * 146097 + dayOfEra - 719468;
}

bool ParseMonthDayYear(const std::wstring& raw, long& dayNumber)
{
    const std::wstring text = TrimBlanks(raw);
    size_t pos = 0;
    int month = 0, day = 0, year = 0;
    if (!ReadNumber(text, pos, 2, month) || pos >= text.size() || text[pos++] != L'/') return false;
    if (!ReadNumber(text, pos, 2, day) || pos >= text.size() || text[pos++] != L'/') return false;
    const size_t yearStart = pos;
    if (!ReadNumber(text, pos, 4, year) || pos - yearStart != 4) return false;
    if (pos < text.size() && !IsBlank(text[pos])) return false;
    if (month < 1 || month > 12 || year < 1 || day < 1 || day > DaysInMonth(year, month)) return false;
    dayNumber = DayNumberOf(year, month, day);
    return true;
}

std::wstring FormatMonthDayYear(int year, int month, int day)
{
    wchar_t text[32];
    swprintf(text, 32, L"%02d/%02d/%04d", month, day, year);
    return text;
}
