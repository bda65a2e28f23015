// A hand-made one-page form whose text fields carry the names given (any UTF-16 text), for the
// tests of field names outside the ANSI code page.
#pragma once
#include <string>
#include <vector>

std::string FormWithFields(const std::vector<std::wstring>& names);
