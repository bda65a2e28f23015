// Field-list parsing for registration, saving and the records list. Each entry is parsed on its
// own, so entry i of the list is always column i of the list-order result: the save code relies on it.
#include "formdb/FieldNames.h"

#include <algorithm>
#include <cctype>
#include <unordered_map>

const char kFieldLimitMessage[] = "More the 102 columns found. can register only up to 1024 columns.";
const char kFieldLimitCaption[] = "db";

namespace {

const char kMarker[] = "jjjj";
const size_t kMarkerLength = 4;

// Columns that every form table has besides the fields, or that SQLite reserves for the row id.
const char* const kReservedColumns[] = {
    "submdate", "fxml", "RSRV_TEMPLATE_NAME", "_ROWID_", "ROWID", "OID",
    "collectionsXML", "memorizedDate", "dateTrigger",
};

// SQLite compares identifiers ignoring ASCII case only; so do we.
std::string AsciiLower(const std::string& text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

// A bracket would end the column's name in SQL: the one refusal whose message is the bare name.
const char kBracketProblem[] = "it contains a square bracket";
const char kSameNameProblem[] = "another field has the same name (ignoring case)";

struct ParsedField
{
    std::string name;
    unsigned long index;
};

// Why a name cannot be a column, or empty when it can.
std::string NameProblem(const std::string& name, const std::unordered_map<std::string, int>& taken)
{
    if (name.empty())
        return "it is empty";
    if (name.size() > kMaxFieldNameBytes)
        return "it is longer than 255 bytes";
    for (unsigned char c : name)
    {
        if (c == '[' || c == ']')
            return kBracketProblem;
        if (c == '|')
            return "it contains \"|\"";
        if (c < 0x20 || c == 0x7F)
            return "it contains a control character";
    }
    const std::string lower = AsciiLower(name);
    for (const char* reserved : kReservedColumns)
        if (lower == AsciiLower(reserved))
            return std::string("it is the reserved column name \"") + reserved + "\"";
    if (taken.count(lower))
        return kSameNameProblem;
    return std::string();
}

FieldNameList Refused(const std::string& why, const char* caption)
{
    FieldNameList result;
    result.count = -1;
    result.error = why;
    result.errorCaption = caption;
    return result;
}

} // namespace

std::vector<std::string> SplitEntries(const std::string& text)
{
    std::vector<std::string> entries;
    size_t start = 0;
    for (;;)
    {
        const size_t bar = text.find('|', start);
        if (bar == std::string::npos)
        {
            entries.push_back(text.substr(start));
            return entries;
        }
        entries.push_back(text.substr(start, bar - start));
        start = bar + 1;
    }
}

bool ParseFieldEntry(const std::string& entry, unsigned long& index, std::string& name)
{
    const size_t marker = entry.find(kMarker);
    if (marker == std::string::npos)
        return false;
    const size_t indexStart = marker + kMarkerLength;
    const size_t nameMark = entry.find('j', indexStart);
    if (nameMark == std::string::npos)
        return false;

    index = 0;
    for (size_t i = indexStart; i < entry.size() && std::isdigit(static_cast<unsigned char>(entry[i])); ++i)
        index = index > 100000000ul ? index : index * 10 + static_cast<unsigned long>(entry[i] - '0');

    const size_t nameEnd = std::min(entry.find('j', nameMark + 1), entry.size());
    name = entry.substr(nameMark + 1, nameEnd - nameMark - 1);
    return true;
}

FieldNameList ParseFieldNames(const std::string& fieldList, int order)
{
    std::vector<ParsedField> fields;
    std::unordered_map<std::string, int> taken; // lower-case name -> its entry
    bool limitReached = false;
    for (const std::string& entry : SplitEntries(fieldList))
    {
        // A list that cannot be read is shown whole; an unusable name is shown itself.
        unsigned long index = 0;
        std::string name;
        if (!ParseFieldEntry(entry, index, name))
            return Refused(fieldList.empty() ? "allf = NULL" : fieldList, "get_db_fieldnames");
        const std::string problem = NameProblem(name, taken);
        if (!problem.empty())
        {
            FieldNameList refused =
                Refused(problem == kBracketProblem ? name : name + "\n(" + problem + ")", "get_db_fieldnames ERROR");
            if (problem == kSameNameProblem)
            {
                refused.sameColumnFirst = taken.at(AsciiLower(name));
                refused.sameColumnSecond = static_cast<int>(fields.size());
            }
            return refused;
        }
        taken.emplace(AsciiLower(name), static_cast<int>(fields.size()));
        fields.push_back({std::move(name), index});

        if (static_cast<int>(fields.size()) == kMaxFieldNames)
        {
            limitReached = true;
            break;
        }
    }

    if (order == kOrderByFieldIndex)
        std::stable_sort(fields.begin(), fields.end(),
                         [](const ParsedField& a, const ParsedField& b) { return a.index < b.index; });

    FieldNameList result;
    result.count = static_cast<int>(fields.size());
    result.limitReached = limitReached;
    result.names.reserve(fields.size());
    for (ParsedField& field : fields)
    {
        if (!result.columns.empty())
            result.columns += ',';
        result.columns += '[' + field.name + ']';
        result.names.push_back(std::move(field.name));
    }
    return result;
}

int GetNextFieldName(int position, std::string& name, const std::string& columns)
{
    name.clear();
    if (position < 0 || static_cast<size_t>(position) >= columns.size() || columns[static_cast<size_t>(position)] != '[')
        return -1;
    const size_t start = static_cast<size_t>(position) + 1;
    const size_t end = columns.find(']', start);
    if (end == std::string::npos)
        return -1;
    name.assign(columns, start, end - start);
    return end + 1 < columns.size() && columns[end + 1] == ',' ? static_cast<int>(end + 2) : -1;
}
