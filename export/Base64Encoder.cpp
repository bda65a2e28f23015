// Encodes 3-byte groups in order; a line break follows every 19th full group, the last one included,
// and never the final partial group.
#include "export/Base64Encoder.h"

#include <cstring>

namespace {
const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const int kGroupsPerLine = 19;
} // namespace

size_t Base64Encoder::EncodedLength(size_t n)
{
    const size_t characters = 4 * ((n + 2) / 3);
    return characters + 2 * (characters / 76) + 1;
}

void Base64Encoder::Encode(const unsigned char* input, size_t count, char* out)
{
    std::memset(out, 0, EncodedLength(count));
    size_t i = 0;
    int groups = 0;
    for (; i + 3 <= count; i += 3) {
        const unsigned value = (input[i] << 16) | (input[i + 1] << 8) | input[i + 2];
        *out++ = kAlphabet[(value >> 18) & 63];
        *out++ = kAlphabet[(value >> 12) & 63];
        *out++ = kAlphabet[(value >> 6) & 63];
        *out++ = kAlphabet[value & 63];
        if (++groups == kGroupsPerLine) {
            *out++ = '\r';
            *out++ = '\n';
            groups = 0;
        }
    }
    const size_t rest = count - i;
    if (rest == 0) return;
    const unsigned value = (input[i] << 16) | (rest == 2 ? input[i + 1] << 8 : 0);
    *out++ = kAlphabet[(value >> 18) & 63];
    *out++ = kAlphabet[(value >> 12) & 63];
    *out++ = rest == 2 ? kAlphabet[(value >> 6) & 63] : '=';
    *out++ = '=';
}
