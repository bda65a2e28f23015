// The "Sort By" order against a literal bubble sort of the same records: dates and names, ties,
// missing and unparsable keys, non-ASCII names, and data that is not XML.
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
    int id;
    const wchar_t* date; // null: no DateCreated element
    const wchar_t* name; // null: no FirstPatientName element
};

std::wstring Data(const std::vector<Sample>& samples)
{
    std::wstring records;
    for (const Sample& s : samples) {
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

// The reference: a plain m/d/yyyy reader and the bubble sort exactly as the passes are described.
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
    struct Item { int id; bool hasDate; long date; const wchar_t* name; };
    std::vector<Item> s;
    for (const Sample& x : samples) {
        Item item{x.id, false, 0, x.name};
        item.hasDate = ReferenceDate(x.date, item.date);
        s.push_back(item);
    }
    bool swapped = true;
    while (swapped) {
        swapped = false;
        for (size_t i = 1; i < s.size(); ++i) {
            bool swap = false;
            if (sortBy <= 1) {
                if (s[i].hasDate && s[i - 1].hasDate)
                    swap = sortBy == 0 ? s[i].date < s[i - 1].date : s[i].date > s[i - 1].date;
            } else if (s[i].name && s[i - 1].name) {
                const int c = std::wcscmp(s[i].name, s[i - 1].name);
                swap = sortBy == 2 ? c < 0 : c > 0;
            }
            if (swap) {
                std::swap(s[i], s[i - 1]);
                swapped = true;
            }
        }
    }
    std::vector<int> ids;
    for (const Item& x : s) ids.push_back(x.id);
    return ids;
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

TEST(SortCollections, RecordsWithoutUsableKeysStayAndNothingPassesThem)
{
    const std::vector<Sample> samples = {
        {1, L"3/5/2024", L"Z"}, {2, nullptr, L"Y"}, {3, L"1/1/2024", nullptr}, {4, L"soon", L"X"}, {5, L"1/1/2020", L"W"},
    };
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5}), IdsOf(SortCollections(Data(samples), kSortOldest)));
    EXPECT_EQ((std::vector<int>{2, 1, 3, 5, 4}), IdsOf(SortCollections(Data(samples), kSortPatientAtoZ)));
    // An empty Collections element (a record the filters dropped) has no key either.
    const std::wstring data = WrapXfaData(L"<Collections><ID>1</ID><FirstPatientName>B</FirstPatientName></Collections>"
                                          L"<Collections></Collections>"
                                          L"<Collections><ID>3</ID><FirstPatientName>A</FirstPatientName></Collections>");
    EXPECT_EQ((std::vector<int>{1, 3}), IdsOf(SortCollections(data, kSortPatientAtoZ)));
}

TEST(SortCollections, SameOrderAsBubbleSortOnRandomData)
{
    std::mt19937 random(1234);
    const wchar_t* dates[] = {L"1/5/2024", L"1/5/2024", L"2/1/2023", L"11/20/2023", L"7/4/2022", L"x", nullptr, L"3/3/2024"};
    const wchar_t* names[] = {L"Adams", L"adams", L"Baker", L"Baker", L"", L"Zed", nullptr, L"B\xE9la", L"\x65E5\x672C"};
    for (int round = 0; round < 40; ++round) {
        std::vector<Sample> samples;
        const int count = 1 + static_cast<int>(random() % 60);
        for (int i = 0; i < count; ++i) samples.push_back({i, dates[random() % 8], names[random() % 9]});
        const std::wstring data = Data(samples);
        for (int sortBy = 0; sortBy < 4; ++sortBy)
            ASSERT_EQ(BubbleSorted(samples, sortBy), IdsOf(SortCollections(data, sortBy))) << "round " << round << " sort " << sortBy;
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
    for (int i = 0; i < count; ++i) samples.push_back({i, dates[i].c_str(), L"N"});
    EXPECT_EQ(BubbleSorted(samples, kSortOldest), IdsOf(SortCollections(Data(samples), kSortOldest)));
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
