// The stages of the UTF-16LE hub: code page <-> UTF-16 through the cached tables, and the UTF-8
// stages. Each appends to its output and returns false when input was dropped or replaced.
#include <cstring>
#include <new>
#include "charset/EncodingConvert.h"
#include "charset/HashConvert.h"
#include "charset/UnicodeCodecs.h"
#include "xml/kit/DataBuffer.h"

namespace {

bool isDispatchedSingleByte(int page)
{
    // 28600 and 28601 carry tables but are not converted.
    return page != 28600 && page != 28601 && EncodingConvert::isSingleBytePage(page);
}

inline uint16_t unitAt(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

inline unsigned char* putUnit(unsigned char* w, uint32_t u)
{
    w[0] = (unsigned char)u;
    w[1] = (unsigned char)(u >> 8);
    return w + 2;
}

// Reserves room for up to extra more bytes and returns the write position, or NULL.
unsigned char* reserve(DataBuffer& out, uint64_t extra)
{
    uint64_t wanted = (uint64_t)out.getSize() + extra;
    if (wanted > 0xFFFFFFF0u || !out.ensureBuffer((uint32_t)wanted))
        return nullptr;
    return out.getData() + out.getSize();
}

void commit(DataBuffer& out, const unsigned char* w) { out.setSize((uint32_t)(w - out.getData())); }

} // namespace

bool EncodingConvert::codePageToUtf16(int page, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (isDispatchedSingleByte(page)) {
        loadFromCodePageTable(page);
        const UnicodeLookup* lookup = singleByteFromTable(page);
        return lookup ? singleByteToUtf16(lookup, p, n, out) : false;
    }
    if (isMultiBytePage(page)) {
        loadFromCodePageTable(page);
        const HashConvert* table = multiByteFromTable(page);
        return table ? multiByteToUtf16(table, p, n, out) : false;
    }
    return false;
}

bool EncodingConvert::utf16ToCodePage(int page, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!isDispatchedSingleByte(page) && !isMultiBytePage(page))
        return false;
    loadToCodePageTable(page);
    const HashConvert* table = toPageTable(page);
    if (!table)
        return false;
    if (page != 1256 && page != 28596)
        return utf16ToTablePage(table, p, n, out);

    // Arabic pages: Arabic-Indic digits are written as ASCII digits.
    unsigned char* copy = new (std::nothrow) unsigned char[n];
    if (!copy)
        return false;
    memcpy(copy, p, n);
    for (uint32_t i = 0; i + 1 < n; i += 2) {
        uint16_t u = unitAt(copy + i);
        if (u >= 0x0660 && u <= 0x0669)
            putUnit(copy + i, 0x30 + (u - 0x0660));
        else if (u >= 0x06F0 && u <= 0x06F9)
            putUnit(copy + i, 0x30 + (u - 0x06F0));
    }
    bool ok = utf16ToTablePage(table, copy, n, out);
    delete[] copy;
    return ok;
}

bool EncodingConvert::singleByteToUtf16(const UnicodeLookup* lookup, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!lookup)
        return false;
    unsigned char* w = reserve(out, (uint64_t)n * 2);
    if (!w)
        return false;
    bool ok = true;
    const uint16_t* units = lookup->m_units;
    for (uint32_t i = 0; i < n; i++) {
        unsigned char b = p[i];
        if (b == 0) {
            w = putUnit(w, 0);
            continue;
        }
        uint16_t u = units[b];
        if (u)
            w = putUnit(w, u);
        else
            ok = false;
    }
    commit(out, w);
    return ok;
}

bool EncodingConvert::multiByteToUtf16(const HashConvert* table, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!table)
        return false;
    unsigned char* w = reserve(out, (uint64_t)n * 2);
    if (!w)
        return false;
    bool ok = true;
    bool ascii = table->isAsciiCompatible();
    uint32_t i = 0;
    while (i < n) {
        unsigned char b = p[i];
        unsigned char value[256];
        int length = 0;
        // Longer keys first; a byte that starts no longer key cannot match one.
        if (n - i >= 2 && table->startsLongKey(b)) {
            length = table->lookupWord((uint16_t)(b | p[i + 1] << 8), value);
            int keyLength = 2;
            if (length == 0 && n - i >= 3) {
                table->lookup(p + i, 3, value, &length);
                keyLength = 3;
                if (length == 0 && n - i >= 4) {
                    table->lookup(p + i, 4, value, &length);
                    keyLength = 4;
                }
            }
            if (length > 0) {
                if (length >= 2)
                    w = putUnit(w, unitAt(value));
                i += (uint32_t)keyLength;
                continue;
            }
        }
        i++;
        if (b == 0 || (ascii && b < 0x80)) {
            w = putUnit(w, b);
            continue;
        }
        table->lookup(&b, 1, value, &length);
        if (length >= 2)
            w = putUnit(w, unitAt(value));
        else
            ok = false; // unmapped byte: dropped
    }
    commit(out, w);
    return ok;
}

bool EncodingConvert::utf16ToTablePage(const HashConvert* table, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!table)
        return false;
    if (!p || n == 0)
        return true;
    if (n == 1)
        return false;
    bool ok = (n % 2) == 0; // a trailing odd byte is dropped
    uint32_t units = n / 2;
    unsigned char* w = reserve(out, (uint64_t)units * 2);
    if (!w)
        return false;
    bool ascii = table->isAsciiCompatible();
    for (uint32_t k = 0; k < units; k++) {
        uint16_t u = unitAt(p + 2 * k);
        if (ascii && u < 0x80) {
            *w++ = (unsigned char)u;
            continue;
        }
        unsigned char value[256];
        int length = table->lookupWord(u, value);
        if (length == 1) {
            *w++ = value[0];
        } else if (length == 2) {
            *w++ = value[0];
            *w++ = value[1];
        } else if (u == 0) {
            *w++ = 0;
        } else {
            ok = false; // the page cannot encode it
        }
    }
    commit(out, w);
    return ok;
}

bool EncodingConvert::utf8ToUtf16(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    unsigned char* w = reserve(out, (uint64_t)n * 2);
    if (!w)
        return false;
    ConvertState state;
    bool ok = true;
    uint32_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            w = putUnit(w, p[i++]);
            continue;
        }
        uint16_t unit = 0;
        int used = state.utf8ToUcs2(p + i, n - i, &unit);
        if (used > 0) {
            w = putUnit(w, unit);
            i += (uint32_t)used;
        } else if (n - i >= 4 && p[i] >= 0xF0 && isLegalUtf8(p + i, 4)) {
            // Beyond the BMP: a surrogate pair.
            uint32_t c = decodeUtf8Four(p + i) - 0x10000;
            w = putUnit(w, 0xD800 + (c >> 10));
            w = putUnit(w, 0xDC00 + (c & 0x3FF));
            i += 4;
        } else {
            ok = false; // undecodable byte skipped
            i++;
        }
    }
    commit(out, w);
    return ok;
}

bool EncodingConvert::utf8ToUtf8(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    unsigned char* w = reserve(out, n);
    if (!w)
        return false;
    ConvertState state;
    bool ok = true;
    uint32_t i = 0;
    while (i < n) {
        uint16_t unit = 0;
        int used = state.utf8ToUcs2(p + i, n - i, &unit);
        if (used > 0) {
            w += state.ucs2ToUtf8(unit, w);
            i += (uint32_t)used;
        } else if (n - i >= 4 && p[i] >= 0xF0 && isLegalUtf8(p + i, 4)) {
            memcpy(w, p + i, 4);
            w += 4;
            i += 4;
        } else {
            ok = false;
            i++;
        }
    }
    commit(out, w);
    return ok;
}

bool EncodingConvert::utf16ToUtf8(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (n == 1)
        return false;
    bool ok = (n % 2) == 0;
    uint32_t units = n / 2;
    unsigned char* w = reserve(out, (uint64_t)units * 3 + 4);
    if (!w)
        return false;
    ConvertState state;
    for (uint32_t k = 0; k < units; k++) {
        uint16_t u = unitAt(p + 2 * k);
        if (u < 0x80) {
            if (u)
                *w++ = (unsigned char)u;
            continue;
        }
        if (u >= 0xD800 && u <= 0xDFFF) {
            uint16_t low = k + 1 < units ? unitAt(p + 2 * k + 2) : 0;
            if (u <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                uint32_t c = 0x10000 + ((uint32_t)(u - 0xD800) << 10) + (low - 0xDC00);
                w[0] = (unsigned char)(0xF0 | c >> 18);
                w[1] = (unsigned char)(0x80 | ((c >> 12) & 0x3F));
                w[2] = (unsigned char)(0x80 | ((c >> 6) & 0x3F));
                w[3] = (unsigned char)(0x80 | (c & 0x3F));
                w += 4;
                k++;
                continue;
            }
            u = 0xFFFD; // a lone surrogate
            ok = false;
        }
        w += state.ucs2ToUtf8(u, w);
    }
    commit(out, w);
    return ok;
}
