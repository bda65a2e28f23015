// UTF-8 tables and checks, the BMP character codec and the UTF-8 <-> UTF-32 converters.
#include "charset/UnicodeCodecs.h"
#include "kit/DataBuffer.h"

const char trailingBytesForUTF8[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5};

const uint32_t offsetsFromUTF8[6] = {0x00000000UL, 0x00003080UL, 0x000E2080UL,
                                     0x03C82080UL, 0xFA082080UL, 0x82082080UL};

const unsigned char firstByteMark[7] = {0x00, 0x00, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC};

bool isLegalUtf8(const unsigned char* source, int length)
{
    if (length < 1 || length > 4)
        return false;
    const unsigned char* p = source + length;
    unsigned char a;
    switch (length) {
    case 4:
        if ((a = *--p) < 0x80 || a > 0xBF)
            return false;
        [[fallthrough]];
    case 3:
        if ((a = *--p) < 0x80 || a > 0xBF)
            return false;
        [[fallthrough]];
    case 2:
        if ((a = *--p) > 0xBF)
            return false;
        switch (*source) {
        case 0xE0:
            if (a < 0xA0)
                return false;
            break;
        case 0xF0:
            if (a < 0x90)
                return false;
            break;
        case 0xF4:
            if (a > 0x8F)
                return false;
            break;
        default:
            if (a < 0x80)
                return false;
        }
        [[fallthrough]];
    case 1:
        if (*source >= 0x80 && *source < 0xC2)
            return false;
    }
    return *source < 0xF5;
}

int utf8SkipLength(const unsigned char* bytes, uint32_t bytesLeft)
{
    if (!bytes || bytesLeft == 0)
        return 0;
    uint32_t t = (uint32_t)trailingBytesForUTF8[bytes[0]];
    if (bytesLeft < t + 1)
        return (int)bytesLeft;
    return isLegalUtf8(bytes, (int)t + 1) ? (int)t + 1 : 1;
}

int ConvertState::utf8ToUcs2(const unsigned char* p, uint32_t left, uint16_t* unit)
{
    if (!p || left == 0)
        return -2; // no byte to read: the data ends before the sequence
    unsigned char b = p[0];
    if (b < 0x80) {
        *unit = b;
        return 1;
    }
    if (b < 0xC2)
        return -1;
    if (b < 0xE0) {
        if (left < 2)
            return -2;
        if ((p[1] & 0xC0) != 0x80)
            return -1;
        *unit = (uint16_t)((b & 0x1F) << 6 | (p[1] & 0x3F));
        return 2;
    }
    if (b < 0xF0) {
        if (left < 3)
            return -2;
        if ((p[1] & 0xC0) != 0x80 || (p[2] & 0xC0) != 0x80 || (b == 0xE0 && p[1] < 0xA0))
            return -1;
        *unit = (uint16_t)((b & 0x0F) << 12 | (p[1] & 0x3F) << 6 | (p[2] & 0x3F));
        return 3;
    }
    return -1;
}

int ConvertState::ucs2ToUtf8(uint16_t u, unsigned char* out)
{
    if (u < 0x80) {
        out[0] = (unsigned char)u;
        return 1;
    }
    if (u < 0x800) {
        out[0] = (unsigned char)(0xC0 | u >> 6);
        out[1] = (unsigned char)(0x80 | (u & 0x3F));
        return 2;
    }
    out[0] = (unsigned char)(0xE0 | u >> 12);
    out[1] = (unsigned char)(0x80 | ((u >> 6) & 0x3F));
    out[2] = (unsigned char)(0x80 | (u & 0x3F));
    return 3;
}

uint32_t decodeUtf8Four(const unsigned char* p)
{
    return (uint32_t)(p[0] & 0x07) << 18 | (uint32_t)(p[1] & 0x3F) << 12 | (uint32_t)(p[2] & 0x3F) << 6 | (p[3] & 0x3F);
}

namespace {

bool utf8ToUtf32(const DataBuffer& in, DataBuffer& out, bool bigEndian)
{
    const unsigned char* p = in.getData();
    uint32_t n = in.getSize();
    if (!p || n == 0)
        return true;
    if (!out.ensureBuffer(out.getSize() + n * 4))
        return false;
    bool ok = true;
    uint32_t i = 0;
    while (i < n) {
        uint32_t t = (uint32_t)trailingBytesForUTF8[p[i]];
        if (n - i < t + 1 || !isLegalUtf8(p + i, (int)t + 1))
            return false;
        uint32_t c = 0;
        for (uint32_t k = 0; k < t; k++)
            c = (c + p[i + k]) << 6;
        c += p[i + t];
        c -= offsetsFromUTF8[t];
        i += t + 1;
        if (c >= 0xD800 && c <= 0xDFFF) {
            // The three-byte form of a surrogate is well formed but names no character.
            c = 0xFFFD;
            ok = false;
        }
        unsigned char w[4];
        if (bigEndian) {
            w[0] = (unsigned char)(c >> 24); w[1] = (unsigned char)(c >> 16); w[2] = (unsigned char)(c >> 8); w[3] = (unsigned char)c;
        } else {
            w[0] = (unsigned char)c; w[1] = (unsigned char)(c >> 8); w[2] = (unsigned char)(c >> 16); w[3] = (unsigned char)(c >> 24);
        }
        if (!out.append(w, 4))
            return false;
    }
    return ok;
}

} // namespace

bool utf8ToUtf32LE(const DataBuffer& in, DataBuffer& out) { return utf8ToUtf32(in, out, false); }

bool utf8ToUtf32BE(const DataBuffer& in, DataBuffer& out) { return utf8ToUtf32(in, out, true); }

bool utf32ToUtf8(const DataBuffer& in, DataBuffer& out)
{
    const unsigned char* p = in.getData();
    uint32_t n = in.getSize();
    if (!p || n == 0)
        return true;
    if (n < 4)
        return false;
    bool ok = (n % 4) == 0;
    uint32_t units = n / 4;
    if (!out.ensureBuffer(out.getSize() + units * 4))
        return false;
    for (uint32_t k = 0; k < units; k++) {
        const unsigned char* q = p + 4 * k;
        uint32_t c = (uint32_t)q[0] | (uint32_t)q[1] << 8 | (uint32_t)q[2] << 16 | (uint32_t)q[3] << 24;
        if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            // Beyond Unicode or half of a surrogate pair: not a character.
            c = 0xFFFD;
            ok = false;
        }
        int count = c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        unsigned char w[4];
        for (int j = count - 1; j > 0; j--) {
            w[j] = (unsigned char)(0x80 | (c & 0x3F));
            c >>= 6;
        }
        w[0] = (unsigned char)(firstByteMark[count] | c);
        if (!out.append(w, count))
            return false;
    }
    return ok;
}
