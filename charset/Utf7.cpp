// UTF-7 encoder and decoder over the must-shift and base64-value tables, built on first use.
#include "charset/Utf7.h"
#include <cstdint>
#include <cstring>
#include "kit/DataBuffer.h"

namespace {

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char kDirect[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789'(),-./:?";
const char kSpaces[] = " \t\r\n";

bool g_mustShift[128];
signed char g_base64Value[128];
bool g_tablesNeeded = true;

void appendUnit(DataBuffer& out, uint16_t u)
{
    unsigned char w[2] = {(unsigned char)u, (unsigned char)(u >> 8)};
    out.append(w, 2);
}

} // namespace

void buildUtf7Tables()
{
    for (int c = 0; c < 128; c++) {
        g_mustShift[c] = true;
        g_base64Value[c] = -1;
    }
    for (const char* p = kDirect; *p; p++)
        g_mustShift[(unsigned char)*p] = false;
    for (const char* p = kSpaces; *p; p++)
        g_mustShift[(unsigned char)*p] = false;
    for (int i = 0; i < 64; i++)
        g_base64Value[(unsigned char)kBase64[i]] = (signed char)i;
    g_tablesNeeded = false;
}

bool utf16ToUtf7(const DataBuffer& in, DataBuffer& out)
{
    const unsigned char* p = in.getData();
    uint32_t n = in.getSize();
    if (!p || n < 2)
        return true;
    uint32_t units = n / 2;
    uint32_t k = 0;
    if ((p[0] | p[1] << 8) == 0xFEFF)
        k = 1;
    if (g_tablesNeeded)
        buildUtf7Tables();
    // Room for the longest result at once: the appends below then cannot fail.
    if ((uint64_t)out.getSize() + (uint64_t)(units - k) * 3 + 8 > 0xFFFFFFFFu ||
        !out.ensureBuffer(out.getSize() + (units - k) * 3 + 8))
        return false;

    bool inRun = false;
    uint32_t bits = 0;
    int bitCount = 0;
    for (; k <= units; k++) {
        bool done = k == units;
        uint16_t u = done ? 0 : (uint16_t)(p[2 * k] | p[2 * k + 1] << 8);
        bool shift = !done && (u >= 0x80 || g_mustShift[u]);
        if (shift && !inRun) {
            out.appendChar('+');
            if (u == '+') {
                out.appendChar('-');
                continue;
            }
            inRun = true;
        }
        if (inRun) {
            if (shift) {
                bits = bits << 16 | u;
                bitCount += 16;
            } else {
                int pad = (6 - bitCount % 6) % 6;
                bits <<= pad;
                bitCount += pad;
            }
            while (bitCount >= 6) {
                bitCount -= 6;
                out.appendChar((unsigned char)kBase64[(bits >> bitCount) & 63]);
            }
            bits &= (1u << bitCount) - 1;
            if (!shift) {
                out.appendChar('-');
                inRun = false;
            }
        }
        if (!shift && !done)
            out.appendChar((unsigned char)u);
    }
    return true;
}

bool utf7ToUtf16(const DataBuffer& in, DataBuffer& out)
{
    const unsigned char* p = in.getData();
    uint32_t n = in.getSize();
    if (!p || n == 0)
        return true;
    if (g_tablesNeeded)
        buildUtf7Tables();
    // Room for the longest result at once: the appends below then cannot fail.
    if ((uint64_t)out.getSize() + (uint64_t)n * 2 > 0xFFFFFFFFu || !out.ensureBuffer(out.getSize() + n * 2))
        return false;

    bool ok = true;
    bool inRun = false;
    uint32_t bits = 0;
    int bitCount = 0;
    int runChars = 0;
    int runUnits = 0;
    // Position n stands for the end of the input, which closes an open run.
    for (uint32_t i = 0; i <= n; i++) {
        bool atEnd = i == n;
        unsigned char c = atEnd ? 0 : p[i];
        if (inRun) {
            bool endsRun = atEnd || c > 0x7F || g_base64Value[c] < 0;
            if (!endsRun) {
                bits = bits << 6 | (uint32_t)g_base64Value[c];
                bitCount += 6;
                runChars++;
                if (bitCount >= 16) {
                    bitCount -= 16;
                    appendUnit(out, (uint16_t)(bits >> bitCount));
                    bits &= (1u << bitCount) - 1;
                    runUnits++;
                }
                continue;
            }
            inRun = false;
            if (bits != 0)
                ok = false; // leftover bits must be zero padding
            bits = 0;
            bitCount = 0;
            if (c == '-' && !atEnd) {
                if (runChars == 0)
                    appendUnit(out, '+');
                else if (runUnits == 0)
                    ok = false;
                continue; // the hyphen is absorbed
            }
            if (runUnits == 0)
                ok = false;
        }
        if (atEnd)
            break;
        if (c == '+') {
            inRun = true;
            runChars = 0;
            runUnits = 0;
            continue;
        }
        if (c > 0x7F)
            ok = false;
        if (c != 0)
            appendUnit(out, c);
        else
            ok = false; // a 0 byte is dropped
    }
    return ok;
}
