// Amounts in cents: read from what the user typed, written with two decimals.
#include "viewer/FieldCalculation.h"
#include <cstdio>
#include <cwctype>

namespace viewer {

bool ParseCents(const std::wstring& text, long long& cents)
{
    size_t at = 0;
    auto skipBlanks = [&] { while (at < text.size() && std::iswspace(text[at])) ++at; };
    skipBlanks();
    bool negative = false;
    if (at < text.size() && (text[at] == L'-' || text[at] == L'+')) negative = text[at++] == L'-';
    skipBlanks();
    if (at < text.size() && text[at] == L'$') ++at;
    skipBlanks();
    long long whole = 0;
    int digits = 0, decimals = 0, fraction = 0;
    bool roundUp = false;
    for (; at < text.size(); ++at) {
        const wchar_t c = text[at];
        if (c >= L'0' && c <= L'9') {
            if (whole > 100000000000LL) return false; // beyond any amount of a statement
            whole = whole * 10 + (c - L'0');
            ++digits;
        } else if (c != L',' || digits == 0) {
            break;
        }
    }
    if (at < text.size() && text[at] == L'.') {
        for (++at; at < text.size() && text[at] >= L'0' && text[at] <= L'9'; ++at, ++decimals) {
            if (decimals < 2) fraction = fraction * 10 + (text[at] - L'0');
            else if (decimals == 2) roundUp = text[at] >= L'5';
        }
    }
    skipBlanks();
    if (at != text.size() || (digits == 0 && decimals == 0)) return false;
    if (decimals == 1) fraction *= 10;
    cents = whole * 100 + fraction + (roundUp ? 1 : 0);
    if (negative) cents = -cents;
    return true;
}

std::wstring FormatCents(long long cents)
{
    const unsigned long long magnitude = cents < 0 ? 0ULL - static_cast<unsigned long long>(cents) : cents;
    wchar_t text[40];
    std::swprintf(text, 40, L"%ls%llu.%02llu", cents < 0 ? L"-" : L"", magnitude / 100, magnitude % 100);
    return text;
}

} // namespace viewer
