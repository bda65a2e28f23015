// The stages of the UTF-16LE hub: code page <-> UTF-16 through the cached tables, and the UTF-8
// stages. Each appends to its output and returns false when input was dropped or replaced. The
// walkers are written once over a sink (HubSinks.h), so that page -> UTF-8 and UTF-8 -> page run both
// stages in one pass.
#include <cstring>
#include "charset/EncodingConvert.h"
#include "charset/HashConvert.h"
#include "charset/HubSinks.h"
#include "charset/UnicodeCodecs.h"
#include "kit/DataBuffer.h"

namespace {

bool isDispatchedSingleByte(int page)
{
    // 28600 and 28601 carry tables but are not converted.
    return page != 28600 && page != 28601 && EncodingConvert::isSingleBytePage(page);
}

bool isDispatched(int page) { return isDispatchedSingleByte(page) || EncodingConvert::isMultiBytePage(page); }

inline uint16_t unitAt(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

// Reserves room for up to extra more bytes and returns the write position, or NULL.
unsigned char* reserve(DataBuffer& out, uint64_t extra)
{
    uint64_t wanted = (uint64_t)out.getSize() + extra;
    if (wanted > 0xFFFFFFF0u || !out.ensureBuffer((uint32_t)wanted))
        return nullptr;
    return out.getData() + out.getSize();
}

void commit(DataBuffer& out, const unsigned char* w) { out.setSize((uint32_t)(w - out.getData())); }

template <class Sink>
bool walkSingleByte(const UnicodeLookup* lookup, const unsigned char* p, uint32_t n, Sink& sink)
{
    bool ok = true;
    const uint16_t* units = lookup->m_units;
    bool asciiRuns = lookup->m_asciiIdentity;
    for (uint32_t i = 0; i < n; i++) {
        if (asciiRuns && p[i] < 0x80) {
            uint32_t word;
            while (n - i >= 4 && (memcpy(&word, p + i, 4), (word & 0x80808080u) == 0)) {
                sink.putAscii4(p + i);
                i += 4;
            }
            if (i == n)
                break;
        }
        unsigned char b = p[i];
        uint16_t u = units[b];
        if (u || b == 0)
            sink.put(u); // byte 0 is U+0000 (its entry is never read)
        else
            ok = false; // unmapped byte: dropped
    }
    return ok;
}

// Value of a found key as a UTF-16 unit; false when the value is too short to be one.
inline bool unitOfEntry(uint32_t e, uint16_t& u)
{
    u = (uint16_t)e;
    return ((e >> 16) & 0xFF) >= 2;
}

uint32_t lookupEntry(const HashConvert* table, const unsigned char* key, int keyLength)
{
    unsigned char value[256];
    int length = 0;
    table->lookup(key, keyLength, value, &length);
    if (!length)
        return 0;
    return HashConvert::kPresent | (uint32_t)length << 16 | value[0] | (length > 1 ? value[1] << 8 : 0);
}

template <class Sink>
bool walkMultiByte(const HashConvert* table, const unsigned char* p, uint32_t n, Sink& sink)
{
    bool ok = true;
    bool ascii = table->isAsciiCompatible();
    const bool* starts = table->longKeyStarts();
    const uint32_t* words = table->wordIndex();
    const uint32_t* bytes = table->byteIndex();
    bool longer = table->hasKeysLongerThanTwo();
    bool asciiRuns = ascii && !table->asciiStartsLongKey();
    uint32_t i = 0;
    while (i < n) {
        if (asciiRuns && p[i] < 0x80) {
            uint32_t word;
            while (n - i >= 4 && (memcpy(&word, p + i, 4), (word & 0x80808080u) == 0)) {
                sink.putAscii4(p + i);
                i += 4;
            }
            if (i == n)
                break;
        }
        unsigned char b = p[i];
        // Longer keys first; a byte that starts no longer key cannot match one.
        if (n - i >= 2 && starts[b]) {
            uint32_t e = words ? words[b | p[i + 1] << 8] : lookupEntry(table, p + i, 2);
            uint32_t keyLength = 2;
            if (!e && longer && n - i >= 3) {
                e = lookupEntry(table, p + i, 3);
                keyLength = 3;
                if (!e && n - i >= 4) {
                    e = lookupEntry(table, p + i, 4);
                    keyLength = 4;
                }
            }
            if (e) {
                uint16_t u;
                if (unitOfEntry(e, u))
                    sink.put(u);
                else
                    ok = false; // a value too short to be a unit: the character is dropped
                i += keyLength;
                continue;
            }
        }
        i++;
        if (b == 0 || (ascii && b < 0x80)) {
            sink.put(b);
            continue;
        }
        uint32_t e = bytes ? bytes[b] : lookupEntry(table, &b, 1);
        uint16_t u;
        if (e && unitOfEntry(e, u))
            sink.put(u);
        else
            ok = false; // unmapped byte: dropped
    }
    return ok;
}

// Decodes UTF-8 into units; a four-byte sequence gives a surrogate pair; undecodable bytes are
// skipped one at a time (false). A surrogate spelt in UTF-8 names no character: it becomes U+FFFD
// (false), whatever the target.
template <class Sink>
bool walkUtf8(const unsigned char* p, uint32_t n, Sink& sink)
{
    ConvertState state;
    bool ok = true;
    uint32_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            // Runs of ASCII four bytes at a time.
            uint32_t word;
            while (n - i >= 4 && (memcpy(&word, p + i, 4), (word & 0x80808080u) == 0)) {
                sink.putAscii4(p + i);
                i += 4;
            }
            if (i < n && p[i] < 0x80)
                sink.put(p[i++]);
            continue;
        }
        uint16_t unit = 0;
        int used = state.utf8ToUcs2(p + i, n - i, &unit);
        if (used > 0) {
            if ((unit & 0xF800) == 0xD800) {
                unit = 0xFFFD;
                ok = false;
            }
            sink.put(unit);
            i += (uint32_t)used;
        } else if (n - i >= 4 && p[i] >= 0xF0 && isLegalUtf8(p + i, 4)) {
            uint32_t c = decodeUtf8Four(p + i) - 0x10000;
            sink.put((uint16_t)(0xD800 + (c >> 10)));
            sink.put((uint16_t)(0xDC00 + (c & 0x3FF)));
            i += 4;
        } else {
            ok = false;
            i++;
        }
    }
    return ok;
}

bool writesArabicDigits(int page) { return page == 1256 || page == 28596; }

// UTF-16LE units into a page through its sink.
template <bool ArabicDigits>
bool unitsToPage(const HashConvert* table, const unsigned char* p, uint32_t units, DataBuffer& out)
{
    PageSink<ArabicDigits> sink{reserve(out, (uint64_t)units * 2), table, table->unitEncodeIndex()};
    if (!sink.w)
        return false;
    for (uint32_t k = 0; k < units; k++)
        sink.put(unitAt(p + 2 * k));
    commit(out, sink.w);
    return sink.finish();
}

template <bool ArabicDigits>
bool utf8ToPage(const HashConvert* table, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    PageSink<ArabicDigits> sink{reserve(out, (uint64_t)n * 2), table, table->unitEncodeIndex()};
    if (!sink.w)
        return false;
    bool ok = walkUtf8(p, n, sink);
    commit(out, sink.w);
    return sink.finish() && ok;
}

// Runs the decoding walker of a dispatched page into the sink; false also when its table is missing.
template <class Sink>
bool decodePage(int page, const unsigned char* p, uint32_t n, Sink& sink)
{
    if (isDispatchedSingleByte(page)) {
        EncodingConvert::loadFromCodePageTable(page);
        const UnicodeLookup* lookup = EncodingConvert::singleByteFromTable(page);
        return lookup ? walkSingleByte(lookup, p, n, sink) : false;
    }
    EncodingConvert::loadFromCodePageTable(page);
    const HashConvert* table = EncodingConvert::multiByteFromTable(page);
    return table ? walkMultiByte(table, p, n, sink) : false;
}

} // namespace

bool EncodingConvert::codePageToUtf16(int page, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!isDispatched(page))
        return false;
    Utf16Sink sink{reserve(out, (uint64_t)n * 2)};
    if (!sink.w)
        return false;
    bool ok = decodePage(page, p, n, sink);
    commit(out, sink.w);
    return ok;
}

bool EncodingConvert::utf16ToCodePage(int page, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!isDispatched(page))
        return false;
    loadToCodePageTable(page);
    const HashConvert* table = toPageTable(page);
    if (!table)
        return false;
    if (n == 1)
        return false;
    bool ok = writesArabicDigits(page) ? unitsToPage<true>(table, p, n / 2, out) : unitsToPage<false>(table, p, n / 2, out);
    return ok && n % 2 == 0; // a trailing odd byte is dropped
}

bool EncodingConvert::singleByteToUtf16(const UnicodeLookup* lookup, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!lookup)
        return false;
    Utf16Sink sink{reserve(out, (uint64_t)n * 2)};
    if (!sink.w)
        return false;
    bool ok = walkSingleByte(lookup, p, n, sink);
    commit(out, sink.w);
    return ok;
}

bool EncodingConvert::multiByteToUtf16(const HashConvert* table, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!table)
        return false;
    Utf16Sink sink{reserve(out, (uint64_t)n * 2)};
    if (!sink.w)
        return false;
    bool ok = walkMultiByte(table, p, n, sink);
    commit(out, sink.w);
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
    return unitsToPage<false>(table, p, n / 2, out) && n % 2 == 0;
}

bool EncodingConvert::utf8ToUtf16(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    Utf16Sink sink{reserve(out, (uint64_t)n * 2)};
    if (!sink.w)
        return false;
    bool ok = walkUtf8(p, n, sink);
    commit(out, sink.w);
    return ok;
}

bool EncodingConvert::utf8ToUtf8(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    Utf8Sink sink{reserve(out, (uint64_t)n * 3 + 4)};
    if (!sink.w)
        return false;
    sink.keepNul = true; // a 0 byte of UTF-8 is a character of the text
    bool ok = walkUtf8(p, n, sink);
    ok = sink.finish() && ok;
    commit(out, sink.w);
    return ok;
}

bool EncodingConvert::utf16ToUtf8(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (n == 1)
        return false;
    uint32_t units = n / 2;
    Utf8Sink sink{reserve(out, (uint64_t)units * 3 + 4)};
    if (!sink.w)
        return false;
    for (uint32_t k = 0; k < units; k++)
        sink.put(unitAt(p + 2 * k));
    bool ok = sink.finish() && n % 2 == 0;
    commit(out, sink.w);
    return ok;
}

bool EncodingConvert::codePageToUtf8(int page, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!isDispatched(page))
        return false;
    Utf8Sink sink{reserve(out, (uint64_t)n * 3 + 4)};
    if (!sink.w)
        return false;
    bool ok = decodePage(page, p, n, sink);
    ok = sink.finish() && ok;
    commit(out, sink.w);
    return ok;
}

bool EncodingConvert::utf8ToCodePage(int page, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    if (!isDispatched(page))
        return false;
    loadToCodePageTable(page);
    const HashConvert* table = toPageTable(page);
    if (!table)
        return false;
    return writesArabicDigits(page) ? utf8ToPage<true>(table, p, n, out) : utf8ToPage<false>(table, p, n, out);
}
