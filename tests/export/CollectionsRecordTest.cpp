// The collection data of one record: the field map, the filters, the golden XML of known records
// (escaped, non-ASCII kept) and the running totals in cents.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "export/CollectionValues.h"
#include "export/CollectionsFieldMap.h"
#include "export/CollectionsRecord.h"
#include "export/RecordElements.h"

namespace {

std::wstring Field(const std::wstring& name, int index, const std::wstring& value)
{
    const std::wstring tag = name + L"jjjj" + std::to_wstring(index);
    return L"<" + tag + L">" + value + L"</" + tag + L">";
}

// A record's form XML as the form writes it: the keyed fields and the numbered ones.
std::wstring RecordXml(const std::wstring& numbered)
{
    return L"<fields><topmostSubform><a>1</a></topmostSubform><numberedFields>" + numbered +
           L"</numberedFields></fields>";
}

std::string CentsCase(const wchar_t* text)
{
    std::string out;
    for (const wchar_t* p = text; *p; ++p) out += *p < 0x20 ? '?' : static_cast<char>(*p);
    return out;
}

CollectionsContext Today(int year, int month, int day)
{
    CollectionsContext context;
    context.year = year;
    context.month = month;
    context.day = day;
    context.filters.pastDue = kPastDueAll;
    context.letterhead.text = L"Clinic";
    context.letterhead.fontName = L"Arial";
    context.letterhead.fontSize = L"16";
    return context;
}

} // namespace

TEST(CollectionsFieldMap, HoldsTheEightySevenPairsInSourceOrder)
{
    const auto& map = CollectionsFieldMap();
    ASSERT_EQ(87u, map.size());
    // "$CX$" sources first, then "$DB$", then the form fields; each group in code-unit order.
    auto it = map.begin();
    EXPECT_EQ(L"$CX$CoPay_1", it->first);
    EXPECT_EQ(L"CoPay_1", it->second);
    EXPECT_EQ(L"$CX$Notes", std::next(it, 6)->first);
    EXPECT_EQ(L"$DB$ChangeAddress", std::next(it, 31)->first);
    EXPECT_EQ(L"$DB$submdate", std::next(it, 42)->first);
    EXPECT_EQ(L"DateCreated", std::next(it, 42)->second);
    EXPECT_EQ(L"_11_Insureds_Policy_Group", std::next(it, 43)->first);
    EXPECT_EQ(L"_7_INSUREDS_ZIP_CODE", map.rbegin()->first);
    EXPECT_EQ(L"FromZip", map.rbegin()->second);
    EXPECT_EQ(L"Charges_6", map.at(L"_24f_6_Charges_dollars"));
    EXPECT_EQ(L"ToDate_3", map.at(L"_24a_3_DATES_OF_SERVICE_TO_MM_DD_YY"));
    EXPECT_EQ(L"CPT_2", map.at(L"_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS"));
    EXPECT_EQ(L"Payer2Pd_4", map.at(L"$CX$Payer2Pd_4"));
    EXPECT_EQ(L"ImageField1", map.at(L"$DB$ImageLogo"));
    EXPECT_EQ(L"INFO_Line2", map.at(L"_33_BILLING_PROVIDER_INFO_Line2"));
    std::wstring previous;
    for (const auto& pair : map) {
        EXPECT_LT(previous, pair.first);
        previous = pair.first;
    }
}

TEST(CollectionsFieldMap, EveryPairInWalkingOrder)
{
    // All 87 pairs, written out one by one and listed in ascending code-unit order of the sources.
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"$CX$CoPay_1", L"CoPay_1"},
        {L"$CX$CoPay_2", L"CoPay_2"},
        {L"$CX$CoPay_3", L"CoPay_3"},
        {L"$CX$CoPay_4", L"CoPay_4"},
        {L"$CX$CoPay_5", L"CoPay_5"},
        {L"$CX$CoPay_6", L"CoPay_6"},
        {L"$CX$Notes", L"Notes"},
        {L"$CX$PatientPd_1", L"PatientPd_1"},
        {L"$CX$PatientPd_2", L"PatientPd_2"},
        {L"$CX$PatientPd_3", L"PatientPd_3"},
        {L"$CX$PatientPd_4", L"PatientPd_4"},
        {L"$CX$PatientPd_5", L"PatientPd_5"},
        {L"$CX$PatientPd_6", L"PatientPd_6"},
        {L"$CX$Payer1Pd_1", L"Payer1Pd_1"},
        {L"$CX$Payer1Pd_2", L"Payer1Pd_2"},
        {L"$CX$Payer1Pd_3", L"Payer1Pd_3"},
        {L"$CX$Payer1Pd_4", L"Payer1Pd_4"},
        {L"$CX$Payer1Pd_5", L"Payer1Pd_5"},
        {L"$CX$Payer1Pd_6", L"Payer1Pd_6"},
        {L"$CX$Payer2Pd_1", L"Payer2Pd_1"},
        {L"$CX$Payer2Pd_2", L"Payer2Pd_2"},
        {L"$CX$Payer2Pd_3", L"Payer2Pd_3"},
        {L"$CX$Payer2Pd_4", L"Payer2Pd_4"},
        {L"$CX$Payer2Pd_5", L"Payer2Pd_5"},
        {L"$CX$Payer2Pd_6", L"Payer2Pd_6"},
        {L"$CX$TotalDue_1", L"TotalDue_1"},
        {L"$CX$TotalDue_2", L"TotalDue_2"},
        {L"$CX$TotalDue_3", L"TotalDue_3"},
        {L"$CX$TotalDue_4", L"TotalDue_4"},
        {L"$CX$TotalDue_5", L"TotalDue_5"},
        {L"$CX$TotalDue_6", L"TotalDue_6"},
        {L"$DB$ChangeAddress", L"ChangeAddress"},
        {L"$DB$CompanyName", L"CompanyName"},
        {L"$DB$CurrentDate", L"Date"},
        {L"$DB$Font", L"Font"},
        {L"$DB$ID", L"ID"},
        {L"$DB$ImageLogo", L"ImageField1"},
        {L"$DB$ImageLogoSize", L"ImageLogoSize"},
        {L"$DB$Imagez2LogoSize", L"Imagez2LogoSize"},
        {L"$DB$NumberOfDays", L"NumberOfDays"},
        {L"$DB$Size", L"Size"},
        {L"$DB$TextLogo", L"TextLogo"},
        {L"$DB$submdate", L"DateCreated"},
        {L"_11_Insureds_Policy_Group", L"PolicyNo"},
        {L"_1a_Insureds_ID", L"IDNo"},
        {L"_24a_1_DATES_OF_SERVICE_FROM_MM_DD_YY", L"FromDate_1"},
        {L"_24a_1_DATES_OF_SERVICE_TO_MM_DD_YY", L"ToDate_1"},
        {L"_24a_2_DATES_OF_SERVICE_FROM_MM_DD_YY", L"FromDate_2"},
        {L"_24a_2_DATES_OF_SERVICE_TO_MM_DD_YY", L"ToDate_2"},
        {L"_24a_3_DATES_OF_SERVICE_FROM_MM_DD_YY", L"FromDate_3"},
        {L"_24a_3_DATES_OF_SERVICE_TO_MM_DD_YY", L"ToDate_3"},
        {L"_24a_4_DATES_OF_SERVICE_FROM_MM_DD_YY", L"FromDate_4"},
        {L"_24a_4_DATES_OF_SERVICE_TO_MM_DD_YY", L"ToDate_4"},
        {L"_24a_5_DATES_OF_SERVICE_FROM_MM_DD_YY", L"FromDate_5"},
        {L"_24a_5_DATES_OF_SERVICE_TO_MM_DD_YY", L"ToDate_5"},
        {L"_24a_6_DATES_OF_SERVICE_FROM_MM_DD_YY", L"FromDate_6"},
        {L"_24a_6_DATES_OF_SERVICE_TO_MM_DD_YY", L"ToDate_6"},
        {L"_24d_1_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", L"CPT_1"},
        {L"_24d_2_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", L"CPT_2"},
        {L"_24d_3_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", L"CPT_3"},
        {L"_24d_4_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", L"CPT_4"},
        {L"_24d_5_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", L"CPT_5"},
        {L"_24d_6_PROCEDURES_SERVICES_OR_SUPPLIES_CPT_HCPCS", L"CPT_6"},
        {L"_24f_1_Charges_dollars", L"Charges_1"},
        {L"_24f_2_Charges_dollars", L"Charges_2"},
        {L"_24f_3_Charges_dollars", L"Charges_3"},
        {L"_24f_4_Charges_dollars", L"Charges_4"},
        {L"_24f_5_Charges_dollars", L"Charges_5"},
        {L"_24f_6_Charges_dollars", L"Charges_6"},
        {L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", L"FirstPatientName"},
        {L"_33_BILLING_PROVIDER_INFO_Line1", L"INFO_Line1"},
        {L"_33_BILLING_PROVIDER_INFO_Line2", L"INFO_Line2"},
        {L"_33_BILLING_PROVIDER_INFO_Line3", L"INFO_Line3"},
        {L"_3_PATIENTS_BIRTH_DATE_MM_DD_CCYY", L"DOBNo"},
        {L"_4_INSUREDS_NAME_Last_First_Middle_Initial", L"PatientName"},
        {L"_5_PATIENTS_ADDRESS_No_Street", L"ToAddress"},
        {L"_5_PATIENTS_CITY", L"ToCity"},
        {L"_5_PATIENTS_PHONE_AREA_CODE", L"PhoneCodeNo_1"},
        {L"_5_PATIENTS_PHONE_NUMBER", L"PhoneNo_1"},
        {L"_5_PATIENTS_STATE", L"ToState"},
        {L"_5_PATIENTS_ZIP_CODE", L"ToZip"},
        {L"_7_INSUREDS_ADDRESS_No_Street", L"FromAddress"},
        {L"_7_INSUREDS_CITY", L"FromCity"},
        {L"_7_INSUREDS_PHONE_AREA_CODE", L"PhoneCodeNo_2"},
        {L"_7_INSUREDS_PHONE_NUMBER", L"PhoneNo_2"},
        {L"_7_INSUREDS_STATE", L"FromState"},
        {L"_7_INSUREDS_ZIP_CODE", L"FromZip"},
    };
    ASSERT_EQ(87u, expected.size());
    const auto& map = CollectionsFieldMap();
    ASSERT_EQ(expected.size(), map.size());
    size_t i = 0;
    for (const auto& pair : map) {
        EXPECT_EQ(expected[i].first, pair.first) << "pair " << i;
        EXPECT_EQ(expected[i].second, pair.second) << "pair " << i;
        ++i;
    }
    // The same object every time: one process-wide map.
    EXPECT_EQ(&map, &CollectionsFieldMap());
}

TEST(CollectionValues, DatesAreMonthDayYear)
{
    long a = 0, b = 0;
    ASSERT_TRUE(ParseMonthDayYear(L"3/1/2024", a));
    ASSERT_TRUE(ParseMonthDayYear(L" 02/20/2024 ", b));
    EXPECT_EQ(10, a - b);
    ASSERT_TRUE(ParseMonthDayYear(L"1/1/1970", a));
    EXPECT_EQ(0, a);
    ASSERT_TRUE(ParseMonthDayYear(L"12/31/2023 10:15:00", a));
    EXPECT_EQ(19722, a); // days from 1 Jan 1970 to 31 Dec 2023
    EXPECT_FALSE(ParseMonthDayYear(L"13/1/2024", a));
    EXPECT_FALSE(ParseMonthDayYear(L"2/30/2024", a));
    EXPECT_TRUE(ParseMonthDayYear(L"2/29/2024", a));
    EXPECT_FALSE(ParseMonthDayYear(L"2/29/2023", a));
    EXPECT_FALSE(ParseMonthDayYear(L"2024-01-05", a));
    EXPECT_FALSE(ParseMonthDayYear(L"", a));
    EXPECT_FALSE(ParseMonthDayYear(L"1/5/24", a));
    EXPECT_EQ(L"03/01/2024", FormatMonthDayYear(2024, 3, 1));
}

TEST(CollectionValues, MoneyIsWholeCents)
{
    long long cents = -1;
    ASSERT_TRUE(ParseCents(L"125", cents));
    EXPECT_EQ(12500, cents);
    ASSERT_TRUE(ParseCents(L" 0.1 ", cents));
    EXPECT_EQ(10, cents);
    ASSERT_TRUE(ParseCents(L"-3.05", cents));
    EXPECT_EQ(-305, cents);
    ASSERT_TRUE(ParseCents(L"$1,250.75", cents));
    EXPECT_EQ(125075, cents);
    ASSERT_TRUE(ParseCents(L"", cents));
    EXPECT_EQ(0, cents);
    EXPECT_FALSE(ParseCents(L"abc", cents));
    // More decimals than cents round half away from zero, on the digits as written; blanks around
    // the number are no part of it.
    const std::pair<const wchar_t*, long long> rounded[] = {
        {L"12.345", 1235}, {L"-12.345", -1235}, {L"1.234", 123},      {L"0.0049999", 0}, {L"0.995", 100},
        {L"12.50 ", 1250}, {L"\t12.50\r\n", 1250}, {L"\v12.5\f", 1250}, {L"7.", 700}};
    for (const auto& amount : rounded) {
        cents = -1;
        EXPECT_TRUE(ParseCents(amount.first, cents)) << CentsCase(amount.first);
        EXPECT_EQ(amount.second, cents) << CentsCase(amount.first);
    }
    // Blanks after the sign and the "$", as a statement's fields are typed.
    const std::pair<const wchar_t*, long long> typed[] = {{L"$ 75.00", 7500}, {L"- 12.50", -1250}, {L"+ $ 3", 300}, {L"-$ 0.5", -50}};
    for (const auto& amount : typed) {
        cents = -1;
        EXPECT_TRUE(ParseCents(amount.first, cents)) << CentsCase(amount.first);
        EXPECT_EQ(amount.second, cents) << CentsCase(amount.first);
    }
    EXPECT_FALSE(ParseCents(L"$ ", cents));
    EXPECT_FALSE(ParseCents(L"1,,234", cents));
    EXPECT_FALSE(ParseCents(L".", cents));
    EXPECT_FALSE(ParseCents(L"1.2.3", cents));
    EXPECT_FALSE(ParseCents(L"12 50", cents));
    EXPECT_FALSE(ParseCents(L"12a", cents));
    EXPECT_FALSE(ParseCents(L"-", cents));
    EXPECT_EQ(L"0.00", FormatCents(0));
    EXPECT_EQ(L"-0.05", FormatCents(-5));
    EXPECT_EQ(L"1250.75", FormatCents(125075));
    // Ten times 0.10 is exactly 1.00 in cents (0.1 summed as a double is not).
    long long sum = 0;
    for (int i = 0; i < 10; ++i) sum += CentsOrZero(L"0.10", L"test");
    EXPECT_EQ(100, sum);
    EXPECT_EQ(0, CentsOrZero(L"ten dollars", L"test"));
}

TEST(RecordElements, FindsElementsByNameAndPrefixInDocumentOrder)
{
    RecordElements elements;
    ASSERT_TRUE(elements.Load(L"<?xml version=\"1.0\"?><r a=\"x>y\"><bjjjj2>second</bjjjj2><c><bjjjj1>first &amp; &#x65E5;</bjjjj1>"
                              L"</c><d/><e><![CDATA[<raw>]]></e></r>"));
    EXPECT_EQ(L"second", elements.FindStartingWith(L"bjjjj")->text);
    EXPECT_EQ(L"first & \x65E5", elements.Find(L"bjjjj1")->text);
    EXPECT_EQ(L"<raw>", elements.Find(L"e")->text);
    EXPECT_EQ(nullptr, elements.Child(L"bjjjj1")); // a grandchild, not a child
    EXPECT_NE(nullptr, elements.Child(L"d"));
    EXPECT_EQ(nullptr, elements.Find(L"missing"));
    EXPECT_FALSE(elements.Load(L"<r><a></r>"));
    EXPECT_EQ(nullptr, elements.Find(L"r"));
    EXPECT_FALSE(elements.Load(L"<r>&bogus;</r>"));
    EXPECT_FALSE(elements.Load(L"<!DOCTYPE r [<!ENTITY x \"y\">]><r>&x;</r>"));
    EXPECT_FALSE(elements.Load(L"<r/><s/>"));
    EXPECT_FALSE(elements.Load(L""));
}

TEST(CollectionFilters, StartsWithIsCaseSensitiveAndTrimmed)
{
    RecordElements record;
    ASSERT_TRUE(record.Load(RecordXml(Field(L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", 1, L"  Smith, Ann ") +
                                      Field(L"_1a_Insureds_ID", 2, L"X123"))));
    const std::wstring name = L"_2_PATIENT_S_NAME_Last_First_Middle_Initial";
    EXPECT_TRUE(RecordFieldStartsWith(record, name, L"Sm", false));
    EXPECT_TRUE(RecordFieldStartsWith(record, name, L" Sm  ", false));
    EXPECT_FALSE(RecordFieldStartsWith(record, name, L"sm", false));
    EXPECT_FALSE(RecordFieldStartsWith(record, name, L"Jo", false));
    EXPECT_TRUE(RecordFieldStartsWith(record, name, L"", false));
    EXPECT_TRUE(RecordFieldStartsWith(record, name, L"   ", true));
    EXPECT_TRUE(RecordFieldStartsWith(record, L"_1a_Insureds_ID", L"X123", true));
    EXPECT_TRUE(RecordFieldStartsWith(record, L"_1a_Insureds_ID", L" X123 ", true));
    EXPECT_FALSE(RecordFieldStartsWith(record, L"_1a_Insureds_ID", L"X12", true));
    EXPECT_FALSE(RecordFieldStartsWith(record, L"_1a_Insureds_ID", L"x123", true));
    EXPECT_FALSE(RecordFieldStartsWith(record, L"_11_Insureds_Policy_Group", L"P", true)); // no such element
}

TEST(CollectionFilters, EightPastDueChoicesAgainstAnInjectedToday)
{
    const long today = DayNumberOf(2024, 3, 31);
    CollectionRow row;
    struct Case { const wchar_t* created; bool expected[8]; };
    // choices: 30, 45, 60, 90 days, under 30, any balance, all, paid in full (no saved statement: balance 0)
    const Case cases[] = {
        {L"3/2/2024", {false, false, false, false, true, false, true, true}},   // 29 days
        {L"3/1/2024", {true, false, false, false, false, false, true, true}},   // 30 days
        {L"2/15/2024", {true, true, false, false, false, false, true, true}},   // 45 days
        {L"1/31/2024", {true, true, true, false, false, false, true, true}},    // 60 days
        {L"1/1/2024", {true, true, true, true, false, false, true, true}},      // 90 days
        {L"31.12.2023", {false, false, false, false, true, false, true, true}}, // not a date: age 0
    };
    for (const Case& c : cases) {
        row.submdate = c.created;
        for (int choice = 0; choice < 8; ++choice)
            EXPECT_EQ(c.expected[choice], PastDueFilter(row, choice, today)) << c.created << " choice " << choice;
        EXPECT_TRUE(PastDueFilter(row, -1, today));
    }
    row.submdate = L"3/31/2024";
    row.collectionsXml = L"<r><TotalDue_1>0.40</TotalDue_1><TotalDue_2></TotalDue_2></r>";
    EXPECT_TRUE(PastDueFilter(row, kPastDueAnyBalance, today)); // forty cents is a balance
    EXPECT_FALSE(PastDueFilter(row, kPastDuePaidInFull, today));
    row.collectionsXml = L"<r><TotalDue_1>10</TotalDue_1><TotalDue_3>-10</TotalDue_3></r>";
    EXPECT_TRUE(PastDueFilter(row, kPastDuePaidInFull, today));
    row.collectionsXml = L"<r><Notes>no totals</Notes></r>";
    EXPECT_TRUE(PastDueFilter(row, kPastDuePaidInFull, today));
}

TEST(CollectionFilters, AmountsBeyondTheCentStillCountForThePastDueChoice)
{
    const long today = DayNumberOf(2024, 3, 31);
    CollectionRow row;
    row.submdate = L"3/31/2024";
    // A balance, or not: amounts beyond the cent must not read as 0 and move a record to "PAID IN
    // FULL"; below half a cent, and text that is no number, count 0.
    const std::pair<const wchar_t*, bool> dues[] = {{L"12.345", true}, {L"12.50 ", true}, {L" 0.005", true},
                                                    {L"-0.125", true}, {L"0.004", false}, {L"n/a", false},
                                                    {L"12 50", false}};
    for (const auto& due : dues) {
        row.collectionsXml = std::wstring(L"<r><TotalDue_1>") + due.first + L"</TotalDue_1></r>";
        EXPECT_EQ(due.second, PastDueFilter(row, kPastDueAnyBalance, today)) << CentsCase(due.first);
        EXPECT_EQ(!due.second, PastDueFilter(row, kPastDuePaidInFull, today)) << CentsCase(due.first);
    }
}

TEST(CollectionFilters, AppliedInTurn)
{
    CollectionRow row;
    row.submdate = L"1/1/2024";
    row.fxml = RecordXml(Field(L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", 1, L"Smith") +
                         Field(L"_4_INSUREDS_NAME_Last_First_Middle_Initial", 2, L"Jones") +
                         Field(L"_5_PATIENTS_PHONE_NUMBER", 3, L"5551234"));
    RecordElements record;
    ASSERT_TRUE(record.Load(row.fxml));
    const long today = DayNumberOf(2024, 1, 10);
    CollectionFilters filters;
    EXPECT_TRUE(RecordMatchesFilter(record, row, filters, today));
    filters.patient = L"Sm";
    filters.insured = L"Jo";
    filters.phone = L"5551234";
    filters.pastDue = kPastDueUnder30;
    EXPECT_TRUE(RecordMatchesFilter(record, row, filters, today));
    for (auto change : {&CollectionFilters::patient, &CollectionFilters::insured, &CollectionFilters::phone,
                        &CollectionFilters::insuredId, &CollectionFilters::policy}) {
        CollectionFilters other = filters;
        other.*change = L"Zz";
        EXPECT_FALSE(RecordMatchesFilter(record, row, other, today));
    }
    filters.pastDue = kPastDue30;
    EXPECT_FALSE(RecordMatchesFilter(record, row, filters, today));
}

TEST(RecordCollectionsXml, ListRecordIsEscapedAndKeepsEveryCharacter)
{
    CollectionRow row;
    row.rowId = 7;
    row.submdate = L"1/15/2024";
    row.fxml = RecordXml(Field(L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", 1, L"A&amp;B &lt;x&gt;") +
                         Field(L"_4_INSUREDS_NAME_Last_First_Middle_Initial", 2, L"M&#xFC;ller \x65E5\x672C") +
                         Field(L"_24f_1_Charges_dollars", 3, L"125") + Field(L"_24f_1_Charges_cents", 4, L"50") +
                         Field(L"_24a_1_DATES_OF_SERVICE_FROM_MM_DD_YY", 5, L"01 02 24") +
                         Field(L"_1a_Insureds_ID", 6, L"X1"));
    CollectionsContext context = Today(2024, 3, 1);
    CollectionTotals totals;
    const std::wstring xml = BuildRecordCollectionsXml(row, context, totals);
    EXPECT_EQ(L"<ChangeAddress>0</ChangeAddress><CompanyName>Clinic</CompanyName><Date>03/01/2024</Date>"
              L"<Font>Arial</Font><ID>7</ID><NumberOfDays>0 Days</NumberOfDays><Size>16</Size><TextLogo>1</TextLogo>"
              L"<DateCreated>1/15/2024</DateCreated><IDNo>X1</IDNo><FromDate_1>01 02 24</FromDate_1>"
              L"<Charges_1>125.50</Charges_1><FirstPatientName>A&amp;B &lt;x&gt;</FirstPatientName>"
              L"<PatientName>M\xFCller \x65E5\x672C</PatientName>",
              xml);
    EXPECT_EQ(12550, totals.cents[CollectionTotals::Charges]);
    // Without a saved statement the balance is the charges, dollars and cents, less what was paid.
    EXPECT_EQ(12550, totals.cents[CollectionTotals::TotalDue]);
    EXPECT_EQ(0, totals.cents[CollectionTotals::CoPay]);
}

TEST(RecordCollectionsXml, StatementCarriesSavedValuesAndTheLogo)
{
    CollectionRow row;
    row.rowId = 12;
    row.submdate = L"2/1/2024";
    row.memorizedDate = L"02/20/2024";
    row.fxml = RecordXml(Field(L"_24f_2_Charges_dollars", 1, L"80") + Field(L"_24f_2_Charges_cents", 2, L"5"));
    row.collectionsXml = L"<r><CoPay_1>10.25</CoPay_1><TotalDue_1>115.25</TotalDue_1><TotalDue_2>x</TotalDue_2>"
                         L"<Notes>call &amp; remind</Notes></r>";
    CollectionsContext context = Today(2024, 3, 1);
    context.statementId = 12;
    context.changeAddress = true;
    context.letterhead.textHeader = false;
    context.letterhead.logo = L"QUJD";
    context.letterhead.imageSize = L"2.000000";
    context.letterhead.imagez2Size = L"0.500000";
    CollectionTotals totals;
    totals.cents[CollectionTotals::CoPay] = 100; // totals add up over records
    const std::wstring xml = BuildRecordCollectionsXml(row, context, totals);
    EXPECT_EQ(L"<CoPay_1>10.25</CoPay_1><Notes>call &amp; remind</Notes><TotalDue_1>115.25</TotalDue_1>"
              L"<TotalDue_2>x</TotalDue_2>"
              L"<ChangeAddress>1</ChangeAddress><CompanyName>Clinic</CompanyName><Date>03/01/2024</Date>"
              L"<Font>Arial</Font><ID>12</ID><ImageField1>QUJD</ImageField1><ImageLogoSize>2.000000</ImageLogoSize>"
              L"<Imagez2LogoSize>0.500000</Imagez2LogoSize><NumberOfDays>10 Days</NumberOfDays><Size>16</Size>"
              L"<TextLogo>0</TextLogo><DateCreated>2/1/2024</DateCreated><Charges_2>80.05</Charges_2>",
              xml);
    EXPECT_EQ(1125, totals.cents[CollectionTotals::CoPay]);
    EXPECT_EQ(11525, totals.cents[CollectionTotals::TotalDue]); // "x" counts 0; no fallback balance
    EXPECT_EQ(8005, totals.cents[CollectionTotals::Charges]);
}

TEST(RecordCollectionsXml, TotalsAreExactCents)
{
    // Amounts whose hundredfold is not exact as a binary fraction (0.29, 1.15, 4.35) and one with a
    // thousands separator; the sums are the amounts' cents added by hand.
    CollectionRow row;
    row.fxml = RecordXml(Field(L"_24f_1_Charges_dollars", 1, L"1,200") + Field(L"_24f_2_Charges_dollars", 2, L"4.35"));
    row.collectionsXml = L"<r><CoPay_1>0.29</CoPay_1><CoPay_2>1.15</CoPay_2><PatientPd_1>4.35</PatientPd_1>"
                         L"<Payer1Pd_1>$1,250.75</Payer1Pd_1><Payer2Pd_1>ten</Payer2Pd_1>"
                         L"<TotalDue_1>0.29</TotalDue_1><TotalDue_2>0.57</TotalDue_2></r>";
    CollectionsContext context = Today(2024, 3, 1);
    CollectionTotals totals;
    ASSERT_FALSE(BuildRecordCollectionsXml(row, context, totals).empty());
    EXPECT_EQ(120435, totals.cents[CollectionTotals::Charges]);
    EXPECT_EQ(144, totals.cents[CollectionTotals::CoPay]);
    EXPECT_EQ(435, totals.cents[CollectionTotals::PatientPaid]);
    EXPECT_EQ(125075, totals.cents[CollectionTotals::Payer1Paid]);
    EXPECT_EQ(0, totals.cents[CollectionTotals::Payer2Paid]); // "ten" counts nothing
    EXPECT_EQ(86, totals.cents[CollectionTotals::TotalDue]);
}

TEST(RecordCollectionsXml, BalanceWithoutStatementCountsTheCents)
{
    // Three lines of 150.00, 150.00 and 275.50 (dollars and cents fields, as the form keeps them):
    // the charges and the balance are both 575.50; a co-pay of 50.25 on line 1 leaves 525.25.
    CollectionRow row;
    row.fxml = RecordXml(Field(L"_24f_1_Charges_dollars", 1, L"150") + Field(L"_24f_1_Charges_cents", 2, L"00") +
                         Field(L"_24f_2_Charges_dollars", 3, L"150") + Field(L"_24f_2_Charges_cents", 4, L"00") +
                         Field(L"_24f_3_Charges_dollars", 5, L"275") + Field(L"_24f_3_Charges_cents", 6, L"50"));
    CollectionsContext context = Today(2024, 3, 1);
    CollectionTotals totals;
    const std::wstring xml = BuildRecordCollectionsXml(row, context, totals);
    EXPECT_NE(std::wstring::npos, xml.find(L"<Charges_3>275.50</Charges_3>"));
    EXPECT_EQ(57550, totals.cents[CollectionTotals::Charges]);
    EXPECT_EQ(57550, totals.cents[CollectionTotals::TotalDue]);

    row.fxml = RecordXml(Field(L"_24f_1_Charges_dollars", 1, L"150") + Field(L"_24f_2_Charges_dollars", 3, L"150") +
                         Field(L"_24f_3_Charges_dollars", 5, L"275") + Field(L"_24f_3_Charges_cents", 6, L"50") +
                         Field(L"CoPay_1", 7, L"50.25"));
    CollectionTotals paid;
    ASSERT_FALSE(BuildRecordCollectionsXml(row, context, paid).empty());
    EXPECT_EQ(52525, paid.cents[CollectionTotals::TotalDue]);
    EXPECT_EQ(57550, paid.cents[CollectionTotals::Charges]);
}

TEST(RecordCollectionsXml, FilteredRecordGivesNothingAndAddsNothing)
{
    CollectionRow row;
    row.fxml = RecordXml(Field(L"_2_PATIENT_S_NAME_Last_First_Middle_Initial", 1, L"smith") +
                         Field(L"_24f_1_Charges_dollars", 2, L"40"));
    CollectionsContext context = Today(2024, 3, 1);
    context.filters.patient = L"Sm";
    CollectionTotals totals;
    EXPECT_EQ(L"", BuildRecordCollectionsXml(row, context, totals));
    for (long long cents : totals.cents) EXPECT_EQ(0, cents);
    // A record that is not XML has no fields: listed under empty filters, rejected by a text filter.
    row.fxml = L"<broken";
    EXPECT_EQ(L"", BuildRecordCollectionsXml(row, context, totals));
    context.filters.patient.clear();
    EXPECT_NE(std::wstring::npos, BuildRecordCollectionsXml(row, context, totals).find(L"<ID>0</ID>"));
}

TEST(CollectionsEnvelope, WrapsInXfaData)
{
    EXPECT_EQ(L"<Collections><ID>1</ID></Collections>", WrapCollections(L"<ID>1</ID>"));
    EXPECT_EQ(L"<?xml version=\"1.0\" encoding=\"UTF-8\"?><xfa:data xmlns:xfa=\"http://www.xfa.org/schema/xfa-data/1.0/\">"
              L"<form1><DataForm><Collections></Collections></DataForm></form1></xfa:data>",
              WrapXfaData(L"<Collections></Collections>"));
}

namespace {
// A claim of one service line with its charge in dollars and cents, made `age` days before today.
CollectionRow Claim(const wchar_t* dollars, const wchar_t* cents, const wchar_t* created)
{
    CollectionRow row;
    row.submdate = created;
    row.fxml = RecordXml(Field(L"_24f_1_Charges_dollars", 1, dollars) + Field(L"_24f_1_Charges_cents", 2, cents));
    return row;
}

long long TotalDueOf(const std::vector<CollectionRow>& rows, const CollectionsContext& context)
{
    CollectionTotals totals;
    for (const CollectionRow& row : rows) BuildRecordCollectionsXml(row, context, totals);
    return totals.cents[CollectionTotals::TotalDue];
}
} // namespace

TEST(RecordBalance, SavedStatementCountsItsLineBalanceNotZero)
{
    // Three claims of 150.00, 150.00 and 275.50; the first one's statement saved with 50.00 paid by
    // the patient and 25.25 by the payer, its line balance 74.75.
    CollectionsContext context = Today(2024, 3, 1);
    std::vector<CollectionRow> rows = {Claim(L"150", L"00", L"2/1/2024"), Claim(L"150", L"00", L"2/1/2024"),
                                       Claim(L"275", L"50", L"2/1/2024")};
    EXPECT_EQ(57550, TotalDueOf(rows, context));
    rows[0].collectionsXml = L"<r><ID>1</ID><Charges_1>150.00</Charges_1><CoPay_1></CoPay_1>"
                             L"<PatientPd_1>50.00</PatientPd_1><Payer1Pd_1>25.25</Payer1Pd_1>"
                             L"<Payer2Pd_1></Payer2Pd_1><TotalDue_1>74.75</TotalDue_1><TotalDue_2></TotalDue_2></r>";
    EXPECT_EQ(50025, TotalDueOf(rows, context));
    rows.push_back(Claim(L"99", L"95", L"2/1/2024"));
    EXPECT_EQ(60020, TotalDueOf(rows, context));
}

TEST(RecordBalance, BlankSavedBalanceFallsBackToTheLinesCharge)
{
    // A statement saved with its balances left empty is no statement of a balance: each blank line
    // counts its charge (less the record's payments); a line with a saved balance counts that.
    CollectionsContext context = Today(2024, 3, 1);
    CollectionRow row = Claim(L"150", L"00", L"2/1/2024");
    row.collectionsXml = L"<r><ID>1</ID><PatientPd_1>50.00</PatientPd_1><TotalDue_1> </TotalDue_1></r>";
    EXPECT_EQ(15000, TotalDueOf({row}, context));
    row.fxml = RecordXml(Field(L"_24f_1_Charges_dollars", 1, L"150") + Field(L"_24f_2_Charges_dollars", 2, L"40") +
                         Field(L"_24f_2_Charges_cents", 3, L"10") + Field(L"CoPay_2", 4, L"5"));
    row.collectionsXml = L"<r><TotalDue_1>100.00</TotalDue_1><TotalDue_2></TotalDue_2></r>";
    EXPECT_EQ(13510, TotalDueOf({row}, context)); // 100.00 saved + 40.10 - 5.00
    row.collectionsXml = L"<r><TotalDue_1>0.00</TotalDue_1><TotalDue_2>0</TotalDue_2></r>";
    EXPECT_EQ(0, TotalDueOf({row}, context));
}

TEST(CollectionFilters, EveryPastDueChoiceReadsTheBalanceTheTotalsAdd)
{
    const long today = DayNumberOf(2024, 3, 31);
    struct Case
    {
        const wchar_t* what;
        const wchar_t* dollars;
        const wchar_t* cents;
        const wchar_t* saved; // collectionsXML, or "" for none
        long long balance;    // cents, worked out by hand
    };
    const Case cases[] = {
        {L"unsaved, 0.50 charged", L"0", L"50", L"", 50},
        {L"unsaved, 0 charged", L"0", L"00", L"", 0},
        {L"unsaved, no charge at all", L"", L"", L"", 0},
        {L"saved, 0.50 left of 150.00", L"150", L"00",
         L"<r><ID>1</ID><PatientPd_1>149.50</PatientPd_1><TotalDue_1>0.50</TotalDue_1></r>", 50},
        {L"saved, paid in full", L"150", L"00",
         L"<r><ID>1</ID><PatientPd_1>150.00</PatientPd_1><TotalDue_1>0.00</TotalDue_1></r>", 0},
        {L"saved before balances were computed", L"0", L"50", L"<r><ID>1</ID><TotalDue_1></TotalDue_1></r>", 50},
    };
    // Ages 10 and 95 days. Choices: 30, 45, 60, 90 days, under 30, any balance, all, paid in full.
    const std::pair<const wchar_t*, std::vector<bool>> ages[] = {
        {L"3/21/2024", {false, false, false, false, true}},
        {L"12/27/2023", {true, true, true, true, false}},
    };
    for (const Case& c : cases) {
        for (const auto& age : ages) {
            CollectionRow row = c.dollars[0] ? Claim(c.dollars, c.cents, age.first) : CollectionRow();
            row.submdate = age.first;
            row.collectionsXml = c.saved;
            const bool expected[8] = {age.second[0], age.second[1], age.second[2], age.second[3], age.second[4],
                                      c.balance != 0, true, c.balance == 0};
            for (int choice = 0; choice < 8; ++choice)
                EXPECT_EQ(expected[choice], PastDueFilter(row, choice, today))
                    << CentsCase(c.what) << " " << CentsCase(age.first) << " choice " << choice;
            EXPECT_TRUE(PastDueFilter(row, -1, today));

            // The list built under each balance choice holds the record exactly when its balance says so,
            // and the totals add that balance.
            CollectionsContext context = Today(2024, 3, 31);
            EXPECT_EQ(c.balance, TotalDueOf({row}, context)) << CentsCase(c.what);
            for (int choice : {kPastDueAnyBalance, kPastDuePaidInFull}) {
                context.filters.pastDue = choice;
                CollectionTotals totals;
                EXPECT_EQ(expected[choice], !BuildRecordCollectionsXml(row, context, totals).empty())
                    << CentsCase(c.what) << " choice " << choice;
            }
        }
    }
}
