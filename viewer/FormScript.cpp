// The form's answers to the bridge commands, over the fields read from its PDF.
#include "viewer/FormScript.h"
#include "viewer/FieldCalculation.h"
#include "viewer/FormFieldNames.h"
#include "viewer/FormXml.h"
#include "viewer/StatementBalances.h"
#include <algorithm>
#include <cwctype>
#include <memory>
#include <utility>

namespace viewer {

namespace {
bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    return text.compare(0, std::wcslen(prefix), prefix) == 0;
}

bool IsTrueWord(const std::wstring& value)
{
    std::wstring upper;
    for (wchar_t c : value) upper += static_cast<wchar_t>(std::towupper(c));
    return upper == L"YES" || upper == L"X" || upper == L"1" || upper == L"ON" || upper == L"TRUE";
}

// The value a box widget reports when on: its export value, or its on-state name where it has none.
std::wstring ExportOf(const pdf::Widget& widget)
{
    return widget.exportValue.empty() ? pdf::DecodeTextString(widget.onState) : widget.exportValue;
}

// A value of the "Save" reply with what the reply's own syntax uses written as "%XX": "|" ends an
// entry, "=" ends a key, and "%" starts an escape.
std::wstring EscapeReplyValue(const std::wstring& value)
{
    std::wstring out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        if (c == L'%') out += L"%25";
        else if (c == L'|') out += L"%7C";
        else if (c == L'=') out += L"%3D";
        else out += c;
    }
    return out;
}
// The row of a list form's field key "R<row>_<element>" and its element name; row 0 for any other key.
size_t ListRowOf(const std::wstring& key, std::wstring* element = nullptr)
{
    const size_t underscore = key.find(L'_');
    if (key.size() < 3 || key[0] != L'R' || underscore == std::wstring::npos || underscore < 2) return 0;
    const std::wstring number = key.substr(1, underscore - 1);
    if (number.find_first_not_of(L"0123456789") != std::wstring::npos) return 0;
    if (element) *element = key.substr(underscore + 1);
    return std::wcstoul(number.c_str(), nullptr, 10);
}
} // namespace

bool ParseOffsets(const std::wstring& text, int& h, int& v)
{
    size_t comma = text.find(L',');
    if (comma == std::wstring::npos) return false;
    std::wstring first = text.substr(0, comma), second = text.substr(comma + 1);
    wchar_t* end = nullptr;
    long a = std::wcstol(first.c_str(), &end, 10);
    if (first.empty() || *end) return false;
    long b = std::wcstol(second.c_str(), &end, 10);
    if (second.empty() || *end) return false;
    h = static_cast<int>(a);
    v = static_cast<int>(b);
    return true;
}

void FormScript::Load(pdf::FormDocument form, std::string pdfBytes)
{
    m_form = std::move(form);
    m_pdfBytes = std::move(pdfBytes);
    m_keys = MakeFieldKeys(m_form.fields);
    m_columns = MakeColumnNames(m_form.fields);
    m_values.assign(m_form.fields.size(), std::wstring());
    m_calculated.clear();
    for (size_t i = 0; i < m_form.fields.size(); ++i)
        if (!m_form.fields[i].sumOf.empty()) m_calculated.push_back(i);
    for (size_t i = 0; i < m_form.fields.size(); ++i) SetValue(i, m_form.fields[i].value);
    m_linkTemplates.clear();
    for (const pdf::PageLink& link : m_form.links) m_linkTemplates.push_back(link.address);
    m_rowIdField.assign(m_form.fields.size(), -1);
    for (size_t i = 0; i < m_keys.size(); ++i)
        if (const size_t row = ListRowOf(m_keys[i])) m_rowIdField[i] = KeyIndex(L"R" + std::to_wstring(row) + L"_ID");
    m_noRecordsField = KeyIndex(L"NoRecords");
    m_listArrived = false;
    UpdateLinks();
    m_printMode = PrintMode::All;
    m_shiftX = m_shiftY = 0;
    m_loaded = true;
}

void FormScript::Unload()
{
    *this = FormScript();
}

bool FormScript::IsBox(size_t field) const
{
    pdf::FieldType t = m_form.fields[field].type;
    return t == pdf::FieldType::CheckBox || t == pdf::FieldType::Radio;
}

void FormScript::SetValue(size_t field, const std::wstring& value)
{
    if (field >= m_values.size()) return;
    const pdf::FormField& f = m_form.fields[field];
    if (f.type == pdf::FieldType::Choice) {
        // An option is chosen by its export value or by the text it shows; other text stays as typed.
        m_values[field] = value;
        bool isExport = std::find(f.exports.begin(), f.exports.end(), value) != f.exports.end();
        auto shown = std::find(f.options.begin(), f.options.end(), value);
        if (!isExport && shown != f.options.end()) m_values[field] = f.exports[shown - f.options.begin()];
        return;
    }
    if (!IsBox(field)) {
        m_values[field] = value;
        Recalculate();
        return;
    }
    // A box is turned on by its export value, its own on-state name, or a yes-word for its first
    // widget; anything else is off. The value kept is the on-state name.
    std::wstring on;
    for (const pdf::Widget& w : f.widgets)
        if (on.empty() && !value.empty() && ExportOf(w) == value) on = pdf::DecodeTextString(w.onState);
    for (const pdf::Widget& w : f.widgets) {
        std::wstring state = pdf::DecodeTextString(w.onState);
        if (on.empty() && state == value) on = state;
    }
    if (on.empty() && IsTrueWord(value) && !f.widgets.empty()) on = pdf::DecodeTextString(f.widgets[0].onState);
    m_values[field] = on;
}

bool FormScript::IsChecked(size_t field, size_t widget) const
{
    if (field >= m_values.size() || m_values[field].empty()) return false;
    const pdf::FormField& f = m_form.fields[field];
    if (widget >= f.widgets.size()) return false;
    return pdf::DecodeTextString(f.widgets[widget].onState) == m_values[field];
}

int FormScript::KeyIndex(const std::wstring& key) const
{
    auto found = std::find(m_keys.begin(), m_keys.end(), key);
    return found == m_keys.end() ? -1 : static_cast<int>(found - m_keys.begin());
}

int FormScript::FieldIndex(const std::wstring& name) const
{
    for (size_t i = 0; i < m_form.fields.size(); ++i)
        if (m_form.fields[i].name == name) return static_cast<int>(i);
    return -1;
}

bool FormScript::Recalculate()
{
    if (m_calculated.empty() || m_recalculating) return false;
    m_recalculating = true;
    bool changed = false;
    for (size_t field : m_calculated) {
        long long sum = 0, cents = 0;
        bool any = false;
        for (const std::wstring& name : m_form.fields[field].sumOf) {
            int source = FieldIndex(name);
            if (source >= 0 && ParseCents(m_values[source], cents)) {
                sum += cents;
                any = true;
            }
        }
        std::wstring value = any ? FormatCents(sum) : std::wstring();
        if (value != m_values[field]) {
            m_values[field] = value;
            changed = true;
        }
    }
    m_recalculating = false;
    return changed;
}

std::wstring FormScript::FormType() const
{
    return m_form.subject == L"CMS-1500" ? L"CMS-1500" : L"AcroForm";
}

std::wstring FormScript::ReportedValue(size_t field) const
{
    const pdf::FormField& f = m_form.fields[field];
    if (!IsBox(field) || m_values[field].empty()) return m_values[field];
    // The export value of the widget that is on. A check box whose value is the plain "Yes" reports
    // "YES", as the stored records and the clearinghouse export have it.
    for (size_t w = 0; w < f.widgets.size(); ++w) {
        if (!IsChecked(field, w)) continue;
        const std::wstring exported = ExportOf(f.widgets[w]);
        bool plainYes = exported.size() == 3 && std::towupper(exported[0]) == L'Y' && std::towupper(exported[1]) == L'E' &&
                        std::towupper(exported[2]) == L'S';
        return f.type == pdf::FieldType::CheckBox && plainYes ? L"YES" : exported;
    }
    return L"";
}

std::wstring FormScript::ShownValue(size_t field) const
{
    const pdf::FormField& f = m_form.fields[field];
    auto exported = std::find(f.exports.begin(), f.exports.end(), m_values[field]);
    if (exported != f.exports.end() && static_cast<size_t>(exported - f.exports.begin()) < f.options.size())
        return f.options[exported - f.exports.begin()];
    return m_values[field];
}

std::wstring FormScript::SaveReply() const
{
    std::wstring reply;
    for (size_t i = 0; i < m_keys.size(); ++i) {
        if (i) reply += L'|';
        reply += m_keys[i] + L"=" + EscapeReplyValue(ReportedValue(i));
    }
    return reply;
}

std::wstring FormScript::FormXml() const
{
    std::vector<std::wstring> values;
    for (size_t i = 0; i < m_keys.size(); ++i) values.push_back(ReportedValue(i));
    return BuildFormXml(m_keys, values);
}

std::wstring FormScript::TextDump() const
{
    std::wstring dump = (m_form.title.empty() ? std::wstring(L"Form") : m_form.title) + L"\r\n\r\n";
    for (size_t i = 0; i < m_keys.size(); ++i) {
        std::wstring value = ReportedValue(i);
        if (value.empty()) continue;
        dump += m_form.fields[i].name + L": " + value + L"\r\n";
    }
    return dump;
}

std::wstring FormScript::ChangesForSaving() const
{
    // What the user filled in: buttons have no value, and hidden fields only carry what the program
    // sent to be shown (the letterhead, its logo among them).
    std::wstring xml = L"<r>";
    for (size_t i = 0; i < m_keys.size(); ++i) {
        const pdf::FormField& field = m_form.fields[i];
        bool hidden = !field.widgets.empty() &&
                      std::all_of(field.widgets.begin(), field.widgets.end(), [](const pdf::Widget& w) { return w.hidden; });
        if (field.type == pdf::FieldType::PushButton || hidden) continue;
        xml += L"<" + m_keys[i] + L">" + EscapeXmlText(ReportedValue(i)) + L"</" + m_keys[i] + L">";
    }
    xml += L"</r>";
    std::wstring lines;
    for (size_t i = 0; i < xml.size(); ++i) {
        if (xml[i] == L'\r' && i + 1 < xml.size() && xml[i + 1] == L'\n') continue;
        if (xml[i] == L'\n' || xml[i] == L'\r') lines += L"[SYS__CR__]";
        else lines += xml[i];
    }
    // URL encoding: letters, digits and "-_.~" stay, a blank becomes "+", other characters below 256
    // become "%XX"; the rest were written as character references already.
    std::wstring encoded;
    const wchar_t* hex = L"0123456789ABCDEF";
    for (wchar_t c : lines) {
        if ((c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_' ||
            c == L'.' || c == L'~' || c > 255) {
            encoded += c;
        } else if (c == L' ') {
            encoded += L'+';
        } else {
            encoded += L'%';
            encoded += hex[(c >> 4) & 15];
            encoded += hex[c & 15];
        }
    }
    return encoded;
}

bool FormScript::SetFromXml(const std::wstring& xml)
{
    std::vector<std::wstring> values;
    if (!ReadFormXml(xml, m_keys, values)) return false;
    FillListRows(xml, values);
    for (size_t i = 0; i < values.size(); ++i) SetValue(i, values[i]);
    m_listArrived = true;
    UpdateLineBalances();
    UpdateLinks();
    return true;
}

bool FormScript::UpdateLineBalances()
{
    // A user's own form keeps the values its fields were given.
    if (!IsProgramStatement(m_form.subject)) return false;
    bool changed = false;
    for (const auto& balance : LineBalances(m_keys, m_values)) {
        if (m_values[balance.first] == balance.second) continue;
        m_values[balance.first] = balance.second;
        changed = true;
    }
    if (changed) Recalculate(); // sums of the balances
    return changed;
}

bool FormScript::IsBalanceInput(size_t field) const
{
    return field < m_keys.size() && IsProgramStatement(m_form.subject) && viewer::IsBalanceInput(m_keys[field]);
}

void FormScript::FillListRows(const std::wstring& xml, std::vector<std::wstring>& values) const
{
    // A list form names its row fields "R<row>_<element>": row k shows the k-th record (a
    // Collections element with content) of the data, the rows after the last record stay empty.
    std::unique_ptr<XmlElement> root = ParseXml(xml);
    std::vector<const XmlElement*> records;
    std::vector<const XmlElement*> pending;
    if (root) pending.push_back(root.get());
    while (!pending.empty()) {
        const XmlElement* element = pending.back();
        pending.pop_back();
        if (element->LocalName() == L"Collections") {
            if (!element->children.empty()) records.push_back(element);
            continue;
        }
        for (auto it = element->children.rbegin(); it != element->children.rend(); ++it) pending.push_back(it->get());
    }
    for (size_t i = 0; i < m_keys.size(); ++i) {
        std::wstring element;
        const size_t row = ListRowOf(m_keys[i], &element);
        if (!row) continue;
        const XmlElement* field = row <= records.size() ? records[row - 1]->Child(element) : nullptr;
        values[i] = field ? field->text : std::wstring();
    }
    // The note for an empty list keeps the document's own text.
    if (m_noRecordsField >= 0) values[m_noRecordsField] = m_form.fields[m_noRecordsField].value;
}

bool FormScript::ListHoldsRecord() const
{
    for (size_t i = 0; i < m_rowIdField.size(); ++i)
        if (m_rowIdField[i] == static_cast<int>(i) && !m_values[i].empty()) return true;
    return false;
}

bool FormScript::MayBeShown(size_t field) const
{
    return field < m_rowIdField.size() && (m_rowIdField[field] >= 0 || static_cast<int>(field) == m_noRecordsField);
}

bool FormScript::IsShown(size_t field, size_t widget) const
{
    if (field >= m_form.fields.size() || widget >= m_form.fields[field].widgets.size()) return false;
    if (!m_form.fields[field].widgets[widget].hidden) return true;
    if (m_rowIdField[field] >= 0) return !m_values[m_rowIdField[field]].empty();
    return static_cast<int>(field) == m_noRecordsField && m_listArrived && !ListHoldsRecord();
}

bool FormScript::IsPrinted(size_t field, size_t widget) const
{
    return IsShown(field, widget) && m_form.fields[field].widgets[widget].printFlag;
}

std::wstring FormScript::ResolveAddress(const std::wstring& templateAddress) const
{
    std::wstring address = templateAddress;
    for (size_t open = address.find(L'{'); open != std::wstring::npos; open = address.find(L'{', open)) {
        const size_t close = address.find(L'}', open);
        if (close == std::wstring::npos) break;
        const int field = KeyIndex(address.substr(open + 1, close - open - 1));
        const std::wstring value = field >= 0 ? ReportedValue(field) : std::wstring();
        address.replace(open, close - open + 1, value);
        open += value.size();
    }
    return address;
}

void FormScript::UpdateLinks()
{
    // Link addresses may name a field in braces ("app:viewStatement?{R1_ID}"): its current value.
    for (size_t l = 0; l < m_form.links.size() && l < m_linkTemplates.size(); ++l)
        m_form.links[l].address = ResolveAddress(m_linkTemplates[l]);
}

bool FormScript::Run(const std::wstring& command, FormReply& reply, FormActions* actions)
{
    if (!m_loaded) return false;
    int h = 0, v = 0;
    if (command == L"FieldList") {
        reply.items[0] = BuildFieldList(m_keys, m_columns);
        reply.items[1] = FormType();
        return true;
    }
    if (command == L"WillSave") return false; // values are always current: nothing to flush
    if (command == L"Save") {
        reply.items[0] = SaveReply();
        reply.items[2] = FormXml();
        return true;
    }
    if (StartsWith(command, L"GetTxtDump")) {
        reply.items[0] = TextDump();
        return true;
    }
    if (StartsWith(command, L"FieldSet|")) {
        if (SetFromXml(command.substr(9)) && actions) actions->FieldsChanged();
        return false;
    }
    if (!actions) return false;
    if (command == L"ZoomIn") actions->Zoom(+1);
    else if (command == L"ZoomOut") actions->Zoom(-1);
    else if (StartsWith(command, L"StartPrint=") && ParseOffsets(command.substr(11), h, v)) { m_shiftX = h; m_shiftY = v; }
    else if (StartsWith(command, L"Shift=") && ParseOffsets(command.substr(6), h, v)) { m_shiftX = h; m_shiftY = v; }
    else if (command == L"PrintAllMode") m_printMode = PrintMode::All;
    else if (command == L"PrintTextMode") m_printMode = PrintMode::Text;
    else if (command == L"PrintAllWBMode") m_printMode = PrintMode::AllBlackWhite;
    else if (command == L"PrintAll") actions->Print(m_printMode == PrintMode::Text ? PrintMode::All : m_printMode, m_shiftX, m_shiftY);
    // "Print" sends "PrintText" for both the text-only and the black-and-white choice; the mode set
    // before tells them apart.
    else if (command == L"PrintText")
        actions->Print(m_printMode == PrintMode::AllBlackWhite ? PrintMode::AllBlackWhite : PrintMode::Text, m_shiftX, m_shiftY);
    else if (command == L"CancelPrint") actions->CancelPrint();
    else if (command == L"EmailForm") actions->EmailForm();
    return false;
}

} // namespace viewer
