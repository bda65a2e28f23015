// The collections field map: which value (a form field, a value of the program "$DB$..." or of the
// saved statement "$CX$...") becomes which element of a record's collection XML.
#pragma once
#include <map>
#include <string>

// One process-wide map, filled on first use and never changed; walked in ascending order of the
// source names (code unit by code unit).
const std::map<std::wstring, std::wstring>& CollectionsFieldMap();
