// The "Sort By" order against a literal bubble sort of the same records: dates and names, ties,
// records the filters left out and records without a key (passed over), unparsable dates (they stay
// and nothing passes them), non-ASCII names, and data that is not XML.
#include <gtest/gtest.h>

#include "export/CollectionsRecord.h"
#include "export/CollectionsSort.h"

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

struct Sample
{
    int id;                // 0: a record the filters left out (an empty Collections element)
    const wchar_t* date; // null: no DateCreated element
    const wchar_t* name; // null: no FirstPatientName element
};

std::wstring Data(const std::vector<Sample>& samples)
{
    std::wstring records;
    for (const Sample& s : samples) {
        if (s.id == 0) {
            records += WrapCollections(L"");
            continue;
        }
        std::wstring body = L"<ID>" + std::to_wstring(s.id) + L"</ID>";
        if (s.date) body += L"<DateCreated>" + std::wstring(s.date) + L"</DateCreated>";
        if (s.name) body += L"<FirstPatientName>" + std::wstring(s.name) + L"</FirstPatientName>";
        records += WrapCollections(body);
    }
    return WrapXfaData(records);
}

std::vector<int> IdsOf(const std::wstring& xml)
{
    std::vector<int> ids;
    for (size_t at = xml.find(L"<ID>"); at != std::wstring::npos; at = xml.find(L"<ID>", at + 1))
        ids.push_back(std::wcstol(xml.c_str() + at + 4, nullptr, 10));
    return ids;
}

// The records in document order, 0 for each empty Collections element.
std::vector<int> PlacesOf(const std::wstring& xml)
{
    std::vector<int> places;
    for (size_t at = xml.find(L"<Collections"); at != std::wstring::npos; at = xml.find(L"<Collections", at + 1)) {
        const size_t id = xml.find(L"<ID>", at), next = xml.find(L"<Collections", at + 1);
        places.push_back(id != std::wstring::npos && id < next ? std::wcstol(xml.c_str() + id + 4, nullptr, 10) : 0);
    }
    return places;
}

// The reference: a plain m/d/yyyy reader and the bubble sort exactly as the passes are described,
// each keyed record compared with the nearest keyed record before it.
bool ReferenceDate(const wchar_t* text, long& value)
{
    if (!text) return false;
    int m = 0, d = 0, y = 0;
    wchar_t extra = 0;
    if (swscanf(text, L"%d/%d/%d%lc", &m, &d, &y, &extra) != 3 || m < 1 || m > 12 || d < 1 || d > 28 || y < 1000 || y > 9999)
        return false;
    value = (y * 12L + m) * 31 + d;
    return true;
}

std::vector<int> BubbleSorted(const std::vector<Sample>& samples, int sortBy)
{
    struct Item { int id; bool hasKey; bool hasDate; long date; const wchar_t* name; };
    std::vector<Item> s;
    for (const Sample& x : samples) {
        Item item{x.id, x.id != 0 && (sortBy <= 1 ? x.date != nullptr : x.name != nullptr), false, 0, x.name};
        item.hasDate = ReferenceDate(x.date, item.date);
        s.push_back(item);
    }
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 1; i < s.size(); ++i) {
            if (!s[i].hasKey) continue;
            size_t j = i;
            while (j > 0 && !s[j - 1].hasKey) --j;
            if (j == 0) continue;
            Item& before = s[j - 1];
            bool swap = false;
            if (sortBy <= 1) {
                if (s[i].hasDate && before.hasDate)
                    swap = sortBy == 0 ? s[i].date < before.date : s[i].date > before.date;
            } else {
                const int c = std::wcscmp(s[i].name, before.name);
                swap = sortBy == 2 ? c < 0 : c > 0;
            }
            if (swap) {
                std::swap(s[i], before);
                swapped = true;
            }
        }
    }
    std::vector<int> places;
    for (const Item& x : s) places.push_back(x.id);
    return places;
}

} // namespace

TEST(SortCollections, KnownOrders)
{
    const std::vector<Sample> samples = {
        {1, L"3/5/2024", L"Brown"}, {2, L"1/2/2024", L"adams"}, {3, L"12/1/2023", L"Adams"},
        {4, L"1/2/2024", L"Brown"}, {5, L"2/1/2024", L"Clark"},
    };
    EXPECT_EQ((std::vector<int>{3, 2, 4, 5, 1}), IdsOf(SortCollections(Data(samples), kSortOldest)));
    EXPECT_EQ((std::vector<int>{1, 5, 2, 4, 3}), IdsOf(SortCollections(Data(samples), kSortNewest)));
    EXPECT_EQ((std::vector<int>{3, 1, 4, 5, 2}), IdsOf(SortCollections(Data(samples), kSortPatientAtoZ)));
    EXPECT_EQ((std::vector<int>{2, 5, 1, 4, 3}), IdsOf(SortCollections(Data(samples), kSortPatientZtoA)));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), IdsOf(SortCollections(Data(samples), -1)));
}

TEST(SortCollections, RecordsLeftOutByTheFiltersArePassedOver)
{
    // "30 Days" with "OLDEST": records younger than 30 days come as empty elements before, between
    // and after the ones kept, and stay where they are.
    const std::vector<Sample> samples = {
        {0, nullptr, nullptr}, {1, L"11/1/2025", L"Carter"}, {0, nullptr, nullptr}, {2, L"8/1/2025", L"Adams"},
        {0, nullptr, nullptr}, {0, nullptr, nullptr}, {3, L"10/1/2025", L"Baker"}, {4, L"9/15/2025", L"Dunn"},
        {0, nullptr, nullptr},
    };
    const std::wstring data = Data(samples);
    EXPECT_EQ((std::vector<int>{0, 2, 0, 4, 0, 0, 3, 1, 0}), PlacesOf(SortCollections(data, kSortOldest)));
    EXPECT_EQ((std::vector<int>{0, 1, 0, 3, 0, 0, 4, 2, 0}), PlacesOf(SortCollections(data, kSortNewest)));
    EXPECT_EQ((std::vector<int>{0, 2, 0, 3, 0, 0, 1, 4, 0}), PlacesOf(SortCollections(data, kSortPatientAtoZ)));
    EXPECT_EQ((std::vector<int>{0, 4, 0, 1, 0, 0, 3, 2, 0}), PlacesOf(SortCollections(data, kSortPatientZtoA)));
    EXPECT_EQ((std::vector<int>{0, 1, 0, 2, 0, 0, 3, 4, 0}), PlacesOf(SortCollections(data, -1)));

    // The three records of the report: 11/1, one left out, 8/1, 10/1.
    const std::wstring report = Data({{1, L"11/1/2025", L"C"}, {0, nullptr, nullptr}, {2, L"8/1/2025", L"A"}, {3, L"10/1/2025", L"B"}});
    EXPECT_EQ((std::vector<int>{2, 0, 3, 1}), PlacesOf(SortCollections(report, kSortOldest)));
    EXPECT_EQ((std::vector<int>{1, 0, 3, 2}), PlacesOf(SortCollections(report, kSortNewest)));
}

TEST(SortCollections, UnparsableDatesStayAndNothingPassesThemWhileMissingKeysArePassedOver)
{
    const std::vector<Sample> samples = {
        {1, L"3/5/2024", L"Z"}, {2, nullptr, L"Y"}, {3, L"1/1/2024", nullptr}, {4, L"soon", L"X"}, {5, L"1/1/2020", L"W"},
    };
    // By date: 2 has none and is passed over, 4 does not parse and parts 1 and 3 from 5.
    EXPECT_EQ((std::vector<int>{3, 2, 1, 4, 5}), IdsOf(SortCollections(Data(samples), kSortOldest)));
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), IdsOf(SortCollections(Data(samples), kSortNewest)));
    // By name: 3 has none and is passed over.
    EXPECT_EQ((std::vector<int>{5, 4, 3, 2, 1}), IdsOf(SortCollections(Data(samples), kSortPatientAtoZ)));
    // An unparsable date between records left out: the groups on either side sort on their own.
    const std::wstring data = Data({{1, L"3/5/2024", L"A"}, {0, nullptr, nullptr}, {2, L"soon", L"B"}, {3, L"1/1/2020", L"C"},
                                    {0, nullptr, nullptr}, {4, L"1/1/2019", L"D"}, {5, L"", L"E"}, {6, L"1/1/2018", L"F"}});
    EXPECT_EQ((std::vector<int>{1, 0, 2, 4, 0, 3, 5, 6}), PlacesOf(SortCollections(data, kSortOldest)));
    EXPECT_EQ((std::vector<int>{1, 0, 2, 3, 0, 4, 5, 6}), PlacesOf(SortCollections(data, kSortNewest)));
}

TEST(SortCollections, SameOrderAsBubbleSortOnRandomData)
{
    std::mt19937 random(1234);
    const wchar_t* dates[] = {L"1/5/2024", L"1/5/2024", L"2/1/2023", L"11/20/2023", L"7/4/2022", L"x", nullptr, L"3/3/2024"};
    const wchar_t* names[] = {L"Adams", L"adams", L"Baker", L"Baker", L"", L"Zed", nullptr, L"B\xE9la", L"\x65E5\x672C"};
    for (int round = 0; round < 40; ++round) {
        std::vector<Sample> samples;
        const int count = 1 + static_cast<int>(random() % 60);
        // Id 0 now and then: a record left out by the filters.
        for (int i = 0; i < count; ++i) samples.push_back({random() % 5 ? i + 1 : 0, dates[random() % 8], names[random() % 9]});
        const std::wstring data = Data(samples);
        for (int sortBy = 0; sortBy < 4; ++sortBy)
            ASSERT_EQ(BubbleSorted(samples, sortBy), PlacesOf(SortCollections(data, sortBy))) << "round " << round << " sort " << sortBy;
    }
}

TEST(SortCollections, ManyRecordsInReverseOrder)
{
    std::vector<Sample> samples;
    std::vector<std::wstring> dates;
    const int count = 3000;
    dates.reserve(count);
    for (int i = 0; i < count; ++i)
        dates.push_back(std::to_wstring(1 + (count - i) % 12) + L"/" + std::to_wstring(1 + (count - i) / 12 % 28) + L"/" +
                        std::to_wstring(2000 + (count - i) / 336));
    for (int i = 0; i < count; ++i) samples.push_back({i + 1, dates[i].c_str(), L"N"});
    EXPECT_EQ(BubbleSorted(samples, kSortOldest), PlacesOf(SortCollections(Data(samples), kSortOldest)));
}

TEST(SortCollections, KeepsTheWholeDocumentAndItsCharacters)
{
    // Names reach the sort escaped, as the records are built.
    const std::wstring escaped = L"M\xFCller \x65E5\x672C &amp; &lt;Co&gt;";
    const std::wstring input = Data({{2, L"1/2/2024", escaped.c_str()}, {1, L"1/1/2024", L"A"}});
    const std::wstring sorted = SortCollections(input, kSortOldest);
    EXPECT_EQ((std::vector<int>{1, 2}), IdsOf(sorted));
    EXPECT_NE(std::wstring::npos, sorted.find(escaped)) << std::string(sorted.begin(), sorted.end());
    EXPECT_NE(std::wstring::npos, sorted.find(L"<xfa:data xmlns:xfa=\"http://www.xfa.org/schema/xfa-data/1.0/\">"));
    EXPECT_LT(sorted.find(L"<form1>"), sorted.find(L"<DataForm>"));
    EXPECT_LT(sorted.find(L"<DataForm>"), sorted.find(L"<Collections>"));
}

TEST(SortCollections, DataThatIsNotXmlGivesNothing)
{
    EXPECT_EQ(L"", SortCollections(L"", kSortNewest));
    EXPECT_EQ(L"", SortCollections(L"no markup at all", kSortOldest));
}
