// Sorting the collection data in the XML toolkit's tree: keys read once, the keyed records between two
// unparsable dates stably sorted among their own places, then the permutation applied with content
// swaps.
#include "export/CollectionsSort.h"

#include "export/CollectionValues.h"
#include "xml/XkXml.h"

#include <windows.h>
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace {
std::string ToUtf8(const std::wstring& text)
{
    if (text.empty()) return std::string();
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size : 0, '\0');
    if (size > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const char* text)
{
    if (!text || !*text) return std::wstring();
    const int length = static_cast<int>(std::strlen(text));
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text, length, nullptr, 0);
    std::wstring out(size > 0 ? size : 0, L'\0');
    if (size > 0) ::MultiByteToWideChar(CP_UTF8, 0, text, length, &out[0], size);
    return out;
}

struct SortKey
{
    bool present = false; // the record has the key element
    bool usable = false;  // ... and, for a date, it parses
    long date = 0;
    std::string name; // UTF-8 bytes: their order is the characters' order
};

SortKey ReadKey(XkXml& record, int sortBy)
{
    SortKey key;
    const bool byDate = sortBy == kSortOldest || sortBy == kSortNewest;
    const char* text = record.getChildContent(byDate ? "DateCreated" : "FirstPatientName");
    if (!text) return key;
    key.present = true;
    if (byDate) key.usable = ParseMonthDayYear(FromUtf8(text), key.date);
    else {
        key.name = text;
        key.usable = true;
    }
    return key;
}

// True when a must come before b (b then a would be swapped).
bool SortsBefore(const SortKey& a, const SortKey& b, int sortBy)
{
    switch (sortBy) {
    case kSortOldest: return a.date < b.date;
    case kSortNewest: return a.date > b.date;
    case kSortPatientAtoZ: return a.name < b.name;
    default: return a.name > b.name;
    }
}
} // namespace

std::wstring SortCollections(const std::wstring& data, int sortBy)
{
    const std::string utf8 = ToUtf8(data);
    XkXml document;
    document.SetUtf8(true);
    if (!document.LoadXml(utf8.c_str())) return std::wstring();

    std::unique_ptr<XkXml> root(document.GetRoot());
    std::unique_ptr<XkXml> form(root ? root->GetChildWithTag("form1") : nullptr);
    std::unique_ptr<XkXml> dataForm(form ? form->GetChildWithTag("DataForm") : nullptr);
    if (dataForm && sortBy >= kSortOldest && sortBy <= kSortPatientZtoA) {
        const int count = dataForm->NumChildren();
        std::vector<std::unique_ptr<XkXml>> records(count);
        std::vector<SortKey> keys(count);
        for (int i = 0; i < count; ++i) {
            records[i].reset(dataForm->GetChild(i));
            if (records[i]) keys[i] = ReadKey(*records[i], sortBy);
        }
        // order[i]: the record that ends at position i. Records without the key keep their places and
        // are passed over; an unparsable date stays too and splits the keyed records into groups, each
        // sorted among its own places.
        std::vector<int> order(count);
        for (int i = 0; i < count; ++i) order[i] = i;
        std::vector<int> group;
        for (int i = 0; i <= count; ++i) {
            if (i < count && !keys[i].present) continue;
            if (i < count && keys[i].usable) {
                group.push_back(i);
                continue;
            }
            std::vector<int> sorted(group);
            std::stable_sort(sorted.begin(), sorted.end(),
                             [&](int a, int b) { return SortsBefore(keys[a], keys[b], sortBy); });
            for (size_t k = 0; k < group.size(); ++k) order[group[k]] = sorted[k];
            group.clear();
        }
        // Apply the permutation: at[p] is the record now at position p, where[r] the position of record r.
        std::vector<int> at(order.size()), where(order.size());
        for (int i = 0; i < count; ++i) at[i] = where[i] = i;
        for (int i = 0; i < count; ++i) {
            const int wanted = order[i];
            const int from = where[wanted];
            if (from == i || !records[i] || !records[from]) continue;
            records[i]->SwapNode(records[from].get());
            const int displaced = at[i];
            at[from] = displaced;
            where[displaced] = from;
            at[i] = wanted;
            where[wanted] = i;
        }
    }
    return FromUtf8(document.getXml());
}
