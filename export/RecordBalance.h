// A record's balance: the one figure behind the "Total Due" total, the "Past Due" balance choices
// and a statement save's date trigger, so the three never disagree.
#pragma once
#include <string>

class RecordElements;

// A service line's charge in cents: its dollars field plus its cents field, which holds a number
// of cents ("50" for fifty cents). 0 when the record has no such line.
long long LineChargeCents(const RecordElements& record, const std::wstring& dollarsField);

// Per service line 1..6: the statement's saved TotalDue_n when it holds one (not blank), else the
// line's charge less the line's CoPay_n, PatientPd_n, Payer1Pd_n and Payer2Pd_n fields of the
// record. In cents; amounts that do not parse count 0.
long long RecordBalanceCents(const RecordElements& record, const RecordElements& statement);
