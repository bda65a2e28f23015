// Character maps of two-byte and other composite fonts: the code space that splits a string into
// codes of one to four bytes, codes to CIDs (cidchar, cidrange) and codes to text (bfchar, bfrange),
// as an embedded CMap or a /ToUnicode stream writes them.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace pdf {

class CMap
{
public:
    // Reads the text of a CMap stream; what it cannot read is left out.
    static CMap Parse(const std::string& text);
    // Identity-H and Identity-V: two-byte codes that are their own CIDs.
    static CMap Identity();

    // The next code of the string at pos, and its length in bytes (at least 1).
    unsigned NextCode(const std::string& codes, size_t pos, int& length) const;
    // The CID of a code; the code itself where no range names it.
    unsigned Cid(unsigned code, int length) const;
    // The text of a code; false when the map does not name it.
    bool Text(unsigned code, int length, std::wstring& text) const;
    bool HasText() const { return !m_textChars.empty() || !m_textRanges.empty(); }

private:
    struct Range
    {
        int length;
        unsigned low, high;
        unsigned cid;                     // cidrange: CID of low
        std::wstring text;                // bfrange: text of low (its last unit counts up)
        std::vector<std::wstring> texts;  // bfrange with an array: one text a code
    };
    struct Codespace
    {
        int length;
        unsigned low, high;
    };
    static bool InRange(const Range& r, unsigned code, int length) { return r.length == length && code >= r.low && code <= r.high; }

    std::vector<Codespace> m_codespaces;
    std::vector<Range> m_cidRanges;   // cidchar and cidrange
    std::map<std::pair<int, unsigned>, std::wstring> m_textChars; // bfchar, by length and code
    std::vector<Range> m_textRanges;  // bfrange
};

} // namespace pdf
