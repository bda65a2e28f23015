// Amounts typed into fields: the shared reader, with a blank field holding no amount.
#include "viewer/FieldCalculation.h"
#include <cwctype>

namespace viewer {

bool ParseCents(const std::wstring& text, long long& cents)
{
    bool blank = true;
    for (wchar_t c : text) blank = blank && std::iswspace(c);
    return !blank && ::ParseCents(text, cents);
}

} // namespace viewer
