// What a statement's saved XML says: its record and its balance.
#include "export/SavedStatement.h"

#include "export/CollectionValues.h"
#include "export/CollectionsRecord.h"
#include "export/XmlDocument.h"

#include <climits>

namespace {
// A whole number and nothing else (white space around it allowed).
bool ParseRowId(const std::wstring& raw, int& id)
{
    const std::wstring text = TrimBlanks(raw);
    if (text.empty() || text.size() > 10) return false;
    long long value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    if (value > INT_MAX) return false;
    id = static_cast<int>(value);
    return true;
}
} // namespace

SavedStatement ParseSavedStatement(const std::wstring& xml)
{
    SavedStatement saved;
    VesqaXml::CXmlDocument document;
    if (!document.LoadXml(xml)) return saved;
    VesqaXml::CXmlNodePtr root = document.GetRoot();
    if (!root) return saved;
    VesqaXml::CXmlNodePtr id = root->GetChild(L"ID");
    if (!id || !ParseRowId(id->GetText(), saved.rowId)) return saved;
    for (int k = 1; k <= 6; ++k) {
        const std::wstring name = L"TotalDue_" + std::to_wstring(k);
        if (VesqaXml::CXmlNodePtr due = root->GetChild(name)) saved.balanceCents += CentsOrZero(due->GetText(), name.c_str());
    }
    saved.ok = true;
    return saved;
}
