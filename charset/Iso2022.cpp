// The 7-bit shift encodings: escape sequences and SO/SI switch between ASCII and the double-byte
// set; the double-byte codes are rewritten to and from Shift-JIS and EUC-KR.
#include "charset/Iso2022.h"
#include "kit/DataBuffer.h"

namespace {

const unsigned char ESC = 0x1B;
const unsigned char SO = 0x0E;
const unsigned char SI = 0x0F;

// Full-width Shift-JIS pairs of the half-width katakana 0xA1-0xDF.
const unsigned char kKanaPairs[63][2] = {
    {0x81, 0x42}, {0x81, 0x75}, {0x81, 0x76}, {0x81, 0x41}, {0x81, 0x45}, {0x83, 0x92}, {0x83, 0x40},
    {0x83, 0x42}, {0x83, 0x44}, {0x83, 0x46}, {0x83, 0x48}, {0x83, 0x83}, {0x83, 0x85}, {0x83, 0x87},
    {0x83, 0x62}, {0x81, 0x5B}, {0x83, 0x41}, {0x83, 0x43}, {0x83, 0x45}, {0x83, 0x47}, {0x83, 0x49},
    {0x83, 0x4A}, {0x83, 0x4C}, {0x83, 0x4E}, {0x83, 0x50}, {0x83, 0x52}, {0x83, 0x54}, {0x83, 0x56},
    {0x83, 0x58}, {0x83, 0x5A}, {0x83, 0x5C}, {0x83, 0x5E}, {0x83, 0x60}, {0x83, 0x63}, {0x83, 0x65},
    {0x83, 0x67}, {0x83, 0x69}, {0x83, 0x6A}, {0x83, 0x6B}, {0x83, 0x6C}, {0x83, 0x6D}, {0x83, 0x6E},
    {0x83, 0x71}, {0x83, 0x74}, {0x83, 0x77}, {0x83, 0x7A}, {0x83, 0x7D}, {0x83, 0x7E}, {0x83, 0x80},
    {0x83, 0x81}, {0x83, 0x82}, {0x83, 0x84}, {0x83, 0x86}, {0x83, 0x88}, {0x83, 0x89}, {0x83, 0x8A},
    {0x83, 0x8B}, {0x83, 0x8C}, {0x83, 0x8D}, {0x83, 0x8F}, {0x83, 0x93}, {0x81, 0x4A}, {0x81, 0x4B}};

// Output staged in a small block and appended whenever it fills; a block that could not be appended
// makes finish() false.
class Staged
{
public:
    explicit Staged(DataBuffer& out) : m_out(out), m_used(0) {}
    ~Staged() { flush(); }
    bool finish()
    {
        flush();
        return m_whole;
    }
    void put(unsigned char b)
    {
        if (m_used == sizeof m_block)
            flush();
        m_block[m_used++] = b;
    }
    void put3(unsigned char a, unsigned char b, unsigned char c)
    {
        put(a);
        put(b);
        put(c);
    }
    void flush()
    {
        if (!m_out.append(m_block, m_used))
            m_whole = false;
        m_used = 0;
    }

private:
    DataBuffer& m_out;
    bool m_whole = true;
    unsigned char m_block[200];
    uint32_t m_used;
};

// Shift-JIS pair to JIS X 0208 row and cell.
void shiftJisToJis(unsigned char s1, unsigned char s2, unsigned char& j1, unsigned char& j2)
{
    int adjust = s2 < 0x9F ? 1 : 0;
    j1 = (unsigned char)((s1 - (s1 < 0xA0 ? 0x70 : 0xB0)) * 2 - adjust);
    if (adjust)
        j2 = (unsigned char)(s2 - (s2 < 0x80 ? 0x1F : 0x20));
    else
        j2 = (unsigned char)(s2 - 0x7E);
}

} // namespace

bool Japanese::iso2022JpToShiftJis(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    Staged o(out);
    bool ok = true;
    bool twoByte = false, kana = false;
    for (uint32_t i = 0; i < n; i++) {
        unsigned char c = p[i];
        if (c == ESC) {
            // Designations: ESC $ @ and ESC $ B (JIS X 0208), ESC ( B and ESC ( J (ASCII, Roman),
            // ESC ( I (kana). Any other byte is dropped with the escape; a cut-off escape ends the text.
            bool known = false;
            if (i + 1 >= n)
                return false;
            unsigned char c1 = p[++i];
            if (c1 == '$') {
                if (i + 1 >= n)
                    return false;
                unsigned char c2 = p[++i];
                if (c2 == '@' || c2 == 'B') {
                    twoByte = true;
                    kana = false;
                    known = true;
                }
            } else if (c1 == '(') {
                if (i + 1 >= n)
                    return false;
                unsigned char c2 = p[++i];
                if (c2 == 'B' || c2 == 'J') {
                    twoByte = kana = false;
                    known = true;
                } else if (c2 == 'I') {
                    kana = true;
                    twoByte = false;
                    known = true;
                }
            }
            ok = ok && known;
            continue;
        }
        if (c == '\r' || c == '\n') {
            if (twoByte)
                twoByte = kana = false;
            o.put(c);
            continue;
        }
        if (twoByte) {
            if (i + 1 >= n)
                return false; // a code cut off by the end of the text
            unsigned char j1 = c, j2 = p[++i];
            if (j1 & 1)
                j2 = (unsigned char)(j2 + (j2 < 0x60 ? 0x1F : 0x20));
            else
                j2 = (unsigned char)(j2 + 0x7E);
            j1 = (unsigned char)(((j1 + 1) >> 1) + (j1 < 0x5F ? 0x70 : 0xB0));
            o.put(j1);
            o.put(j2);
        } else if (kana) {
            o.put((unsigned char)(c + 0x80));
        } else {
            o.put(c);
        }
    }
    return o.finish() && ok;
}

int Japanese::halfWidthToFullWidth(const unsigned char* next, uint32_t left, unsigned char& first, unsigned char& second,
                                   WidenMode mode)
{
    unsigned char k = first;
    if (k < 0xA1 || k > 0xDF) {
        second = 0; // not a half-width katakana byte: nothing to widen
        return 0;
    }
    // In EUC-JP the kana byte is preceded by 0x8E, and so is a following mark.
    const unsigned char* mark = nullptr;
    if (mode == ShiftJisMode && left >= 1)
        mark = next;
    else if (mode == EucJpMode && left >= 2 && next[0] == 0x8E)
        mark = next + 1;
    bool voiced = mark && *mark == 0xDE && ((k >= 0xB6 && k <= 0xC4) || (k >= 0xCA && k <= 0xCE) || k == 0xB3);
    bool semiVoiced = mark && *mark == 0xDF && k >= 0xCA && k <= 0xCE;
    first = kKanaPairs[k - 0xA1][0];
    second = kKanaPairs[k - 0xA1][1];
    if (voiced) {
        if (k == 0xB3)
            second = 0x94;
        else if ((second >= 0x4A && second <= 0x67) || (second >= 0x6E && second <= 0x7A))
            second++;
    } else if (semiVoiced && second >= 0x6E && second <= 0x7A) {
        second = (unsigned char)(second + 2);
    }
    if (!voiced && !semiVoiced)
        return 0;
    return mode == ShiftJisMode ? 1 : 2;
}

bool Japanese::shiftJisToIso2022Jp(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    Staged o(out);
    bool ok = true;
    bool twoByte = false;
    auto enterTwoByte = [&]() {
        if (!twoByte) {
            o.put3(ESC, '$', 'B');
            twoByte = true;
        }
    };
    auto leaveTwoByte = [&]() {
        if (twoByte) {
            o.put3(ESC, '(', 'B');
            twoByte = false;
        }
    };
    for (uint32_t i = 0; i < n; i++) {
        unsigned char c = p[i];
        if (c == '\r' || c == '\n') {
            leaveTwoByte();
            o.put(c);
        } else if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xEF)) {
            if (i + 1 >= n) {
                ok = false; // a lead byte without its trail byte
                break;
            }
            unsigned char s2 = p[++i];
            if (s2 < 0x40 || s2 > 0xFC) {
                ok = false; // not a Shift-JIS pair: no 7-bit form
                continue;
            }
            unsigned char j1, j2;
            shiftJisToJis(c, s2, j1, j2);
            enterTwoByte();
            o.put(j1);
            o.put(j2);
        } else if (c >= 0xA1 && c <= 0xDF) {
            unsigned char s1 = c, s2 = 0;
            i += (uint32_t)halfWidthToFullWidth(p + i + 1, n - i - 1, s1, s2, ShiftJisMode);
            unsigned char j1, j2;
            shiftJisToJis(s1, s2, j1, j2);
            enterTwoByte();
            o.put(j1);
            o.put(j2);
        } else if (c >= 0xF0 && c <= 0xFC) {
            // User-defined lead byte: the pair has no ISO-2022-JP form.
            ok = false;
            if (i + 1 < n)
                i++;
        } else if (c >= 0x80) {
            ok = false; // 0x80, 0xA0 and 0xFD-0xFF have no 7-bit form
        } else if (c == ESC) {
            ok = false; // would be read back as the start of an escape sequence
        } else {
            leaveTwoByte();
            o.put(c);
        }
    }
    leaveTwoByte();
    return o.finish() && ok;
}

bool Korean::iso2022KrToEucKr(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    Staged o(out);
    bool ok = true;
    bool shifted = false;
    for (uint32_t i = 0; i < n; i++) {
        unsigned char c = p[i];
        if (c == ESC) {
            if (n - i - 1 >= 3 && p[i + 1] == '$' && p[i + 2] == ')' && p[i + 3] == 'C') {
                i += 3;
                shifted = false;
            } else {
                ok = false; // not the one designation this form knows: dropped
            }
            continue;
        }
        if (c == SO) {
            shifted = true;
        } else if (c == SI) {
            shifted = false;
        } else if (shifted) {
            if (i + 1 >= n)
                return false; // a code cut off by the end of the text
            o.put((unsigned char)(c + 0x80));
            o.put((unsigned char)(p[++i] + 0x80));
        } else {
            o.put(c);
        }
    }
    return o.finish() && ok;
}

bool Korean::eucKrToIso2022Kr(const unsigned char* p, uint32_t n, DataBuffer& out)
{
    if (!p || n == 0)
        return true;
    Staged o(out);
    bool ok = true;
    bool shifted = false;
    o.put(ESC);
    o.put3('$', ')', 'C');
    for (uint32_t i = 0; i < n; i++) {
        unsigned char c = p[i];
        if (c == ESC || c == SO || c == SI) {
            ok = false; // would be read back as a shift or an escape sequence
            continue;
        }
        if (c < 0x80) {
            if (shifted) {
                o.put(SI);
                shifted = false;
            }
            o.put(c);
            continue;
        }
        if (i + 1 >= n) {
            ok = false;
            break;
        }
        unsigned char c2 = p[++i];
        if (c < 0xA1 || c > 0xFE || c2 < 0xA1 || c2 > 0xFE) {
            ok = false; // an extended Hangul code: no ISO-2022-KR form
            continue;
        }
        if (!shifted) {
            o.put(SO);
            shifted = true;
        }
        o.put((unsigned char)(c - 0x80));
        o.put((unsigned char)(c2 - 0x80));
    }
    return o.finish() && ok;
}
