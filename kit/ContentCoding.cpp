// ContentCoding: base64 decoding and quoted-printable encoding with a 72-column soft line limit.
#include "kit/ContentCoding.h"
#include <cstring>
#include <new>

namespace {

int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Collects output and appends it to the text whenever it fills.
class StagedOutput
{
public:
    explicit StagedOutput(kit::StringBuffer& out) : m_out(out), m_used(0) {}
    ~StagedOutput() { flush(); }
    void put(char c)
    {
        if (m_used == sizeof m_block)
            flush();
        m_block[m_used++] = c;
    }
    void flush()
    {
        m_out.appendN(m_block, m_used);
        m_used = 0;
    }

private:
    kit::StringBuffer& m_out;
    char m_block[2000];
    int m_used;
};

} // namespace

unsigned char* ContentCoding::decodeBase64(const char* text, uint32_t length, uint32_t* decodedLength)
{
    if (decodedLength)
        *decodedLength = 0;
    if (!text || length == 0 || !decodedLength)
        return nullptr;
    unsigned char* out = new (std::nothrow) unsigned char[(uint64_t)length * 3 / 4 + 8];
    if (!out)
        return nullptr;
    uint32_t n = 0;
    uint32_t bits = 0;
    int values = 0;
    for (uint32_t i = 0; i < length; i++) {
        unsigned char c = (unsigned char)text[i];
        if (c == '=' || c == 0)
            break;
        int v = base64Value(c);
        if (v < 0)
            continue; // line breaks, blanks and stray punctuation
        bits = bits << 6 | (uint32_t)v;
        if (++values == 4) {
            out[n++] = (unsigned char)(bits >> 16);
            out[n++] = (unsigned char)(bits >> 8);
            out[n++] = (unsigned char)bits;
            bits = 0;
            values = 0;
        }
    }
    if (values == 2) {
        out[n++] = (unsigned char)(bits >> 4);
    } else if (values == 3) {
        out[n++] = (unsigned char)(bits >> 10);
        out[n++] = (unsigned char)(bits >> 2);
    }
    *decodedLength = n;
    return out;
}

void ContentCoding::encodeQuotedPrintable(const void* data, uint32_t length, kit::StringBuffer& out)
{
    if (!data || length == 0)
        return;
    static const char hex[] = "0123456789ABCDEF";
    const unsigned char* p = (const unsigned char*)data;
    out.ensureRoom((int)(length > 0x7FFFFFF0u ? 0x7FFFFFF0u : length));
    StagedOutput staged(out);
    auto escape = [&](unsigned char b) {
        staged.put('=');
        staged.put(hex[b >> 4]);
        staged.put(hex[b & 15]);
    };
    auto crlfAt = [&](uint32_t i) { return i + 1 < length && p[i] == '\r' && p[i + 1] == '\n'; };

    int column = 0;
    for (uint32_t i = 0; i < length; i++) {
        unsigned char b = p[i];
        if (column == 0 && (b == '.' || (b == 'F' && length - i >= 5 && memcmp(p + i + 1, "rom ", 4) == 0))) {
            escape(b);
            column += 3;
        } else if ((b >= 33 && b <= 60) || (b >= 62 && b <= 126)) {
            staged.put((char)b);
            column += 1;
        } else if (crlfAt(i)) {
            staged.put('\r');
            staged.put('\n');
            i++;
            column = 0;
            continue;
        } else if (b == ' ' || b == '\t') {
            if (i + 1 < length && !crlfAt(i + 1)) {
                staged.put((char)b);
                column += 1;
            } else {
                escape(b);
                column += 3;
            }
        } else {
            escape(b);
            column += 3;
        }
        // An escape can step past the limit, so the break comes at the limit or beyond it.
        if (column >= m_lineLength && !crlfAt(i + 1)) {
            staged.put('=');
            staged.put('\r');
            staged.put('\n');
            column = 0;
        }
    }
}
