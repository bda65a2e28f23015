// Where the hub's walkers put the UTF-16 units they decode: straight into UTF-16LE, into UTF-8, or
// into a table page. A two-stage conversion (page to UTF-8, UTF-8 to page) runs its second stage
// unit by unit through a sink instead of through a whole intermediate buffer; each sink gives the
// same bytes and result as its stage run on the whole intermediate.
#pragma once
#include <cstdint>
#include <cstring>
#include "charset/HashConvert.h"

inline unsigned char* putUnitLE(unsigned char* w, uint32_t u)
{
    w[0] = (unsigned char)u;
    w[1] = (unsigned char)(u >> 8);
    return w + 2;
}

struct Utf16Sink
{
    static const int kMaxBytesPerUnit = 2;
    unsigned char* w;
    void put(uint16_t u) { w = putUnitLE(w, u); }
    void putAscii4(const unsigned char* p)
    {
        w[0] = p[0], w[1] = 0, w[2] = p[1], w[3] = 0, w[4] = p[2], w[5] = 0, w[6] = p[3], w[7] = 0;
        w += 8;
    }
    bool finish() { return true; }
};

// UTF-16 to UTF-8: surrogate pairs joined, a lone surrogate written as U+FFFD (false). U+0000 is
// dropped when the units come from UTF-16 and kept as a 0 byte when they come from UTF-8 itself.
struct Utf8Sink
{
    static const int kMaxBytesPerUnit = 3;
    unsigned char* w;
    uint16_t pendingHigh = 0;
    bool ok = true;
    bool keepNul = false;

    void putBmp(uint16_t u)
    {
        if (u < 0x80) {
            if (u || keepNul)
                *w++ = (unsigned char)u;
        } else if (u < 0x800) {
            w[0] = (unsigned char)(0xC0 | u >> 6);
            w[1] = (unsigned char)(0x80 | (u & 0x3F));
            w += 2;
        } else {
            w[0] = (unsigned char)(0xE0 | u >> 12);
            w[1] = (unsigned char)(0x80 | ((u >> 6) & 0x3F));
            w[2] = (unsigned char)(0x80 | (u & 0x3F));
            w += 3;
        }
    }
    void lone()
    {
        putBmp(0xFFFD);
        ok = false;
    }
    void put(uint16_t u)
    {
        if (pendingHigh) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                uint32_t c = 0x10000 + ((uint32_t)(pendingHigh - 0xD800) << 10) + (u - 0xDC00);
                w[0] = (unsigned char)(0xF0 | c >> 18);
                w[1] = (unsigned char)(0x80 | ((c >> 12) & 0x3F));
                w[2] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
                w[3] = (unsigned char)(0x80 | (c & 0x3F));
                w += 4;
                pendingHigh = 0;
                return;
            }
            pendingHigh = 0;
            lone();
        }
        if (u >= 0xD800 && u <= 0xDBFF)
            pendingHigh = u;
        else if (u >= 0xDC00 && u <= 0xDFFF)
            lone();
        else
            putBmp(u);
    }
    // Four bytes below 0x80 as units.
    void putAscii4(const unsigned char* p)
    {
        uint32_t word;
        memcpy(&word, p, 4);
        bool hasZero = ((word - 0x01010101u) & ~word & 0x80808080u) != 0;
        if (pendingHigh || (hasZero && !keepNul)) {
            put(p[0]), put(p[1]), put(p[2]), put(p[3]);
            return;
        }
        memcpy(w, p, 4);
        w += 4;
    }
    bool finish()
    {
        if (pendingHigh) {
            pendingHigh = 0;
            lone();
        }
        return ok;
    }
};

// UTF-16 to a table page: ASCII passes a compatible table, U+0000 becomes a 0 byte, characters the
// page lacks are dropped (false). The Arabic pages write Arabic-Indic digits as ASCII digits.
template <bool ArabicDigits>
struct PageSink
{
    static const int kMaxBytesPerUnit = 2;
    unsigned char* w;
    const HashConvert* table;
    const uint32_t* index; // unitEncodeIndex, or NULL for lookups
    bool ok = true;

    void put(uint16_t u)
    {
        if (ArabicDigits && ((u >= 0x0660 && u <= 0x0669) || (u >= 0x06F0 && u <= 0x06F9)))
            u = (uint16_t)(0x30 + (u & 0x0F));
        uint32_t e = index ? index[u] : slowEntry(u);
        // Both value bytes are stored and the pointer moves by the value's length (the output has
        // room for 2 bytes per unit).
        w[0] = (unsigned char)e;
        w[1] = (unsigned char)(e >> 8);
        w += (e >> 16) & 0xFF;
        if (!e)
            ok = false;
    }
    uint32_t slowEntry(uint16_t u) const
    {
        if (table->isAsciiCompatible() && u < 0x80)
            return HashConvert::kPresent | 1u << 16 | u;
        unsigned char key[2] = {(unsigned char)u, (unsigned char)(u >> 8)}, value[256];
        int length = 0;
        table->lookup(key, 2, value, &length);
        if (length)
            return HashConvert::kPresent | (uint32_t)(length > 2 ? 2 : length) << 16 | value[0] |
                   (length > 1 ? value[1] << 8 : 0);
        return u == 0 ? HashConvert::kPresent | 1u << 16 : 0;
    }
    void putAscii4(const unsigned char* p) { put(p[0]), put(p[1]), put(p[2]), put(p[3]); }
    bool finish() { return ok; }
};
