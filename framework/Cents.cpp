// Amounts in whole cents.
#include "framework/Cents.h"

#include <cwchar>

namespace {
bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f';
}

std::wstring Trimmed(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}
} // namespace

bool ParseCents(const std::wstring& raw, long long& cents)
{
    const std::wstring text = Trimmed(raw);
    size_t pos = 0;
    bool negative = false;
    // Blanks may follow the sign and the "$", as people type them ("- 12.50", "$ 75.00").
    auto skipBlanks = [&] { while (pos < text.size() && IsBlank(text[pos])) ++pos; };
    if (pos < text.size() && (text[pos] == L'-' || text[pos] == L'+')) negative = text[pos++] == L'-';
    skipBlanks();
    if (pos < text.size() && text[pos] == L'$') ++pos;
    skipBlanks();
    long long whole = 0;
    int digits = 0;
    bool lastWasComma = false;
    for (; pos < text.size(); ++pos) {
        const wchar_t c = text[pos];
        if (c >= L'0' && c <= L'9') {
            if (whole > 100000000000000LL) return false;
            whole = whole * 10 + (c - L'0');
            ++digits;
            lastWasComma = false;
        } else if (c == L',' && digits > 0 && !lastWasComma) {
            lastWasComma = true;
        } else {
            break;
        }
    }
    if (lastWasComma) return false;
    // Decimals beyond the cent round half away from zero, judged on the digits as written (exact).
    int fraction = 0, fractionDigits = 0;
    bool roundUp = false;
    if (pos < text.size() && text[pos] == L'.') {
        for (++pos; pos < text.size() && text[pos] >= L'0' && text[pos] <= L'9'; ++pos) {
            if (fractionDigits == 2) roundUp = text[pos] >= L'5';
            if (fractionDigits < 2) fraction = fraction * 10 + (text[pos] - L'0');
            ++fractionDigits;
        }
        if (fractionDigits == 1) fraction *= 10;
    }
    if (pos != text.size()) return false;
    if (digits == 0 && fractionDigits == 0) {
        // Only an empty text stands for nothing; a lone sign or "$" is not an amount.
        if (!text.empty()) return false;
    }
    cents = whole * 100 + fraction + (roundUp ? 1 : 0);
    if (negative) cents = -cents;
    return true;
}

std::wstring FormatCents(long long cents)
{
    const bool negative = cents < 0;
    const unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(cents) : cents;
    wchar_t text[40];
    swprintf(text, 40, L"%s%llu.%02llu", negative ? L"-" : L"", magnitude / 100, magnitude % 100);
    return text;
}
