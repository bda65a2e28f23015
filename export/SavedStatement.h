// What a statement's saved XML says: its record and its balance in cents.
#pragma once
#include <string>

struct SavedStatement
{
    bool ok = false;
    int rowId = 0;
    long long balanceCents = 0;
};
// Reads the document element's ID (strictly a whole number) and TotalDue_1..6 (cents).
SavedStatement ParseSavedStatement(const std::wstring& xml);
