// The claim form's database as the program writes it, for the benchmarks: registered from the sample
// form's fields (the program's page size and tables), then records stored one row each as
// a "Save" stores them, every field given a value and the form XML the form writes for them.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "viewer/PdfForm.h"

struct ClaimFormFields
{
    std::vector<pdf::FormField> fields;
    std::vector<std::wstring> keys;    // in form order
    std::vector<std::wstring> columns; // column names, in form order
};

// The sample claim form's fields; exits with a message when the file cannot be read.
ClaimFormFields ReadClaimFormFields(const std::wstring& formPath);

// A field's value in a record (record counts from 1, index is the field's place in form order).
using ClaimValueMaker =
    std::function<std::wstring(const pdf::FormField& field, const std::wstring& column, int index, int record)>;

struct MadeDatabase
{
    double seconds = 0;
    double xmlBytesPerRecord = 0;
};

// Registers the form at dbPath and stores the records in one transaction; exits with a message on
// any failure.
MadeDatabase MakeClaimDatabase(const std::wstring& dbPath, const ClaimFormFields& form, int records,
                               const ClaimValueMaker& valueOf);
