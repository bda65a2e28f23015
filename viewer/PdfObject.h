// The values a PDF file is made of (numbers, strings, names, arrays, dictionaries, references,
// streams) and the parser that reads them from the bytes of a file.
#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace pdf {

// A file that cannot be read as PDF; the message says where it went wrong.
class PdfError : public std::runtime_error
{
public:
    explicit PdfError(const std::string& what) : std::runtime_error(what) {}
};

// A file refused for what it asks of the reader (more values, decoded bytes or page-tree levels than a
// document may have), not for damage: its message stands as it is, whichever object reached the limit.
class PdfLimitError : public PdfError
{
public:
    explicit PdfLimitError(const std::string& what) : PdfError(what) {}
};

struct Object;
using ObjectPtr = std::shared_ptr<const Object>;
using Dict = std::map<std::string, ObjectPtr>;
using Array = std::vector<ObjectPtr>;

enum class Kind { Null, Boolean, Number, String, Name, Array, Dict, Ref, Stream };

struct Object
{
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0;
    bool isInteger = false;
    std::string text;      // bytes of a string, or a name without its slash
    Array items;           // array
    Dict dict;             // dictionary, or the dictionary of a stream
    int refNumber = 0;     // reference
    int refGeneration = 0;
    std::string raw;       // still-encoded bytes of a stream

    bool IsNull() const { return kind == Kind::Null; }
    bool IsName(const char* name) const { return kind == Kind::Name && text == name; }
    // The entry of a dictionary or stream; null (never nullptr) when missing.
    ObjectPtr Get(const std::string& key) const;
};

ObjectPtr MakeNull();

// The values the parsers of one document have made, and how many they may: a small file can
// name millions of values, and each takes memory. Parsing past the limit throws PdfError.
struct ValueBudget
{
    size_t limit = 0;
    size_t used = 0;
};

// Reads objects from a byte range. Throws PdfError on malformed input.
class Parser
{
public:
    Parser(const std::string& bytes, size_t pos) : m_bytes(bytes), m_pos(std::min(pos, bytes.size())) {}

    size_t Position() const { return m_pos; }
    void SetPosition(size_t pos) { m_pos = std::min(pos, m_bytes.size()); }

    // One object; a dictionary followed by "stream" takes its stream bytes, the length coming from
    // streamLength when it is not a direct number (lengths may be indirect).
    ObjectPtr ReadObject();
    // "N G obj" header; false when the bytes there are something else.
    bool ReadObjectHeader(int& number, int& generation);
    // The next token as raw text (keywords, numbers); empty at the end.
    std::string PeekKeyword();
    void SkipWhitespace();

    // Called for a stream whose /Length is a reference; returns the length, or -1 when unknown.
    std::function<long(const Object& lengthRef)>* lengthResolver = nullptr;
    // Counts the values read; none when null.
    ValueBudget* budget = nullptr;

private:
    ObjectPtr ReadValue(int depth);
    ObjectPtr ReadNumberOrRef();
    std::string ReadLiteralString();
    std::string ReadHexString();
    std::string ReadName();
    void ReadStreamBody(Object& stream);
    bool AtKeyword(const char* word) const;

    const std::string& m_bytes;
    size_t m_pos;
};

bool IsPdfWhitespace(unsigned char c);
bool IsPdfDelimiter(unsigned char c);

} // namespace pdf
