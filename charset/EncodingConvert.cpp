// The conversion pipeline: byte-order marks and Unicode forms are normalised to UTF-16LE or UTF-8,
// then routed through the table stages; UTF-7, UTF-32, UTF-16BE and ISO-2022 targets are made from
// an intermediate form.
#include "charset/EncodingConvert.h"
#include <cstring>
#include <new>
#include "charset/CharsetNames.h"
#include "charset/Iso2022.h"
#include "charset/UnicodeCodecs.h"
#include "charset/Utf7.h"
#include "kit/DataBuffer.h"

namespace {

bool isIso2022Jp(int page) { return page == 50220 || page == 50221 || page == 50222; }

bool startsWith(const unsigned char* p, uint32_t n, const char* mark, uint32_t markLength)
{
    return n >= markLength && memcmp(p, mark, markLength) == 0;
}

// True when the text's byte-order mark names the other byte order than its page.
bool markNeedsSwap(int page, const unsigned char* p, uint32_t n)
{
    switch (page) {
    case 1200: return startsWith(p, n, "\xFE\xFF", 2);
    case 1201: return startsWith(p, n, "\xFF\xFE", 2);
    case 65005: return startsWith(p, n, "\x00\x00\xFE\xFF", 4);
    case 65006: return startsWith(p, n, "\xFF\xFE\x00\x00", 4);
    default: return false;
    }
}

// Copies whole units of the given size with their bytes reversed; false when a partial unit was left out.
bool reverseUnits(const unsigned char* p, uint32_t n, uint32_t unitSize, DataBuffer& out)
{
    uint32_t units = n / unitSize;
    if (!out.ensureBuffer(out.getSize() + units * unitSize))
        return false;
    unsigned char* w = out.getData() + out.getSize();
    for (uint32_t k = 0; k < units; k++)
        for (uint32_t j = 0; j < unitSize; j++)
            w[k * unitSize + j] = p[k * unitSize + unitSize - 1 - j];
    out.setSize(out.getSize() + units * unitSize);
    return n % unitSize == 0;
}

bool isMacArabicFlagged(unsigned char b)
{
    return b == 0x81 || b == 0x8C || b == 0x93 || b == 0x98 || b == 0x9B || (b >= 0xA0 && b <= 0xA4) ||
           (b >= 0xA6 && b <= 0xAB) || (b >= 0xAD && b <= 0xBA) || (b >= 0xBC && b <= 0xBE) || b == 0xC0 ||
           (b >= 0xDB && b <= 0xDF) || (b >= 0xFB && b <= 0xFD);
}

unsigned char macArabicByte(unsigned char b)
{
    if ((b >= 0xA0 && b <= 0xA4) || (b >= 0xA6 && b <= 0xAB) || (b >= 0xAD && b <= 0xBA) || (b >= 0xBC && b <= 0xBE) ||
        (b >= 0xDB && b <= 0xDF) || (b >= 0xFB && b <= 0xFD))
        return (unsigned char)(b - 0x80);
    if (b == 0x81)
        return 0xA0;
    return b;
}

// Mac Arabic text stores runs of right-to-left neutrals in visual order: reverse each run of two or
// more flagged bytes, then map the bytes onto the table's forms.
void macArabicPrepass(unsigned char* p, uint32_t n)
{
    uint32_t i = 0;
    while (i < n) {
        if (!isMacArabicFlagged(p[i])) {
            i++;
            continue;
        }
        uint32_t end = i;
        while (end < n && isMacArabicFlagged(p[end]))
            end++;
        for (uint32_t a = i, b = end - 1; a < b; a++, b--) {
            unsigned char t = p[a];
            p[a] = p[b];
            p[b] = t;
        }
        i = end;
    }
    for (i = 0; i < n; i++)
        p[i] = macArabicByte(p[i]);
}

} // namespace

bool EncodingConvert::EncConvert(int from, int to, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (to == 0 || (to == from && !markNeedsSwap(from, p, n))) {
        return out.append(p, n);
    }

    DataBuffer macArabic;
    if (from == 10004 && p && n) {
        if (!macArabic.append(p, n))
            return false;
        macArabicPrepass(macArabic.getData(), n);
        p = macArabic.getData();
    }

    if (isIso2022Jp(from) || from == 50225) {
        DataBuffer decoded;
        bool decodedAll = from == 50225 ? Korean().iso2022KrToEucKr(p, n, decoded)
                                        : Japanese().iso2022JpToShiftJis(p, n, decoded);
        if (decoded.getSize() == 0)
            return decodedAll;
        return EncConvert(from == 50225 ? 949 : 932, to, decoded.getData(), decoded.getSize(), out) && decodedAll;
    }

    DataBuffer mid;
    switch (to) {
    case 65000: {
        // What the first leg converted is written even when it lost something; an odd byte left
        // over by UTF-16 input is no unit (the encoder ignores it) and fails the conversion.
        bool ok = convertViaUnicode(from, 1200, p, n, mid) && mid.getSize() % 2 == 0;
        return utf16ToUtf7(mid, out) && ok;
    }
    case 65005:
    case 65006: {
        bool ok = convertViaUnicode(from, 65001, p, n, mid);
        return (to == 65005 ? utf8ToUtf32LE(mid, out) : utf8ToUtf32BE(mid, out)) && ok;
    }
    case 1201: {
        bool ok = convertViaUnicode(from, 1200, p, n, mid);
        if (mid.getSize() >= 2)
            ok = reverseUnits(mid.getData(), mid.getSize(), 2, out) && ok;
        else if (mid.getSize() == 1)
            ok = false;
        return ok;
    }
    case 50220:
    case 50221:
    case 50222: {
        bool ok = convertViaUnicode(from, 932, p, n, mid);
        if (mid.getSize())
            ok = Japanese().shiftJisToIso2022Jp(mid.getData(), mid.getSize(), out) && ok;
        return ok;
    }
    case 50225: {
        bool ok = convertViaUnicode(from, 949, p, n, mid);
        if (mid.getSize())
            ok = Korean().eucKrToIso2022Kr(mid.getData(), mid.getSize(), out) && ok;
        return ok;
    }
    default:
        return convertViaUnicode(from, to, p, n, out);
    }
}

bool EncodingConvert::EncConvertCharset(const char* charset, int to, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    int from = (int)charsetToCodePage(charset);
    if (from == 0)
        return false;
    return EncConvert(from, to, p, n, out);
}

bool EncodingConvert::convertViaUnicode(int from, int to, const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;

    // Byte-order marks, judged by the source page.
    bool bigEndian = from == 1201 || from == 65006;
    if (from == 65001 && startsWith(p, n, "\xEF\xBB\xBF", 3)) {
        p += 3;
        n -= 3;
    } else if (from == 1200 || from == 1201) {
        if (startsWith(p, n, "\xFE\xFF", 2) || startsWith(p, n, "\xFF\xFE", 2)) {
            bigEndian = p[0] == 0xFE;
            p += 2;
            n -= 2;
        }
    } else if (from == 65005 || from == 65006) {
        if (startsWith(p, n, "\x00\x00\xFE\xFF", 4) || startsWith(p, n, "\xFF\xFE\x00\x00", 4)) {
            bigEndian = p[0] == 0x00;
            p += 4;
            n -= 4;
        }
    }
    if (n == 0)
        return true;

    bool nativeOrder = (from == 1201 || from == 65006) ? bigEndian : !bigEndian;
    if (from == to && nativeOrder)
        return out.append(p, n);

    // Normalise the Unicode forms to UTF-16LE (1200) or UTF-8 (65001).
    bool ok = true;
    int source = from;
    DataBuffer normal;
    if (from == 1200 || from == 1201) {
        source = 1200;
        if (bigEndian) {
            if (n < 2)
                return false; // a lone byte is no unit
            ok = reverseUnits(p, n, 2, normal);
            p = normal.getData();
            n = normal.getSize();
        }
    } else if (from == 65005 || from == 65006) {
        source = 65001;
        DataBuffer littleEndian;
        if (bigEndian) {
            if (n < 4)
                return false; // a partial group is no character
            ok = reverseUnits(p, n, 4, littleEndian);
        } else {
            littleEndian.borrowData(p, n);
        }
        ok = utf32ToUtf8(littleEndian, normal) && ok;
        p = normal.getData();
        n = normal.getSize();
    } else if (from == 65000) {
        source = 1200;
        DataBuffer utf7;
        utf7.borrowData(p, n);
        ok = utf7ToUtf16(utf7, normal);
        p = normal.getData();
        n = normal.getSize();
    }

    if (source == 1200 && to == 1200)
        return out.append(p, n) && ok;
    if (source == 1200 && to == 65001)
        return utf16ToUtf8(p, n, out) && ok;
    if (source == 1200)
        return utf16ToCodePage(to, p, n, out) && ok;
    if (source == 65001 && to == 1200)
        return utf8ToUtf16(p, n, out) && ok;
    if (to == 1200)
        return codePageToUtf16(source, p, n, out) && ok;
    if (source == 65001 && to == 65001)
        return utf8ToUtf8(p, n, out) && ok;

    if (source == 65001)
        return utf8ToCodePage(to, p, n, out) && ok;
    if (to == 65001)
        return codePageToUtf8(source, p, n, out) && ok;

    DataBuffer hub;
    hub.ensureBuffer(2 * n + 4);
    bool first = codePageToUtf16(source, p, n, hub);
    bool second = utf16ToCodePage(to, hub.getData(), hub.getSize(), out);
    return first && second && ok;
}
