// What a form's own script does with the commands of the bridge: keeps the field values of the
// loaded form, answers "FieldList", "Save" and the text dump, takes "FieldSet|", and hands zoom,
// print and e-mail commands to the window that shows the form. A list form (the collections PDF)
// shows one record per row, its links and buttons carry the row's record id, and its hidden rows
// show only while they hold a record.
#pragma once
#include "viewer/PdfForm.h"
#include <string>
#include <vector>

namespace viewer {

// The four items a form posts back (they land in MsgRsp1..MsgRsp4).
struct FormReply
{
    std::wstring items[4];
};

enum class PrintMode { All, Text, AllBlackWhite };

// The actions of the commands that have no reply; the window showing the form implements them.
class FormActions
{
public:
    virtual ~FormActions() = default;
    virtual void Zoom(int direction) = 0;                 // +1 in, -1 out
    virtual void Print(PrintMode mode, int shiftX, int shiftY) = 0;
    virtual void CancelPrint() = 0;
    virtual void EmailForm() = 0;
    virtual void FieldsChanged() = 0;                    // values were set from outside
};

class FormScript
{
public:
    // Takes a form read from a PDF file; pdfBytes are kept for the blank copy that e-mail sends. Both
    // are taken by value: a caller done with them moves them in, and nothing of the file is copied.
    void Load(pdf::FormDocument form, std::string pdfBytes);
    bool IsLoaded() const { return m_loaded; }
    void Unload();

    const pdf::FormDocument& Form() const { return m_form; }
    const std::vector<std::wstring>& Keys() const { return m_keys; }
    const std::vector<std::wstring>& Columns() const { return m_columns; }
    const std::string& PdfBytes() const { return m_pdfBytes; }

    // Values by field index; check boxes hold the on-state name or "" (radio groups: the chosen one),
    // choice fields the chosen option's export value (or text typed into a drop-down).
    const std::wstring& Value(size_t field) const { return m_values[field]; }
    void SetValue(size_t field, const std::wstring& value);
    bool IsChecked(size_t field, size_t widget) const;

    // "CMS-1500" for the claim form, "AcroForm" for any other.
    std::wstring FormType() const;

    // Runs one command. Returns true and fills reply when the form answers it.
    bool Run(const std::wstring& command, FormReply& reply, FormActions* actions);

    // The values as the "Save" reply and the form XML give them: a box's or an option's export
    // value (a check box whose export value is "Yes" gives "YES").
    std::wstring ReportedValue(size_t field) const;
    // The text a field shows: a choice field's option text for its export value, else the value.
    std::wstring ShownValue(size_t field) const;
    // "key=value|key=value|...", each value with "%", "|" and "=" escaped as "%25", "%7C", "%3D".
    std::wstring SaveReply() const;
    std::wstring FormXml() const;
    std::wstring TextDump() const;
    // What a companion form posts (item 4) before it asks the program to save its changes: its
    // fields as "<r><key>value</key>...</r>", line ends written "[SYS__CR__]", URL-encoded.
    std::wstring ChangesForSaving() const;
    // Sets the fields from a form XML; an empty XML clears them. False when the text is not XML.
    bool SetFromXml(const std::wstring& xml);
    // Sets each calculated field to the sum of its fields' amounts (empty when none holds one);
    // true when a value changed. Setting a value recalculates by itself.
    bool Recalculate();
    bool HasCalculations() const { return !m_calculated.empty(); }
    // The field of that name, or -1.
    int FieldIndex(const std::wstring& name) const;
    // The program's own statement's line balances computed afresh from its charges and payments
    // (StatementBalances.h); true when a value changed. Called when the data arrive and when a charge
    // or payment changes; any other form is left as it is.
    bool UpdateLineBalances();
    // True when the field is a charge or payment of a line of the program's own statement.
    bool IsBalanceInput(size_t field) const;

    // Whether a widget is shown now. A widget hidden in the file stays hidden, except in a list form:
    // a field of row n ("R<n>_...") shows while the row's "R<n>_ID" holds a record id, and the note
    // "NoRecords" shows once a list without any record has arrived.
    bool IsShown(size_t field, size_t widget) const;
    // Whether a hidden field's widgets may come to be shown (it needs a control all the same).
    bool MayBeShown(size_t field) const;
    // Whether a widget is printed: shown, and flagged to print.
    bool IsPrinted(size_t field, size_t widget) const;
    // An address with each "{field}" replaced by that field's reported value.
    std::wstring ResolveAddress(const std::wstring& address) const;

    PrintMode Mode() const { return m_printMode; }
    int ShiftX() const { return m_shiftX; }
    int ShiftY() const { return m_shiftY; }

private:
    bool IsBox(size_t field) const;
    int KeyIndex(const std::wstring& key) const;
    bool ListHoldsRecord() const;
    void FillListRows(const std::wstring& xml, std::vector<std::wstring>& values) const;
    // Link addresses with "{field}" replaced by the field's value.
    void UpdateLinks();

    bool m_loaded = false;
    pdf::FormDocument m_form;
    std::string m_pdfBytes;
    std::vector<std::wstring> m_keys, m_columns, m_values;
    std::vector<std::wstring> m_linkTemplates; // the links' addresses as the PDF gives them
    std::vector<size_t> m_calculated;          // fields whose value is a sum of others
    std::vector<int> m_rowIdField;             // per field of a list row: its row's id field, else -1
    int m_noRecordsField = -1;                 // the list's note for an empty list, or -1
    bool m_listArrived = false;                // data were set since the form was loaded
    bool m_recalculating = false;
    PrintMode m_printMode = PrintMode::All;
    int m_shiftX = 0, m_shiftY = 0;
};

// Parses "h,v" (signed integers); false when it is not two numbers.
bool ParseOffsets(const std::wstring& text, int& h, int& v);

} // namespace viewer
