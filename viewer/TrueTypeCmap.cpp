// Big-endian reads, bounds-checked against the program's bytes.
#include "viewer/TrueTypeCmap.h"

namespace pdf {

namespace {
class Reader
{
public:
    explicit Reader(const std::string& bytes) : m_bytes(bytes) {}
    bool Has(size_t at, size_t size) const { return at <= m_bytes.size() && size <= m_bytes.size() - at; }
    unsigned U16(size_t at) const
    {
        return Has(at, 2) ? static_cast<unsigned char>(m_bytes[at]) << 8 | static_cast<unsigned char>(m_bytes[at + 1]) : 0;
    }
    unsigned long U32(size_t at) const { return static_cast<unsigned long>(U16(at)) << 16 | U16(at + 2); }

private:
    const std::string& m_bytes;
};

const unsigned long kMaxGroupSpan = 0x110000;

// Characters looked at, for all subtables together: damaged ranges that overlap stop here.
struct Budget
{
    unsigned long left = 0x110000;
};

void Note(std::map<unsigned, unsigned long>& glyphs, unsigned glyph, unsigned long character)
{
    if (glyph == 0) return;
    auto known = glyphs.find(glyph);
    if (known == glyphs.end() || character < known->second) glyphs[glyph] = character;
}

void ReadFormat4(const Reader& r, size_t table, std::map<unsigned, unsigned long>& glyphs, Budget& budget)
{
    unsigned segments = r.U16(table + 6) / 2;
    size_t ends = table + 14, starts = ends + 2 * segments + 2, deltas = starts + 2 * segments, ranges = deltas + 2 * segments;
    if (!r.Has(table, 16 + 8 * static_cast<size_t>(segments))) return;
    for (unsigned s = 0; s < segments; ++s) {
        unsigned end = r.U16(ends + 2 * s), start = r.U16(starts + 2 * s), delta = r.U16(deltas + 2 * s);
        unsigned rangeOffset = r.U16(ranges + 2 * s);
        for (unsigned c = start; c <= end && c != 0xFFFF; ++c) {
            if (budget.left-- == 0) return;
            unsigned glyph;
            if (rangeOffset == 0) {
                glyph = (c + delta) & 0xFFFF;
            } else {
                size_t at = ranges + 2 * s + rangeOffset + 2 * static_cast<size_t>(c - start);
                if (!r.Has(at, 2)) break;
                glyph = r.U16(at);
                if (glyph) glyph = (glyph + delta) & 0xFFFF;
            }
            Note(glyphs, glyph, c);
        }
    }
}

void ReadFormat12(const Reader& r, size_t table, std::map<unsigned, unsigned long>& glyphs, Budget& budget)
{
    unsigned long groups = r.U32(table + 12);
    if (!r.Has(table + 16, groups * 12)) return;
    for (unsigned long g = 0; g < groups; ++g) {
        size_t at = table + 16 + g * 12;
        unsigned long start = r.U32(at), end = r.U32(at + 4), glyph = r.U32(at + 8);
        if (end < start || end - start > kMaxGroupSpan || end >= kMaxGroupSpan) continue;
        for (unsigned long c = start; c <= end; ++c) {
            if (budget.left-- == 0) return;
            Note(glyphs, static_cast<unsigned>(glyph + (c - start)), c);
        }
    }
}
} // namespace

std::map<unsigned, unsigned long> GlyphCharacters(const std::string& program)
{
    std::map<unsigned, unsigned long> glyphs;
    Reader r(program);
    unsigned tables = r.U16(4);
    size_t cmap = 0;
    for (unsigned t = 0; t < tables && r.Has(12 + 16 * t, 16); ++t)
        if (program.compare(12 + 16 * t, 4, "cmap") == 0) cmap = r.U32(12 + 16 * t + 8);
    if (!cmap || !r.Has(cmap, 4)) return glyphs;
    // The Unicode subtables, the full-range one (3,10 or 0,4+) first.
    size_t best = 0;
    int bestRank = 0;
    for (unsigned i = 0; i < r.U16(cmap + 2) && r.Has(cmap + 4 + 8 * i, 8); ++i) {
        unsigned platform = r.U16(cmap + 4 + 8 * i), encoding = r.U16(cmap + 6 + 8 * i);
        size_t table = cmap + r.U32(cmap + 8 + 8 * i);
        unsigned format = r.U16(table);
        if (format != 4 && format != 12) continue;
        int rank = (platform == 3 && encoding == 10) || (platform == 0 && encoding >= 4) ? 2
                 : (platform == 3 && encoding == 1) || platform == 0                    ? 1
                                                                                         : 0;
        if (rank > bestRank) {
            bestRank = rank;
            best = table;
        }
    }
    if (!best) return glyphs;
    Budget budget;
    if (r.U16(best) == 4) ReadFormat4(r, best, glyphs, budget);
    else ReadFormat12(r, best, glyphs, budget);
    return glyphs;
}

} // namespace pdf
