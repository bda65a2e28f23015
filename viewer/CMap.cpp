// A CMap is PostScript: read it as tokens and act on the operators that end each block.
#include "viewer/CMap.h"
#include "viewer/PdfObject.h"

namespace pdf {

namespace {
// A hexadecimal string's bytes as a number, and its length.
unsigned CodeOf(const std::string& bytes, int& length)
{
    unsigned code = 0;
    length = static_cast<int>(std::min<size_t>(bytes.size(), 4));
    for (int i = 0; i < length; ++i) code = code << 8 | static_cast<unsigned char>(bytes[i]);
    return code;
}

// Text of a destination string: UTF-16BE.
std::wstring Utf16Of(const std::string& bytes)
{
    std::wstring text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) << 8 | static_cast<unsigned char>(bytes[i + 1]));
    if (bytes.size() == 1) text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[0]));
    return text;
}

const unsigned kMaxRangeSize = 0x10000; // a range wider than a two-byte plane is damaged
} // namespace

CMap CMap::Identity()
{
    CMap map;
    map.m_codespaces.push_back({2, 0, 0xFFFF});
    return map;
}

CMap CMap::Parse(const std::string& text)
{
    CMap map;
    Parser parser(text, 0);
    std::vector<ObjectPtr> operands;
    for (int guard = 0; guard < 2000000; ++guard) {
        try {
            parser.SkipWhitespace();
            if (parser.Position() >= text.size()) break;
            unsigned char c = text[parser.Position()];
            if (c == '<' || c == '[' || c == '(' || c == '/' || c == '-' || c == '.' || (c >= '0' && c <= '9')) {
                operands.push_back(parser.ReadObject());
                continue;
            }
            std::string word = parser.PeekKeyword();
            if (word.empty()) {
                parser.SetPosition(parser.Position() + 1);
                operands.clear();
                continue;
            }
            parser.SetPosition(parser.Position() + word.size());
            auto isString = [&](size_t i) { return i < operands.size() && operands[i]->kind == Kind::String; };
            if (word == "endcodespacerange") {
                for (size_t i = 0; isString(i) && isString(i + 1); i += 2) {
                    int length, highLength;
                    unsigned low = CodeOf(operands[i]->text, length), high = CodeOf(operands[i + 1]->text, highLength);
                    if (length > 0 && length == highLength) map.m_codespaces.push_back({length, low, high});
                }
            } else if (word == "endbfchar") {
                for (size_t i = 0; isString(i) && isString(i + 1); i += 2) {
                    int length;
                    unsigned code = CodeOf(operands[i]->text, length);
                    if (length > 0) map.m_textChars[{length, code}] = Utf16Of(operands[i + 1]->text);
                }
            } else if (word == "endbfrange") {
                for (size_t i = 0; i + 2 < operands.size() && isString(i) && isString(i + 1); i += 3) {
                    Range r{};
                    int highLength;
                    r.low = CodeOf(operands[i]->text, r.length);
                    r.high = CodeOf(operands[i + 1]->text, highLength);
                    if (r.length == 0 || r.length != highLength || r.high < r.low || r.high - r.low >= kMaxRangeSize) continue;
                    const ObjectPtr& target = operands[i + 2];
                    if (target->kind == Kind::String) r.text = Utf16Of(target->text);
                    else if (target->kind == Kind::Array)
                        for (const ObjectPtr& item : target->items) r.texts.push_back(item->kind == Kind::String ? Utf16Of(item->text) : std::wstring());
                    else continue;
                    map.m_textRanges.push_back(r);
                }
            } else if (word == "endcidchar" || word == "endcidrange") {
                size_t step = word == "endcidchar" ? 2 : 3;
                for (size_t i = 0; i + step - 1 < operands.size() && isString(i); i += step) {
                    Range r{};
                    int highLength = 0;
                    r.low = r.high = CodeOf(operands[i]->text, r.length);
                    if (step == 3) {
                        if (!isString(i + 1)) break;
                        r.high = CodeOf(operands[i + 1]->text, highLength);
                        if (highLength != r.length || r.high < r.low) continue;
                    }
                    const ObjectPtr& cid = operands[i + step - 1];
                    if (cid->kind != Kind::Number || r.length == 0) continue;
                    r.cid = static_cast<unsigned>(cid->number);
                    map.m_cidRanges.push_back(r);
                }
            }
            operands.clear();
        } catch (const PdfError&) {
            break; // a damaged map: keep what was read
        }
    }
    return map;
}

unsigned CMap::NextCode(const std::string& codes, size_t pos, int& length) const
{
    unsigned code = 0;
    for (int bytes = 1; bytes <= 4 && pos + bytes <= codes.size(); ++bytes) {
        code = code << 8 | static_cast<unsigned char>(codes[pos + bytes - 1]);
        for (const Codespace& space : m_codespaces)
            if (space.length == bytes && code >= space.low && code <= space.high) {
                length = bytes;
                return code;
            }
    }
    // Outside every code space (or none given): as long as the shortest code space, else one byte.
    int shortest = 4;
    for (const Codespace& space : m_codespaces) shortest = std::min(shortest, space.length);
    length = m_codespaces.empty() ? 1 : static_cast<int>(std::min<size_t>(shortest, codes.size() - pos));
    code = 0;
    for (int i = 0; i < length; ++i) code = code << 8 | static_cast<unsigned char>(codes[pos + i]);
    return code;
}

unsigned CMap::Cid(unsigned code, int length) const
{
    for (const Range& r : m_cidRanges)
        if (InRange(r, code, length)) return r.cid + (code - r.low);
    return code;
}

bool CMap::Text(unsigned code, int length, std::wstring& text) const
{
    auto single = m_textChars.find({length, code});
    if (single != m_textChars.end()) {
        text = single->second;
        return true;
    }
    for (const Range& r : m_textRanges) {
        if (!InRange(r, code, length)) continue;
        unsigned offset = code - r.low;
        if (!r.texts.empty()) {
            if (offset >= r.texts.size()) return false;
            text = r.texts[offset];
            return true;
        }
        text = r.text;
        if (text.empty()) return false;
        text.back() = static_cast<wchar_t>(text.back() + offset);
        return true;
    }
    return false;
}

} // namespace pdf
