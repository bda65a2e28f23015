// Dates of the collection data read as month/day/year while the thread's locale writes day/month/year:
// the record's age, the days since a statement was dated, and the oldest-first order.
#include <gtest/gtest.h>

#include "export/CollectionValues.h"
#include "export/CollectionsRecord.h"
#include "export/CollectionsSort.h"

#include <windows.h>
#include <string>

namespace {

// Runs the test under the United Kingdom locale (short dates "dd/MM/yyyy") and puts the old one back.
class DayMonthYearLocale : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_saved = ::GetThreadLocale();
        ASSERT_TRUE(::SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK), SORT_DEFAULT)));
        wchar_t order[8] = {};
        ASSERT_GT(::GetLocaleInfoW(::GetThreadLocale(), LOCALE_IDATE, order, 8), 0);
        ASSERT_STREQ(L"1", order) << "the thread's locale must order dates day/month/year";
    }
    void TearDown() override { ::SetThreadLocale(m_saved); }

    LCID m_saved = 0;
};

} // namespace

TEST_F(DayMonthYearLocale, DatesAreStillMonthDayYear)
{
    long day = 0;
    ASSERT_TRUE(ParseMonthDayYear(L"2/3/2024", day));
    EXPECT_EQ(19756, day); // 3 February 2024, days since 1 Jan 1970 (Python's datetime)
    ASSERT_TRUE(ParseMonthDayYear(L"1/15/2024", day));
    EXPECT_EQ(19737, day);
    EXPECT_FALSE(ParseMonthDayYear(L"15/1/2024", day));
}

TEST_F(DayMonthYearLocale, AgeAndDaysSinceTheStatement)
{
    const long today = 19786; // 4 March 2024
    CollectionRow row;
    row.submdate = L"2/3/2024"; // 30 days before
    EXPECT_TRUE(PastDueFilter(row, kPastDue30, today));
    EXPECT_FALSE(PastDueFilter(row, kPastDueUnder30, today));

    row.memorizedDate = L"02/03/2024";
    CollectionsContext context;
    context.year = 2024;
    context.month = 3;
    context.day = 4;
    context.filters.pastDue = kPastDueAll;
    CollectionTotals totals;
    EXPECT_NE(std::wstring::npos, BuildRecordCollectionsXml(row, context, totals).find(L"<NumberOfDays>30 Days</NumberOfDays>"));
}

TEST_F(DayMonthYearLocale, OldestFirst)
{
    const std::wstring data = WrapXfaData(L"<Collections><ID>1</ID><DateCreated>2/1/2024</DateCreated></Collections>"
                                          L"<Collections><ID>2</ID><DateCreated>1/15/2024</DateCreated></Collections>"
                                          L"<Collections><ID>3</ID><DateCreated>1/2/2024</DateCreated></Collections>");
    const std::wstring sorted = SortCollections(data, kSortOldest);
    const size_t first = sorted.find(L"<ID>3</ID>"), second = sorted.find(L"<ID>2</ID>"), third = sorted.find(L"<ID>1</ID>");
    ASSERT_NE(std::wstring::npos, first);
    ASSERT_NE(std::wstring::npos, third);
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
}
