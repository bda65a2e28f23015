// The records grid of the records page and the form database behind it: filling the list from
// templates and submissions, ordering its first column, the frozen-column count and column order
// kept in FormInfo, deleting selected rows, and single statements for other pages. Results: 0 on
// success, 1 when there was nothing to do or a read failed, 2 after a reported failure.
#pragma once
#include <windows.h>

#include <string>

#include "framework/CString.h"

class CGridCtrl;
class CGridCellBase;
class FormPageHost;

// A data row's record: its row id and whether it is a template. Stays with the row whatever the
// column order the user dragged.
struct RecordKey
{
    int id = 0;
    int isTemplate = 0;
};

// Configures the grid and fills it from the current form's database: 0 when every row is in, 1
// after a reported failure (the grid may hold part of the rows). A form that is not registered
// sends the step bar back to the form page. A frozen count that cannot be read is reported but
// leaves the result 0 (the rows are all in); frozenCountRead, when given, says whether it was read.
int LoadRecordGrids(CGridCtrl& grid, FormPageHost& host, bool* frozenCountRead = nullptr);
// Tells the user (a message owned by the main window) that the current form is not registered and
// sends the step bar back to the form page.
void ReportFormNotRegistered(FormPageHost& host);
// The grid's sort comparison. data is the clicked header cell (a CCellID*) or 0. Column 0 puts
// records (dates) before templates, dates chronologically and names by code unit; every other
// column compares as the grid's text sort does, in the grid's current direction.
int CALLBACK CompareRecordCells(LPARAM cell1, LPARAM cell2, LPARAM data);
// Whether the cell's text is a month/day/year date (with an optional time), whatever the locale.
BOOL IsDateText(const CGridCellBase* cell);
// Parses "m/d/yyyy" (also "-" between the parts, two-digit years, and an optional "h:mm[:ss] [AM|PM]")
// into seconds from the start of year 1; false for anything else.
bool ParseMonthDayYear(const wchar_t* text, long long* seconds);
// FormInfo.formcolumns of the current form, as stored: 0, or 2 after a reported failure.
int ReadFormColumns(FormPageHost& host, std::string& text);
// The record of a data row; false for the header row or a row off the grid.
bool GetRowRecord(const CGridCtrl& grid, int row, RecordKey& key);
// The first data row whose cell in the first non-fixed column is selected; -1 when none or no grid.
int GetFirstSelectedRow(const CGridCtrl* grid);
// Deletes the selected rows' records: 0 deleted, 1 none selected, 2 after a reported failure (the
// rows deleted before it stay deleted; the list and the database agree).
int DeleteSelectedRows(CGridCtrl& grid, FormPageHost& host);
// Deletes one record of submissions: 0, or 2 after a reported failure.
int DeleteSubmission(FormPageHost& host, int rowId);
// FormInfo.frozen -> the grid's fixed-column count (at least 1), and back.
int GetFrozenColumns(CGridCtrl& grid, FormPageHost& host);
int SetFrozenColumns(CGridCtrl& grid, FormPageHost& host);
// The grid's column order (from firstColumn) -> FormInfo.formcolumns: the entry of the field shown
// in column c gets the index c. 0 written; 1 when a heading is not a field of the list (nothing is
// written); 2 after a reported failure.
int UpdateFormColumns(CGridCtrl& grid, int firstColumn, FormPageHost& host);
// One statement on the current form's database; the text is bound to parameter 1.
int ExecuteSql(FormPageHost& host, const char* sql);
int ExecuteSqlWithText(FormPageHost& host, const char* sql, const CString& text);
// Every cell's background back to the default colour (the search marks go), then a repaint.
void ClearGridHighlight(CGridCtrl* grid);
// The record bar's search: the marks of earlier searches go, then each data row whose cell in the column headed
// heading (the last such column) holds text, compared as stored and case-sensitive, is marked in
// every column with colour; the first is scrolled into view. text is trimmed and must not be empty.
// Returns the rows marked (0 also when no column has that heading). Does not repaint.
int MarkRowsContaining(CGridCtrl& grid, const CString& heading, const CString& text, COLORREF colour);
// The first row (from row 0) holding that record; -1 when none.
int FindRowByRecord(int isTemplate, int recordId, const CGridCtrl& grid);
