// 64-bit integer texts: digits most significant first, lower-case letters from ten.
#include "kit/Int64Text.h"

bool uint64ToText(uint64_t value, char* buffer, int radix, bool negative)
{
    if (!buffer)
        return false;
    buffer[0] = 0;
    if (radix < 2 || radix > 36)
        return false;
    char digits[66];
    int n = 0;
    do {
        int d = (int)(value % (uint64_t)radix);
        digits[n++] = (char)(d < 10 ? '0' + d : 'a' + d - 10);
        value /= (uint64_t)radix;
    } while (value);
    int pos = 0;
    if (negative)
        buffer[pos++] = '-';
    while (n)
        buffer[pos++] = digits[--n];
    buffer[pos] = 0;
    return true;
}

bool int64ToText(int64_t value, char* buffer, int radix)
{
    if (radix == 10 && value < 0) {
        // The magnitude in unsigned arithmetic, so that the smallest value has one too.
        return uint64ToText(0 - (uint64_t)value, buffer, radix, true);
    }
    return uint64ToText((uint64_t)value, buffer, radix, false);
}

void appendInt64(int64_t value, kit::StringBuffer& out)
{
    char text[kInt64TextSize];
    if (int64ToText(value, text, 10))
        out.append(text);
}

uint64_t makeUInt64(uint32_t low, uint32_t high) { return (uint64_t)high << 32 | low; }

void splitUInt64(uint64_t value, uint32_t& low, uint32_t& high)
{
    low = (uint32_t)value;
    high = (uint32_t)(value >> 32);
}
