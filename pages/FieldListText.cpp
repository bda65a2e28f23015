// Narrowing the field list for the database, and naming the fields that narrowing made one column.
#include "pages/FieldListText.h"

#include "common/TextConversion.h"
#include "formdb/FieldNames.h"
#include "formdb/StoredText.h"

#include <vector>

namespace {

// The list's own syntax: the entry separator, the name's end and the brackets of the column list.
const char kListSyntax[] = "|j[]";

// The name of one entry of a list's entries.
std::string NameOfEntry(const std::vector<std::string>& entries, int entry)
{
    unsigned long index = 0;
    std::string name;
    if (entry >= 0 && entry < static_cast<int>(entries.size()))
        ParseFieldEntry(entries[static_cast<size_t>(entry)], index, name);
    return name;
}

} // namespace

std::string FieldListToAnsi(const CString& reply)
{
    return WideToAnsiExact(reply.GetString(), static_cast<size_t>(reply.GetLength()), kListSyntax);
}

CString SameColumnMessage(const CString& reply, const std::string& ansiList)
{
    const FieldNameList parsed = ParseFieldNames(ansiList, kOrderAsListed);
    if (parsed.sameColumnFirst < 0)
        return CString();
    // The narrowed list has the reply's entries one for one: a non-ASCII character became bytes that
    // are none of the list's syntax. In UTF-8 the entries are the same and every name is whole.
    const std::vector<std::string> asGiven =
        SplitEntries(EncodeStoredText(reply.GetString(), static_cast<size_t>(reply.GetLength())));
    const std::string column = NameOfEntry(SplitEntries(ansiList), parsed.sameColumnFirst);
    CString message;
    message.Format(L"The fields \"%s\" and \"%s\" would both be stored in the column \"%s\".",
                   DecodeStoredText(NameOfEntry(asGiven, parsed.sameColumnFirst)).c_str(),
                   DecodeStoredText(NameOfEntry(asGiven, parsed.sameColumnSecond)).c_str(),
                   CString(column.c_str()).GetString());
    return message;
}
