// The byte searches: aligned sixteen-byte loads compared at once. An aligned load never crosses a
// page, so reading the bytes of a block that lie before the start or past the end is harmless;
// matches there are masked out. Without SSE2 the C runtime's searches are used.
#include "xml/ByteScan.h"
#include <emmintrin.h>
#include <stdint.h>
#include <string.h>

namespace {

bool hasWideCompare()
{
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse2");
}

const bool g_wide = hasWideCompare();

__attribute__((target("sse2"))) unsigned matchesAt(const char* block, __m128i needle)
{
    __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
    return (unsigned)_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, needle));
}

__attribute__((target("sse2"))) const char* findByteWide(const char* p, const char* end, char c)
{
    const __m128i needle = _mm_set1_epi8(c);
    unsigned skip = (unsigned)(reinterpret_cast<uintptr_t>(p) & 15);
    const char* block = p - skip;
    unsigned mask = matchesAt(block, needle) & (0xFFFFu << skip);
    for (;;) {
        if (mask) {
            const char* hit = block + __builtin_ctz(mask);
            return hit < end ? hit : nullptr;
        }
        block += 16;
        if (block >= end)
            return nullptr;
        mask = matchesAt(block, needle);
    }
}

__attribute__((target("sse2"))) unsigned escapedAt(const char* block)
{
    __m128i bytes = _mm_load_si128(reinterpret_cast<const __m128i*>(block));
    __m128i hits = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('<')), _mm_cmpeq_epi8(bytes, _mm_set1_epi8('>')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('"')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\'')));
    hits = _mm_or_si128(hits, _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&')));
    return (unsigned)_mm_movemask_epi8(hits);
}

__attribute__((target("sse2"))) const char* findEscapedWide(const char* p, const char* end)
{
    unsigned skip = (unsigned)(reinterpret_cast<uintptr_t>(p) & 15);
    const char* block = p - skip;
    unsigned mask = escapedAt(block) & (0xFFFFu << skip);
    for (;;) {
        if (mask) {
            const char* hit = block + __builtin_ctz(mask);
            return hit < end ? hit : nullptr;
        }
        block += 16;
        if (block >= end)
            return nullptr;
        mask = escapedAt(block);
    }
}

__attribute__((target("sse2"))) size_t textLengthWide(const char* text)
{
    const __m128i zero = _mm_setzero_si128();
    unsigned skip = (unsigned)(reinterpret_cast<uintptr_t>(text) & 15);
    const char* block = text - skip;
    unsigned mask = matchesAt(block, zero) & (0xFFFFu << skip);
    while (!mask) {
        block += 16;
        mask = matchesAt(block, zero);
    }
    return (size_t)(block + __builtin_ctz(mask) - text);
}

} // namespace

const char* findByte(const char* p, const char* end, char c)
{
    if (p >= end)
        return nullptr;
    if (g_wide)
        return findByteWide(p, end, c);
    return static_cast<const char*>(memchr(p, c, (size_t)(end - p)));
}

const char* findEscapedByte(const char* p, const char* end)
{
    if (g_wide)
        return p < end ? findEscapedWide(p, end) : nullptr;
    for (; p < end; ++p)
        if (*p == '<' || *p == '>' || *p == '"' || *p == '\'' || *p == '&')
            return p;
    return nullptr;
}

size_t textLength(const char* text)
{
    return g_wide ? textLengthWide(text) : strlen(text);
}
