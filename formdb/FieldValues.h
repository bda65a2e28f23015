// Finds each field's value in a form's "Save" reply ("key=value|key=value|..."), the key of a field
// being its entry of the stored field list. The form escapes "%", "|" and "=" inside values, so
// a value never reaches into the next entry.
#pragma once
#include <string>
#include <vector>

// The key under which a field list entry's value is looked up: the whole entry, or the part
// before its first "jjjj" when the form type begins with "0".
std::string FieldKeyOfEntry(const std::string& entry, const std::string& formType);

// The value of one key in the reply. The key is cut at its first "jjjj"; it matches only at the
// start of a reply entry, followed by "=" or "jjjj"; the value follows the next "=" and runs to the
// next "|", unescaped. Empty when the key (or its cut part) is empty or not found.
std::string FindReplyValue(const std::string& reply, const std::string& key);

// Undoes the escapes of a reply value: "%25" -> "%", "%7C" -> "|", "%3D" -> "="; any other "%"
// stays as it is.
std::string UnescapeReplyValue(const std::string& value);

// The values of every field of a list-order field list, in list order.
std::vector<std::string> ReplyValuesForFields(const std::string& reply, const std::string& fieldList,
                                              const std::string& formType, size_t fieldCount);
