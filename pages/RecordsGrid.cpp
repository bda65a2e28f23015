// The records grid and the form database behind it: filling, ordering, the frozen count and column
// order in FormInfo, deleting selected rows, and single statements for other pages.
#include "pages/RecordsGrid.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <vector>

#include "formdb/FieldNames.h"
#include "formdb/RecordsDatabase.h"
#include "formdb/StoredText.h"
#include "framework/Seams.h"
#include "framework/Wnd.h"
#include "grid/GridColumnTexts.h"
#include "grid/GridCtrl.h"
#include "pages/FormPageHost.h"

namespace {

const wchar_t kFirstHeading[] = L"Templates / Records";
const UINT kHeaderFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE;   // 37
const UINT kHeadingCellFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE; // 36
const int kRowsPerGrowth = 1024;

std::wstring DatabasePath(const FormPageHost& host)
{
    return std::wstring(FormFilePath(host, L".gdb").GetString());
}

CString ToText(const std::string& text)
{
    const std::wstring wide = DecodeStoredText(text);
    return CString(wide.c_str(), static_cast<int>(wide.size()));
}

// A database failure in a message box without an owner.
void Report(const RecordsOutcome& outcome)
{
    AfxShowMessageBox(nullptr, ToText(outcome.message), ToText(outcome.caption), MB_OK);
}

// Where the grid shows the stored columns 0 and 1 (the row id and the kind) now: a header drag
// moves displayed columns, never the stored cells.
struct IdentityColumns
{
    int id = -1;
    int kind = -1;
};

IdentityColumns IdentityColumnsOf(const CGridCtrl& grid)
{
    IdentityColumns where;
    DWORD* layout = nullptr;
    const int words = grid.SaveColumnLayout(&layout);
    const int columns = words >= 2 ? static_cast<int>(layout[1]) : 0;
    for (int display = 0; display < columns; ++display)
    {
        if (layout[2 + display] == 0)
            where.id = display;
        else if (layout[2 + display] == 1)
            where.kind = display;
    }
    delete[] layout;
    return where;
}

bool RecordOfRow(const CGridCtrl& grid, const IdentityColumns& where, int row, RecordKey& key)
{
    if (row < grid.GetFixedRowCount() || row >= grid.GetRowCount() || where.id < 0 || where.kind < 0)
        return false;
    key.id = static_cast<int>(grid.GetItemData(row, where.id));
    key.isTemplate = static_cast<int>(grid.GetItemData(row, where.kind));
    return true;
}

int DigitsAt(const wchar_t*& p, int maxDigits, int* value)
{
    int count = 0;
    *value = 0;
    while (count < maxDigits && *p >= L'0' && *p <= L'9')
    {
        *value = *value * 10 + (*p - L'0');
        ++p;
        ++count;
    }
    return count;
}

void SkipBlanks(const wchar_t*& p)
{
    while (*p == L' ' || *p == L'\t')
        ++p;
}

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

long long DaysBeforeYear(int year)
{
    const long long y = year - 1;
    return y * 365 + y / 4 - y / 100 + y / 400;
}

// "h:mm[:ss] [AM|PM]" at p; false when something else is there.
bool ParseTime(const wchar_t*& p, int* seconds)
{
    int hour = 0, minute = 0, second = 0;
    if (DigitsAt(p, 2, &hour) == 0 || *p != L':')
        return false;
    ++p;
    if (DigitsAt(p, 2, &minute) != 2)
        return false;
    if (*p == L':')
    {
        ++p;
        if (DigitsAt(p, 2, &second) != 2)
            return false;
    }
    SkipBlanks(p);
    const wchar_t first = static_cast<wchar_t>(std::towupper(*p));
    if ((first == L'A' || first == L'P') && std::towupper(p[1]) == L'M')
    {
        if (hour < 1 || hour > 12)
            return false;
        hour = hour % 12 + (first == L'P' ? 12 : 0);
        p += 2;
    }
    if (hour > 23 || minute > 59 || second > 59)
        return false;
    *seconds = hour * 3600 + minute * 60 + second;
    return true;
}

} // namespace

bool ParseMonthDayYear(const wchar_t* text, long long* seconds)
{
    if (!text)
        return false;
    const wchar_t* p = text;
    SkipBlanks(p);
    int month = 0, day = 0, year = 0;
    if (DigitsAt(p, 2, &month) == 0 || (*p != L'/' && *p != L'-'))
        return false;
    const wchar_t separator = *p++;
    if (DigitsAt(p, 2, &day) == 0 || *p++ != separator)
        return false;
    const int yearDigits = DigitsAt(p, 4, &year);
    if (yearDigits != 2 && yearDigits != 4)
        return false;
    if (yearDigits == 2)
        year += year < 30 ? 2000 : 1900;
    static const int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || month < 1 || month > 12 || day < 1 ||
        day > kDaysInMonth[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0))
        return false;
    int timeOfDay = 0;
    SkipBlanks(p);
    if (*p && !ParseTime(p, &timeOfDay))
        return false;
    SkipBlanks(p);
    if (*p)
        return false;
    long long days = DaysBeforeYear(year) + day - 1;
    for (int m = 1; m < month; ++m)
        days += kDaysInMonth[m - 1] + (m == 2 && IsLeapYear(year) ? 1 : 0);
    *seconds = days * 86400 + timeOfDay;
    return true;
}

BOOL IsDateText(const CGridCellBase* cell)
{
    long long ignored = 0;
    return cell && ParseMonthDayYear(cell->GetText(), &ignored);
}

int CALLBACK CompareRecordCells(LPARAM cell1, LPARAM cell2, LPARAM data)
{
    const CCellID* clicked = reinterpret_cast<const CCellID*>(data);
    if (!clicked || clicked->col != 0)
        return CGridCtrl::CompareCellText(cell1, cell2, data);
    const CGridCellBase* first = reinterpret_cast<const CGridCellBase*>(cell1);
    const CGridCellBase* second = reinterpret_cast<const CGridCellBase*>(cell2);
    if (!first || !second)
        return 0;
    long long time1 = 0, time2 = 0;
    const bool date1 = ParseMonthDayYear(first->GetText(), &time1);
    const bool date2 = ParseMonthDayYear(second->GetText(), &time2);
    if (date1 != date2)
        return date1 ? -1 : 1;
    if (date1)
        return time1 > time2 ? 1 : (time1 < time2 ? -1 : 0);
    const wchar_t* text1 = first->GetText() ? first->GetText() : L"";
    const wchar_t* text2 = second->GetText() ? second->GetText() : L"";
    const int order = wcscmp(text1, text2);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

void ReportFormNotRegistered(FormPageHost& host)
{
    CWnd* frame = host.GetMainFrame();
    AfxShowMessageBox(frame ? frame->GetSafeHwnd() : nullptr,
                      L"Form is not registered correctly please check if it is valid for use in this application",
                      L"Vantorels", MB_OK);
    host.ShowFormPage();
}

int LoadRecordGrids(CGridCtrl& grid, FormPageHost& host, bool* frozenCountRead)
{
    if (frozenCountRead)
        *frozenCountRead = false;
    grid.SetEditable(FALSE);
    grid.SetSortOnClick(TRUE);
    grid.SetAutoSizeStyle(1);
    grid.SetFixedColumnSelection(TRUE);
    grid.SetListMode(TRUE);
    grid.SetFixedRowSelection(FALSE);
    grid.SetSelectInFixedColumns(TRUE);
    grid.SetAllowColumnHide(FALSE);
    grid.ExpandLastColumn();
    grid.SetColumnResize(TRUE);
    grid.SetCompareFunction(CompareRecordCells);
    grid.SetFixedRowCount(1);

    int fieldCount = 0;
    int rowsFilled = grid.GetFixedRowCount();
    bool rowsFailed = false;
    std::wstring text;
    // Equal values of a column share one copy of their text.
    GridColumnTexts texts(grid);
    const auto onColumns = [&](const RecordListColumns& columns) {
        fieldCount = columns.count;
        if (grid.InsertColumn(kFirstHeading, kHeaderFormat) < 0)
            return false;
        grid.SetItemFormat(0, 0, kHeadingCellFormat);
        std::string name;
        int position = 0;
        do
        {
            position = GetNextFieldName(position, name, columns.columns);
            const int column = grid.InsertColumn(ToText(name), kHeaderFormat);
            if (column < 0)
                return false;
            grid.SetItemFormat(0, column, kHeadingCellFormat);
        } while (position != -1);
        // A heading for every column the rows bring, or the values would stand under wrong names.
        return grid.GetColumnCount() == fieldCount + 1;
    };
    const auto onRow = [&](const StoredRecordRow& stored) {
        // Rows are made in blocks: one reset of the scroll bars per block, not per row.
        if (rowsFilled >= grid.GetRowCount() && !grid.SetRowCount(rowsFilled + kRowsPerGrowth))
        {
            rowsFailed = true;
            return false;
        }
        const int row = rowsFilled++;
        grid.SetItemData(row, 0, static_cast<LPARAM>(stored.rowId));
        grid.SetItemData(row, 1, stored.isTemplate ? 1 : 0);
        const std::vector<std::string_view>& cells = *stored.cells;
        for (int column = 0; column <= fieldCount && column < static_cast<int>(cells.size()); ++column)
            if (!cells[column].empty())
            {
                // Most values are ASCII, which reads the same as UTF-8 or ANSI: the cell widens
                // the bytes itself, with no string made per cell.
                const std::string_view bytes = cells[column];
                if (std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; }))
                {
                    texts.SetItemText(row, column, bytes.data(), bytes.size());
                }
                else
                {
                    text = DecodeStoredText(bytes.data(), bytes.size());
                    texts.SetItemText(row, column, text.data(), text.size());
                }
            }
        return true;
    };
    const RecordListResult result = ReadRecordList(DatabasePath(host), onColumns, onRow);
    if (grid.GetRowCount() > rowsFilled)
        grid.SetRowCount(rowsFilled);

    if (result.notRegistered)
    {
        ReportFormNotRegistered(host);
        return 1;
    }
    if (rowsFailed)
    {
        AfxShowMessageBox(nullptr, L"The list has no room for more rows.", L"db", MB_OK);
        return 1;
    }
    if (result.stopped)
    {
        AfxShowMessageBox(nullptr, L"prepare failure", L"db", MB_OK);
        return 1;
    }
    if (!result.ok)
    {
        Report(result);
        return 1;
    }
    const bool frozenRead = GetFrozenColumns(grid, host) == 0;
    if (frozenCountRead)
        *frozenCountRead = frozenRead;
    return 0;
}

bool GetRowRecord(const CGridCtrl& grid, int row, RecordKey& key)
{
    return RecordOfRow(grid, IdentityColumnsOf(grid), row, key);
}

int GetFirstSelectedRow(const CGridCtrl* grid)
{
    if (!grid)
        return -1;
    const int column = grid->GetFixedColumnCount();
    if (column >= grid->GetColumnCount())
        return -1;
    for (int row = grid->GetFixedRowCount(); row < grid->GetRowCount(); ++row)
        if (grid->IsCellSelected(row, column))
            return row;
    return -1;
}

int FindRowByRecord(int isTemplate, int recordId, const CGridCtrl& grid)
{
    const IdentityColumns where = IdentityColumnsOf(grid);
    RecordKey key;
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
        if (RecordOfRow(grid, where, row, key) && key.id == recordId && key.isTemplate == isTemplate)
            return row;
    return -1;
}

int DeleteSelectedRows(CGridCtrl& grid, FormPageHost& host)
{
    const int column = grid.GetFixedColumnCount();
    if (column >= grid.GetColumnCount())
        return 1;
    const IdentityColumns where = IdentityColumnsOf(grid);
    std::vector<int> rows;
    std::vector<StoredRecordKey> keys;
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
    {
        RecordKey key;
        if (grid.IsCellSelected(row, column) && RecordOfRow(grid, where, row, key))
        {
            rows.push_back(row);
            keys.push_back({key.id, key.isTemplate != 0});
        }
    }
    if (rows.empty())
        return 1;

    const DeleteOutcome outcome = DeleteRecordRows(DatabasePath(host), keys);
    // The grid loses exactly the rows that are gone from the file, all in one pass.
    for (int i = 0; i < outcome.deleted; ++i)
        host.RecordDeleted(keys[i].rowId, keys[i].isTemplate ? 1 : 0);
    rows.resize(static_cast<size_t>(outcome.deleted));
    grid.DeleteRows(rows);
    grid.Refresh();
    if (!outcome.ok)
    {
        Report(outcome);
        return 2;
    }
    return 0;
}

int DeleteSubmission(FormPageHost& host, int rowId)
{
    const DeleteOutcome outcome = DeleteRecordRows(DatabasePath(host), {StoredRecordKey{rowId, false}});
    if (outcome.deleted > 0)
        host.RecordDeleted(rowId, 0);
    if (!outcome.ok)
    {
        Report(outcome);
        return 2;
    }
    return 0;
}

int GetFrozenColumns(CGridCtrl& grid, FormPageHost& host)
{
    const FrozenCount frozen = ReadFrozenCount(DatabasePath(host));
    if (!frozen.ok)
    {
        Report(frozen);
        return 2;
    }
    // Never more fixed columns than the grid has: fixing more would add empty columns.
    const int count = std::max(1, std::min(frozen.value, grid.GetColumnCount()));
    grid.SetFixedColumnCount(count);
    return 0;
}

int SetFrozenColumns(CGridCtrl& grid, FormPageHost& host)
{
    const RecordsOutcome outcome = WriteFrozenCount(DatabasePath(host), grid.GetFixedColumnCount());
    if (!outcome.ok)
    {
        Report(outcome);
        return 2;
    }
    return 0;
}

int ReadFormColumns(FormPageHost& host, std::string& text)
{
    const FormColumnsText stored = ReadFormColumnsText(DatabasePath(host));
    if (!stored.ok)
    {
        Report(stored);
        return 2;
    }
    text = stored.text;
    return 0;
}

int UpdateFormColumns(CGridCtrl& grid, int firstColumn, FormPageHost& host)
{
    std::string fieldList;
    if (ReadFormColumns(host, fieldList) != 0)
        return 2;
    const FieldNameList parsed = ParseFieldNames(fieldList, kOrderAsListed);
    if (parsed.count < 0)
        return 1;
    std::vector<std::wstring> shown;
    shown.reserve(parsed.names.size());
    for (const std::string& name : parsed.names)
        shown.push_back(DecodeStoredText(name));

    std::vector<std::string> names;
    std::vector<int> indexes;
    for (int column = std::max(firstColumn, 0); column < grid.GetColumnCount(); ++column)
    {
        const CString heading = grid.GetItemText(0, column);
        const auto found = std::find(shown.begin(), shown.end(), std::wstring(heading.GetString()));
        if (found == shown.end())
            return 1;
        names.push_back(parsed.names[static_cast<size_t>(found - shown.begin())]);
        indexes.push_back(column);
    }
    std::string renumbered;
    if (!RenumberFieldList(fieldList, names, indexes, &renumbered))
        return 1;
    const RecordsOutcome outcome = WriteFormColumnsText(DatabasePath(host), renumbered);
    if (!outcome.ok)
    {
        Report(outcome);
        return 2;
    }
    return 0;
}

int ExecuteSql(FormPageHost& host, const char* sql)
{
    const RecordsOutcome outcome = ExecuteRecordsStatement(DatabasePath(host), sql);
    if (!outcome.ok)
    {
        Report(outcome);
        return 2;
    }
    return 0;
}

int ExecuteSqlWithText(FormPageHost& host, const char* sql, const CString& text)
{
    const RecordsOutcome outcome = ExecuteRecordsStatementWithText(
        DatabasePath(host), sql, EncodeStoredText(text.GetString(), static_cast<size_t>(text.GetLength())));
    if (!outcome.ok)
    {
        Report(outcome);
        return 2;
    }
    return 0;
}

namespace {

// A row's cells back to the default background.
void ClearRowMarks(CGridCtrl& grid, int row, int columns)
{
    for (int column = 0; column < columns; ++column)
        if (CGridCellBase* cell = grid.GetCell(row, column))
            cell->SetBackClr(CLR_DEFAULT);
}

// Every cell's background back to the default, walking the cells directly.
void ClearMarks(CGridCtrl& grid)
{
    const int rows = grid.GetRowCount();
    const int columns = grid.GetColumnCount();
    for (int row = 0; row < rows; ++row)
        ClearRowMarks(grid, row, columns);
}

// The marks of earlier searches. A search marks whole rows and nothing else colours the records
// list, so a row whose first cell has no colour has none: only marked rows are walked cell by cell.
void ClearSearchMarks(CGridCtrl& grid)
{
    const int rows = grid.GetRowCount();
    const int columns = grid.GetColumnCount();
    for (int row = 0; row < rows; ++row)
    {
        const CGridCellBase* first = grid.GetCell(row, 0);
        if (first && first->GetBackClr() != CLR_DEFAULT)
            ClearRowMarks(grid, row, columns);
    }
}

} // namespace

void ClearGridHighlight(CGridCtrl* grid)
{
    if (!grid)
        return;
    ClearMarks(*grid);
    if (grid->GetSafeHwnd())
        grid->Invalidate();
}

int MarkRowsContaining(CGridCtrl& grid, const CString& heading, const CString& text, COLORREF colour)
{
    ClearSearchMarks(grid);
    const int rows = grid.GetRowCount();
    const int columns = grid.GetColumnCount();
    int searchColumn = -1;
    for (int column = 0; column < columns; ++column)
        if (grid.GetItemText(0, column) == heading)
            searchColumn = column;
    if (searchColumn < 0 || text.IsEmpty())
        return 0;
    // The text has no blank at either end, so it lies within a cell's trimmed text exactly when it
    // lies within the whole text: the cells are searched as they are, with no copy.
    const wchar_t* wanted = text.GetString();
    int found = 0;
    for (int row = grid.GetFixedRowCount(); row < rows; ++row)
    {
        const CGridCellBase* cell = grid.GetCell(row, searchColumn);
        if (!cell || !std::wcsstr(cell->GetText(), wanted))
            continue;
        for (int column = 0; column < columns; ++column)
            if (CGridCellBase* marked = grid.GetCell(row, column))
                marked->SetBackClr(colour);
        if (found++ == 0)
            grid.EnsureVisible(row, searchColumn);
    }
    return found;
}
