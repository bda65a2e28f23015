// COleDateTime over the system's variant-date conversions.
#include "framework/OleDateTime.h"
#include "framework/Seams.h"
#include <ctime>

COleDateTime::COleDateTime(const SYSTEMTIME& st)
{
    if (!::SystemTimeToVariantTime(const_cast<SYSTEMTIME*>(&st), &m_dt))
    {
        m_dt = 0;
        m_status = invalid;
    }
}

COleDateTime COleDateTime::GetCurrentTime()
{
    return COleDateTime(AfxGetLocalTime());
}

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec)
{
    SYSTEMTIME st = {};
    st.wYear = (WORD)nYear;
    st.wMonth = (WORD)nMonth;
    st.wDay = (WORD)nDay;
    st.wHour = (WORD)nHour;
    st.wMinute = (WORD)nMin;
    st.wSecond = (WORD)nSec;
    bool ok = nYear >= 100 && nYear <= 9999 && nMonth >= 1 && nMonth <= 12 && nDay >= 1 && nDay <= 31 &&
              nHour >= 0 && nHour <= 23 && nMin >= 0 && nMin <= 59 && nSec >= 0 && nSec <= 59;
    if (ok)
    {
        // The conversion rolls a day past the month's end over; a real date converts back unchanged.
        SYSTEMTIME back;
        ok = ::SystemTimeToVariantTime(&st, &m_dt) && ::VariantTimeToSystemTime(m_dt, &back) &&
             back.wDay == st.wDay && back.wMonth == st.wMonth;
    }
    if (!ok)
        m_dt = 0;
    m_status = ok ? valid : invalid;
    return ok ? 0 : 1;
}

bool COleDateTime::ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags, LCID lcid)
{
    DATE parsed = 0;
    HRESULT hr = lpszDate ? ::VarDateFromStr(const_cast<LPOLESTR>(lpszDate), lcid, dwFlags, &parsed) : E_INVALIDARG;
    if (FAILED(hr))
    {
        m_dt = 0;
        m_status = invalid;
        return false;
    }
    m_dt = parsed;
    m_status = valid;
    return true;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    return m_status == valid && ::VariantTimeToSystemTime(m_dt, &st);
}

int COleDateTime::Part(int which) const
{
    SYSTEMTIME st;
    if (!GetAsSystemTime(st))
        return -1;
    switch (which)
    {
    case 0: return st.wYear;
    case 1: return st.wMonth;
    case 2: return st.wDay;
    case 3: return st.wHour;
    case 4: return st.wMinute;
    case 5: return st.wSecond;
    default: return st.wDayOfWeek + 1;
    }
}

int COleDateTime::GetYear() const { return Part(0); }
int COleDateTime::GetMonth() const { return Part(1); }
int COleDateTime::GetDay() const { return Part(2); }

int COleDateTime::GetDayOfWeek() const { return Part(6); }

CString COleDateTime::Format(LPCTSTR lpszFormat) const
{
    SYSTEMTIME st;
    if (!lpszFormat || !GetAsSystemTime(st))
        return CString();
    std::tm parts = {};
    parts.tm_year = st.wYear - 1900;
    parts.tm_mon = st.wMonth - 1;
    parts.tm_mday = st.wDay;
    parts.tm_hour = st.wHour;
    parts.tm_min = st.wMinute;
    parts.tm_sec = st.wSecond;
    parts.tm_wday = st.wDayOfWeek;
    parts.tm_isdst = -1;
    wchar_t text[256];
    size_t length = std::wcsftime(text, 256, lpszFormat, &parts);
    return CString(text, (int)length);
}
