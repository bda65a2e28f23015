// Writing the clearinghouse file: one page per record, each followed by four empty lines, in ANSI.
// The file is written beside its final place and renamed there only when every page was written, so
// a failure leaves the file that was there before (or none), never a part of an export.
#pragma once
#include <windows.h>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

// What reading one record's form XML gave.
enum class RecordRead
{
    Found,   // xml holds the record's form XML
    Missing, // the record no longer exists: its page stays blank
    Failed,  // the database failed: the export stops
};

// Reads the form XML of the record at index (0-based, in export order).
using RecordXmlReader = std::function<RecordRead(size_t index, std::wstring& xml)>;

enum class ClearinghouseOutcome
{
    Written,
    ReadFailed,  // the reader reported a failure; nothing was written
    WriteFailed, // the file could not be written; nothing was written
};

struct ClearinghouseResult
{
    ClearinghouseOutcome outcome = ClearinghouseOutcome::WriteFailed;
    size_t pages = 0;      // pages written
    size_t blankPages = 0; // of those, pages without any value
};

// The text between two pages (and after the last): four CR LF pairs.
extern const char kPageSeparator[];

// Writes recordCount pages, page i from record i. readOrder, when it holds every index once, is the
// order the records are read in (the order they lie in the database: a file not yet in the system's
// cache reads fastest front to back); each page still lands at its own place, so the file is the same
// whatever the order. An empty or incomplete readOrder reads in export order.
ClearinghouseResult WriteClearinghouseFile(const std::wstring& path, size_t recordCount,
                                           const RecordXmlReader& readRecord,
                                           const std::vector<size_t>& readOrder = {});

// ".txt" appended unless the name already ends so (in any case).
std::wstring WithTextExtension(const std::wstring& path);

// The default file name at that local time: Clearinghouse_MM-DD-YY_(HH_MMam).
std::wstring DefaultClearinghouseName(const SYSTEMTIME& time);
