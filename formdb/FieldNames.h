// Turns a form's field-list reply into the column names of its database: parsing, checking every
// name, ordering by field index (mode 0) or keeping list order (mode 1), and the bracketed list.
#pragma once
#include <string>
#include <vector>

// The most names a field list can give; later entries are ignored (with a warning).
constexpr int kMaxFieldNames = 4999;
// The longest column name accepted, in bytes.
constexpr size_t kMaxFieldNameBytes = 255;

enum FieldNameOrder
{
    kOrderByFieldIndex = 0,
    kOrderAsListed = 1,
};

struct FieldNameList
{
    int count = 0;                  // number of names, -1 when the list was refused
    std::vector<std::string> names; // in the requested order
    std::string columns;            // "[A],[B],..."
    bool limitReached = false;      // the list held kMaxFieldNames entries or more
    // Why the list was refused (count -1), with the caption of its message box: a list that cannot
    // be read gives its whole text ("get_db_fieldnames"), an unusable name the name itself, and for
    // reasons other than a square bracket the reason in brackets below it ("get_db_fieldnames ERROR").
    std::string error;
    std::string errorCaption;
    // A refusal because two fields give the same column (ASCII case ignored, as SQLite compares
    // names): the entries of the two, counted from 0 in list order; -1 otherwise.
    int sameColumnFirst = -1;
    int sameColumnSecond = -1;
};

// The field index and name of one entry of a field list; false when it holds no "jjjj" or no "j"
// after it.
bool ParseFieldEntry(const std::string& entry, unsigned long& index, std::string& name);

// Parses an ANSI field list: entries separated by "|", each holding "jjjj", the field's decimal
// index, "j" and the field name (which ends at the next "j"). Shows nothing.
FieldNameList ParseFieldNames(const std::string& fieldList, int order);

// One step through a bracketed column list "[A],[B],...": the name that starts at position (its "["),
// without its brackets, into name; returns the position after the comma that follows it, or -1 for
// the last name. A name ends at its "]" (names hold no brackets), so a comma inside a name stays in
// it. A position that holds no "[", or a name without its "]", gives an empty name and -1.
int GetNextFieldName(int position, std::string& name, const std::string& columns);

// The text and caption of the warning shown when a list reaches kMaxFieldNames.
extern const char kFieldLimitMessage[];
extern const char kFieldLimitCaption[];

// The "|"-separated entries of a field list or a reply, in order (an empty text gives one empty entry).
std::vector<std::string> SplitEntries(const std::string& text);

// The column list of a field list with the user told what is wrong: a refused list shows its
// message and gives -1; reaching the name limit shows the limit warning and goes on. Mode 0 orders
// by field index, 1 keeps list order. Returns the number of names.
class CStringA;
int get_db_fieldnames(CStringA& columns, const char* fieldList, int mode);
