// COleDateTime: a date and time held as an OLE DATE (days since 30 December 1899), with parsing and
// formatting through the system's variant-date functions.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include "framework/CString.h"

class COleDateTime
{
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTime() = default;
    COleDateTime(DATE dt) : m_dt(dt) {}
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) { SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec); }
    explicit COleDateTime(const SYSTEMTIME& st);

    // The current local time (through the clock seam).
    static COleDateTime GetCurrentTime();

    DateTimeStatus GetStatus() const { return m_status; }
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec);
    int SetDate(int nYear, int nMonth, int nDay) { return SetDateTime(nYear, nMonth, nDay, 0, 0, 0); }
    // Parses text as the system does for the given locale; FALSE (status invalid) when it is no date.
    bool ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetDayOfWeek() const;   // 1 = Sunday
    bool GetAsSystemTime(SYSTEMTIME& st) const;
    // strftime-style format ("%m/%d/%Y"); empty text for an invalid date.
    CString Format(LPCTSTR lpszFormat) const;

    operator DATE() const { return m_dt; }
    bool operator==(const COleDateTime& o) const { return m_dt == o.m_dt; }
    bool operator!=(const COleDateTime& o) const { return m_dt != o.m_dt; }
    bool operator<(const COleDateTime& o) const { return m_dt < o.m_dt; }
    bool operator>(const COleDateTime& o) const { return m_dt > o.m_dt; }
    bool operator<=(const COleDateTime& o) const { return m_dt <= o.m_dt; }
    bool operator>=(const COleDateTime& o) const { return m_dt >= o.m_dt; }

    DATE m_dt = 0;
    DateTimeStatus m_status = valid;

private:
    int Part(int which) const;
};
