// The entity references the strict record readers accept: the five predefined entities and decimal or
// hexadecimal character references of a character XML allows; no DTD, so nothing else.
#pragma once
#include <string>

// Decodes the reference named [name, nameEnd) (the text between "&" and ";") onto out; false when it
// is not one of those.
bool AppendXmlReference(const wchar_t* name, const wchar_t* nameEnd, std::wstring& out);

// The longest reference name looked for before its ";".
constexpr int kMaxXmlReferenceName = 12;
