// Value lookup in "Save" replies. A key must stand at the start of a reply entry so that a short
// key never picks up the value of a longer one ("F1" against "F10=...").
#include "formdb/FieldValues.h"

#include "formdb/FieldNames.h"

namespace {
const char kMarker[] = "jjjj";
}

std::string FieldKeyOfEntry(const std::string& entry, const std::string& formType)
{
    if (!formType.empty() && formType[0] == '0')
        return entry.substr(0, entry.find(kMarker));
    return entry;
}

std::string FindReplyValue(const std::string& reply, const std::string& key)
{
    const std::string cut = key.substr(0, key.find(kMarker));
    if (cut.empty())
        return std::string();
    size_t entryStart = 0;
    while (entryStart <= reply.size())
    {
        const size_t after = entryStart + cut.size();
        const size_t entryEnd = std::min(reply.find('|', entryStart), reply.size());
        if (after <= entryEnd && reply.compare(entryStart, cut.size(), cut) == 0 &&
            (reply.compare(after, 1, "=") == 0 || reply.compare(after, 4, kMarker) == 0))
        {
            const size_t equals = reply.find('=', after);
            if (equals == std::string::npos || equals > entryEnd)
                return std::string();
            return UnescapeReplyValue(reply.substr(equals + 1, entryEnd - equals - 1));
        }
        if (entryEnd == reply.size())
            break;
        entryStart = entryEnd + 1;
    }
    return std::string();
}

std::string UnescapeReplyValue(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] == '%' && i + 2 < value.size())
        {
            const std::string code = value.substr(i + 1, 2);
            const char plain = code == "25" ? '%' : code == "7C" ? '|' : code == "3D" ? '=' : '\0';
            if (plain)
            {
                out += plain;
                i += 2;
                continue;
            }
        }
        out += value[i];
    }
    return out;
}

std::vector<std::string> ReplyValuesForFields(const std::string& reply, const std::string& fieldList,
                                              const std::string& formType, size_t fieldCount)
{
    const std::vector<std::string> entries = SplitEntries(fieldList);
    std::vector<std::string> values;
    values.reserve(fieldCount);
    for (size_t i = 0; i < fieldCount; ++i)
        values.push_back(i < entries.size() ? FindReplyValue(reply, FieldKeyOfEntry(entries[i], formType))
                                            : std::string());
    return values;
}
