// Parser of PDF objects: the tokens and nesting rules of the file syntax, streams included.
#include "viewer/PdfObject.h"
#include "framework/TextEscapes.h"
#include <cstring>

namespace pdf {

namespace {
const int kMaxNesting = 64;

std::shared_ptr<Object> MakeObject(Kind kind)
{
    auto obj = std::make_shared<Object>();
    obj->kind = kind;
    return obj;
}

} // namespace

bool IsPdfWhitespace(unsigned char c)
{
    return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

bool IsPdfDelimiter(unsigned char c)
{
    return std::strchr("()<>[]{}/%", c) != nullptr && c != 0;
}

ObjectPtr MakeNull()
{
    static const ObjectPtr null = MakeObject(Kind::Null);
    return null;
}

ObjectPtr Object::Get(const std::string& key) const
{
    auto it = dict.find(key);
    return it == dict.end() || !it->second ? MakeNull() : it->second;
}

void Parser::SkipWhitespace()
{
    while (m_pos < m_bytes.size()) {
        unsigned char c = m_bytes[m_pos];
        if (IsPdfWhitespace(c)) {
            ++m_pos;
        } else if (c == '%') {
            while (m_pos < m_bytes.size() && m_bytes[m_pos] != '\r' && m_bytes[m_pos] != '\n') ++m_pos;
        } else {
            break;
        }
    }
}

std::string Parser::PeekKeyword()
{
    SkipWhitespace();
    size_t end = m_pos;
    while (end < m_bytes.size() && !IsPdfWhitespace(m_bytes[end]) && !IsPdfDelimiter(m_bytes[end])) ++end;
    return m_bytes.substr(m_pos, end - m_pos);
}

bool Parser::AtKeyword(const char* word) const
{
    size_t len = std::strlen(word);
    if (m_bytes.compare(m_pos, len, word) != 0) return false;
    size_t after = m_pos + len;
    return after >= m_bytes.size() || IsPdfWhitespace(m_bytes[after]) || IsPdfDelimiter(m_bytes[after]);
}

bool Parser::ReadObjectHeader(int& number, int& generation)
{
    size_t start = m_pos;
    SkipWhitespace();
    ObjectPtr num = ReadNumberOrRef();
    SkipWhitespace();
    ObjectPtr gen = ReadNumberOrRef();
    SkipWhitespace();
    if (num->kind != Kind::Number || gen->kind != Kind::Number || !AtKeyword("obj")) {
        m_pos = start;
        return false;
    }
    m_pos += 3;
    number = static_cast<int>(num->number);
    generation = static_cast<int>(gen->number);
    return true;
}

ObjectPtr Parser::ReadObject()
{
    return ReadValue(0);
}

ObjectPtr Parser::ReadValue(int depth)
{
    if (depth > kMaxNesting) throw PdfError("objects nested too deeply");
    if (budget && ++budget->used > budget->limit)
        throw PdfLimitError("its objects hold more than " + std::to_string(budget->limit) + " values");
    SkipWhitespace();
    if (m_pos >= m_bytes.size()) throw PdfError("unexpected end of file");
    unsigned char c = m_bytes[m_pos];
    if (c == '/') {
        auto obj = MakeObject(Kind::Name);
        obj->text = ReadName();
        return obj;
    }
    if (c == '(') {
        auto obj = MakeObject(Kind::String);
        obj->text = ReadLiteralString();
        return obj;
    }
    if (c == '<' && m_pos + 1 < m_bytes.size() && m_bytes[m_pos + 1] == '<') {
        m_pos += 2;
        auto obj = MakeObject(Kind::Dict);
        for (;;) {
            SkipWhitespace();
            if (m_pos + 1 < m_bytes.size() && m_bytes[m_pos] == '>' && m_bytes[m_pos + 1] == '>') {
                m_pos += 2;
                break;
            }
            if (m_pos >= m_bytes.size()) throw PdfError("unterminated dictionary");
            if (m_bytes[m_pos] != '/') throw PdfError("dictionary key is not a name");
            std::string key = ReadName();
            ObjectPtr value = ReadValue(depth + 1);
            obj->dict[key] = value;
        }
        SkipWhitespace();
        if (AtKeyword("stream")) {
            obj->kind = Kind::Stream;
            ReadStreamBody(*obj);
        }
        return obj;
    }
    if (c == '<') {
        auto obj = MakeObject(Kind::String);
        obj->text = ReadHexString();
        return obj;
    }
    if (c == '[') {
        ++m_pos;
        auto obj = MakeObject(Kind::Array);
        for (;;) {
            SkipWhitespace();
            if (m_pos >= m_bytes.size()) throw PdfError("unterminated array");
            if (m_bytes[m_pos] == ']') {
                ++m_pos;
                break;
            }
            obj->items.push_back(ReadValue(depth + 1));
        }
        return obj;
    }
    if (c == '+' || c == '-' || c == '.' || (c >= '0' && c <= '9')) return ReadNumberOrRef();
    if (AtKeyword("true") || AtKeyword("false")) {
        auto obj = MakeObject(Kind::Boolean);
        obj->boolean = m_bytes[m_pos] == 't';
        m_pos += obj->boolean ? 4 : 5;
        return obj;
    }
    if (AtKeyword("null")) {
        m_pos += 4;
        return MakeNull();
    }
    throw PdfError("unexpected token at offset " + std::to_string(m_pos));
}

ObjectPtr Parser::ReadNumberOrRef()
{
    size_t start = m_pos;
    if (m_pos < m_bytes.size() && (m_bytes[m_pos] == '+' || m_bytes[m_pos] == '-')) ++m_pos;
    bool digits = false, dot = false;
    while (m_pos < m_bytes.size()) {
        char c = m_bytes[m_pos];
        if (c >= '0' && c <= '9') digits = true;
        else if (c == '.' && !dot) dot = true;
        else break;
        ++m_pos;
    }
    if (!digits) {
        m_pos = start;
        auto null = MakeObject(Kind::Null);
        if (start < m_bytes.size() && !IsPdfWhitespace(m_bytes[start]) && !IsPdfDelimiter(m_bytes[start]))
            throw PdfError("malformed number at offset " + std::to_string(start));
        return null;
    }
    auto obj = MakeObject(Kind::Number);
    obj->number = std::strtod(m_bytes.substr(start, m_pos - start).c_str(), nullptr);
    obj->isInteger = !dot;
    if (!obj->isInteger || m_bytes[start] == '-' || m_bytes[start] == '+') return obj;

    // "N G R" is a reference: look ahead without consuming when it is not.
    size_t afterFirst = m_pos;
    SkipWhitespace();
    size_t genStart = m_pos;
    while (m_pos < m_bytes.size() && m_bytes[m_pos] >= '0' && m_bytes[m_pos] <= '9') ++m_pos;
    if (m_pos > genStart) {
        size_t genEnd = m_pos;
        SkipWhitespace();
        if (AtKeyword("R")) {
            ++m_pos;
            auto ref = MakeObject(Kind::Ref);
            ref->refNumber = static_cast<int>(obj->number);
            ref->refGeneration = std::atoi(m_bytes.substr(genStart, genEnd - genStart).c_str());
            return ref;
        }
    }
    m_pos = afterFirst;
    return obj;
}

std::string Parser::ReadName()
{
    ++m_pos; // the slash
    std::string name;
    while (m_pos < m_bytes.size()) {
        unsigned char c = m_bytes[m_pos];
        if (IsPdfWhitespace(c) || IsPdfDelimiter(c)) break;
        if (c == '#' && m_pos + 2 < m_bytes.size() && HexDigitValue(m_bytes[m_pos + 1]) >= 0 &&
            HexDigitValue(m_bytes[m_pos + 2]) >= 0) {
            name += static_cast<char>(HexDigitValue(m_bytes[m_pos + 1]) * 16 + HexDigitValue(m_bytes[m_pos + 2]));
            m_pos += 3;
            continue;
        }
        name += static_cast<char>(c);
        ++m_pos;
    }
    return name;
}

std::string Parser::ReadLiteralString()
{
    ++m_pos; // the opening parenthesis
    std::string out;
    int open = 1;
    while (m_pos < m_bytes.size()) {
        char c = m_bytes[m_pos++];
        if (c == '(') {
            ++open;
        } else if (c == ')') {
            if (--open == 0) return out;
        } else if (c == '\\') {
            if (m_pos >= m_bytes.size()) break;
            char e = m_bytes[m_pos++];
            switch (e) {
            case 'n': out += '\n'; continue;
            case 'r': out += '\r'; continue;
            case 't': out += '\t'; continue;
            case 'b': out += '\b'; continue;
            case 'f': out += '\f'; continue;
            case '\r':
                if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') ++m_pos;
                continue;
            case '\n': continue;
            default: break;
            }
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                for (int i = 0; i < 2 && m_pos < m_bytes.size() && m_bytes[m_pos] >= '0' && m_bytes[m_pos] <= '7'; ++i)
                    value = value * 8 + (m_bytes[m_pos++] - '0');
                out += static_cast<char>(value & 0xFF);
            } else {
                out += e;
            }
            continue;
        }
        out += c;
    }
    throw PdfError("unterminated string");
}

std::string Parser::ReadHexString()
{
    ++m_pos; // '<'
    std::string out;
    int high = -1;
    while (m_pos < m_bytes.size()) {
        unsigned char c = m_bytes[m_pos++];
        if (c == '>') {
            if (high >= 0) out += static_cast<char>(high * 16);
            return out;
        }
        if (IsPdfWhitespace(c)) continue;
        int v = HexDigitValue(c);
        if (v < 0) throw PdfError("bad hex string");
        if (high < 0) {
            high = v;
        } else {
            out += static_cast<char>(high * 16 + v);
            high = -1;
        }
    }
    throw PdfError("unterminated hex string");
}

void Parser::ReadStreamBody(Object& stream)
{
    m_pos += 6; // "stream"
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\r') ++m_pos;
    if (m_pos < m_bytes.size() && m_bytes[m_pos] == '\n') ++m_pos;
    long length = -1;
    ObjectPtr lengthObj = stream.Get("Length");
    if (lengthObj->kind == Kind::Number) length = static_cast<long>(lengthObj->number);
    else if (lengthObj->kind == Kind::Ref && lengthResolver && *lengthResolver) length = (*lengthResolver)(*lengthObj);

    size_t start = m_pos;
    bool lengthFits = length >= 0 && start + static_cast<size_t>(length) <= m_bytes.size();
    if (lengthFits) {
        // Trust the length only when "endstream" follows it.
        Parser after(m_bytes, start + length);
        after.SkipWhitespace();
        lengthFits = after.AtKeyword("endstream");
    }
    size_t end;
    if (lengthFits) {
        end = start + length;
    } else {
        size_t found = m_bytes.find("endstream", start);
        if (found == std::string::npos) throw PdfError("stream without endstream");
        end = found;
        if (end > start && m_bytes[end - 1] == '\n') --end;
        if (end > start && m_bytes[end - 1] == '\r') --end;
    }
    stream.raw = m_bytes.substr(start, end - start);
    m_pos = end;
    SkipWhitespace();
    if (!AtKeyword("endstream")) throw PdfError("stream without endstream");
    m_pos += 9;
}

} // namespace pdf
