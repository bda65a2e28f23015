// A patient statement's line balances: charges less the four payments, in whole cents, from the
// amounts as people type them; lines without a charge empty; and the form script applying them when
// the data arrive and when a payment changes, on the program's own statement only.
#include "viewer/FormScript.h"
#include "viewer/StatementBalances.h"
#include <gtest/gtest.h>
#include <cwchar>

using namespace viewer;

namespace {
const std::vector<std::wstring> kLine1 = {L"ID", L"Charges_1", L"CoPay_1", L"PatientPd_1", L"Payer1Pd_1",
                                          L"Payer2Pd_1", L"TotalDue_1"};

std::wstring BalanceOfLine1(const std::wstring& charge, const std::wstring& coPay, const std::wstring& patient,
                            const std::wstring& payer1, const std::wstring& payer2)
{
    const auto balances = LineBalances(kLine1, {L"7", charge, coPay, patient, payer1, payer2, L"stale"});
    EXPECT_EQ(1u, balances.size());
    EXPECT_EQ(6u, balances.empty() ? 0u : balances[0].first);
    return balances.empty() ? L"<none>" : balances[0].second;
}

// A form of those fields; the program's own statement carries its generator's subject.
pdf::FormDocument StatementForm(const std::vector<std::wstring>& names,
                                const std::wstring& subject = L"Formstead patient statement")
{
    pdf::FormDocument form;
    form.subject = subject;
    form.pages.push_back(pdf::PageInfo());
    for (const std::wstring& name : names) {
        pdf::FormField field;
        field.name = name;
        form.fields.push_back(field);
    }
    return form;
}
} // namespace

TEST(StatementBalances, ChargeLessThePaymentsInCents)
{
    EXPECT_EQ(L"74.75", BalanceOfLine1(L"150.00", L"", L"50.00", L"25.25", L""));
    EXPECT_EQ(L"74.75", BalanceOfLine1(L"150", L" ", L"50", L"25.25", L""));
    EXPECT_EQ(L"150.50", BalanceOfLine1(L"150.5", L"", L"", L"", L""));
    EXPECT_EQ(L"1234.50", BalanceOfLine1(L"1,234.56", L"0.06", L"", L"", L""));
    // 0.1 + 0.2 and friends are exact in cents: 10.00 - 0.10 - 0.20 - 0.30 - 0.40 is 9.00.
    EXPECT_EQ(L"9.00", BalanceOfLine1(L"10", L"0.10", L"0.20", L"0.30", L"0.40"));
    EXPECT_EQ(L"0.00", BalanceOfLine1(L"275.50", L"75.50", L"100", L"50", L"50.00"));
    EXPECT_EQ(L"-5.00", BalanceOfLine1(L"20", L"25", L"", L"", L"")); // paid too much: a credit
    EXPECT_EQ(L"20.00", BalanceOfLine1(L"$20", L"n/a", L"", L"", L"")); // no amount takes nothing off
    EXPECT_EQ(L"0.50", BalanceOfLine1(L"0.50", L"", L"", L"", L""));
}

TEST(StatementBalances, LinesWithoutAChargeStayEmpty)
{
    EXPECT_EQ(L"", BalanceOfLine1(L"", L"10", L"", L"", L""));
    EXPECT_EQ(L"", BalanceOfLine1(L"  ", L"", L"", L"", L""));
    EXPECT_EQ(L"", BalanceOfLine1(L"call us", L"", L"", L"", L""));
    // TotalDue_2 has no charge field at all; line 3's payments are its own.
    const std::vector<std::wstring> keys = {L"TotalDue_2", L"Charges_3", L"PatientPd_1", L"PatientPd_3", L"TotalDue_3",
                                            L"TotalDue_x", L"MyTotalDue_3"};
    const auto balances = LineBalances(keys, {L"9", L"40", L"5", L"15", L"", L"1", L"2"});
    ASSERT_EQ(2u, balances.size());
    EXPECT_EQ(0u, balances[0].first);
    EXPECT_EQ(L"", balances[0].second);
    EXPECT_EQ(4u, balances[1].first);
    EXPECT_EQ(L"25.00", balances[1].second);
}

TEST(StatementBalances, InputsAreTheChargesAndPaymentsOfALine)
{
    for (const wchar_t* key : {L"Charges_1", L"CoPay_2", L"PatientPd_6", L"Payer1Pd_3", L"Payer2Pd_12"})
        EXPECT_TRUE(IsBalanceInput(key)) << key;
    for (const wchar_t* key : {L"TotalDue_1", L"Charges_", L"CoPay_1a", L"Notes", L"ID", L"XCharges_1"})
        EXPECT_FALSE(IsBalanceInput(key)) << key;
}

TEST(StatementBalances, TheScriptComputesThemWhenDataArriveAndWhenAPaymentChanges)
{
    FormScript script;
    script.Load(StatementForm({L"ID", L"Charges_1", L"PatientPd_1", L"Payer1Pd_1", L"TotalDue_1", L"TotalDue_2"}), "");
    ASSERT_TRUE(script.SetFromXml(L"<r><ID>1</ID><Charges_1>150.00</Charges_1><PatientPd_1>50.00</PatientPd_1>"
                                  L"<TotalDue_2>12</TotalDue_2></r>"));
    EXPECT_EQ(L"100.00", script.Value(4));
    EXPECT_EQ(L"", script.Value(5)); // no charge on line 2
    EXPECT_TRUE(script.IsBalanceInput(3));
    EXPECT_FALSE(script.IsBalanceInput(4));
    script.SetValue(3, L"25.25");
    EXPECT_TRUE(script.UpdateLineBalances());
    EXPECT_EQ(L"74.75", script.Value(4));
    EXPECT_FALSE(script.UpdateLineBalances()); // nothing changed since
    // Saved with the payments.
    const std::wstring saved = script.ChangesForSaving();
    EXPECT_NE(std::wstring::npos, saved.find(L"%3CTotalDue_1%3E74.75%3C%2FTotalDue_1%3E")) << std::string(saved.begin(), saved.end());
}

TEST(StatementBalances, AUsersOwnFormWithTheSameFieldNamesKeepsItsValues)
{
    for (const wchar_t* subject : {L"", L"Patient Statement", L"Companion", L"formstead patient statement"}) {
        SCOPED_TRACE(std::string(subject, subject + std::wcslen(subject)));
        FormScript script;
        script.Load(StatementForm({L"ID", L"Charges_1", L"PatientPd_1", L"TotalDue_1", L"TotalDue_2"}, subject), "");
        ASSERT_TRUE(script.SetFromXml(L"<r><ID>1</ID><Charges_1>150.00</Charges_1><PatientPd_1>50.00</PatientPd_1>"
                                      L"<TotalDue_1>99</TotalDue_1><TotalDue_2>12</TotalDue_2></r>"));
        EXPECT_EQ(L"99", script.Value(3));
        EXPECT_EQ(L"12", script.Value(4));
        EXPECT_FALSE(script.IsBalanceInput(2));
        script.SetValue(2, L"25.25");
        EXPECT_FALSE(script.UpdateLineBalances());
        EXPECT_EQ(L"99", script.Value(3));
    }
}
