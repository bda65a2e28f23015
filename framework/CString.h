// CString: the UTF-16 text type of the user interface, and CStringA for 8-bit text.
// Conversions between the two use the system ANSI code page; Format follows the Windows C runtime's
// wide printf rules (%s takes a wide string, %S an 8-bit one).
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <cstdarg>
#include <string>

class CString;
class CStringA;
// Format arguments: string objects go to printf as their text pointers, everything else unchanged.
template <typename T> inline const T& CStringFormatArg(const T& value) { return value; }
inline const wchar_t* CStringFormatArg(const CString& text);
inline const char* CStringFormatArg(const CStringA& text);

class CString
{
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(const wchar_t* text);                  // null gives the empty text
    CString(const wchar_t* text, int length);      // the first length units (text may hold NULs)
    CString(const char* ansi);                     // from the ANSI code page; null gives empty
    CString(const char* ansi, int length);         // the first length bytes, from the ANSI code page
    CString(const unsigned char* ansi);            // as const char*
    explicit CString(wchar_t ch, int repeat = 1);

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(const wchar_t* text);
    CString& operator=(const char* ansi);
    CString& operator=(const unsigned char* ansi);
    CString& operator=(wchar_t ch);

    // Length and raw access.
    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const wchar_t* GetString() const { return m_text.c_str(); }
    operator const wchar_t*() const { return m_text.c_str(); }
    wchar_t GetAt(int index) const;                // 0 outside the text
    wchar_t operator[](int index) const { return GetAt(index); }
    void SetAt(int index, wchar_t ch);             // ignored outside the text

    // A writable buffer of at least minLength units plus a terminating NUL. ReleaseBuffer(-1) takes the
    // length up to the first NUL; any other value sets the length (clamped to the buffer).
    wchar_t* GetBuffer(int minLength);
    wchar_t* GetBuffer() { return GetBuffer(0); }
    wchar_t* GetBufferSetLength(int length);
    void ReleaseBuffer(int newLength = -1);

    // Appending.
    CString& operator+=(const CString& text) { m_text += text.m_text; return *this; }
    CString& operator+=(const wchar_t* text);
    CString& operator+=(const char* ansi) { return *this += CString(ansi); }
    CString& operator+=(wchar_t ch) { m_text += ch; return *this; }
    void Append(const wchar_t* text) { *this += text; }
    void Append(const wchar_t* text, int length);
    void AppendChar(wchar_t ch) { m_text += ch; }

    // Comparison: Compare is ordinal by UTF-16 unit; CompareNoCase ignores case.
    int Compare(const wchar_t* text) const;
    int Compare(const CString& text) const { return m_text.compare(text.m_text); }
    int CompareNoCase(const wchar_t* text) const;

    // Searching; every function answers -1 when nothing is found.
    int Find(wchar_t ch, int start = 0) const;
    int Find(const wchar_t* sub, int start = 0) const;
    int FindOneOf(const wchar_t* chars) const;
    int ReverseFind(wchar_t ch) const;

    // Extraction; positions and counts are clamped to the text.
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;
    CString SpanIncluding(const wchar_t* chars) const;
    CString SpanExcluding(const wchar_t* chars) const;
    // The next token after start, skipping leading delimiters; start moves past the token, or becomes
    // -1 (with an empty result) when no token is left.
    CString Tokenize(const wchar_t* delimiters, int& start) const;

    // Changing in place.
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    int Replace(wchar_t oldCh, wchar_t newCh);
    int Replace(const wchar_t* oldText, const wchar_t* newText);   // an empty oldText replaces nothing
    int Remove(wchar_t ch);
    int Insert(int index, wchar_t ch);
    int Insert(int index, const wchar_t* text);
    int Delete(int index, int count = 1);
    CString& Trim();                               // white space at both ends
    CString& Trim(wchar_t ch);
    CString& Trim(const wchar_t* chars);
    CString& TrimLeft();
    CString& TrimLeft(wchar_t ch);
    CString& TrimLeft(const wchar_t* chars);
    CString& TrimRight();
    CString& TrimRight(wchar_t ch);
    CString& TrimRight(const wchar_t* chars);

    // Formatting with the wide printf rules of the Windows C runtime. An invalid format gives empty text.
    // CString and CStringA arguments may be passed as they are (for %s and %S).
    template <typename... Args> void Format(const wchar_t* format, const Args&... args)
    {
        FormatPassed(format, CStringFormatArg(args)...);
    }
    template <typename... Args> void AppendFormat(const wchar_t* format, const Args&... args)
    {
        CString more;
        more.FormatPassed(format, CStringFormatArg(args)...);
        *this += more;
    }
    void FormatV(const wchar_t* format, va_list args);

    // A string of the string table of the executable (or of the given module); FALSE when it has none.
    BOOL LoadString(UINT id);
    BOOL LoadString(HINSTANCE module, UINT id);

    // A BSTR copy that the caller frees with SysFreeString.
    BSTR AllocSysString() const;

private:
    void FormatPassed(const wchar_t* format, ...);

    std::wstring m_text;
    int m_bufferSize = -1;   // size handed out by GetBuffer, -1 when no buffer is out
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, const wchar_t* b);
CString operator+(const wchar_t* a, const CString& b);
CString operator+(const CString& a, wchar_t b);
CString operator+(wchar_t a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
inline bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, const wchar_t* b) { return a.Compare(b) != 0; }
inline bool operator!=(const wchar_t* a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, const wchar_t* b) { return a.Compare(b) < 0; }
inline bool operator<(const wchar_t* a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, const wchar_t* b) { return a.Compare(b) > 0; }
inline bool operator>(const wchar_t* a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, const wchar_t* b) { return a.Compare(b) <= 0; }
inline bool operator<=(const wchar_t* a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, const wchar_t* b) { return a.Compare(b) >= 0; }
inline bool operator>=(const wchar_t* a, const CString& b) { return b.Compare(a) <= 0; }

// 8-bit text in the system ANSI code page (or raw bytes such as UTF-8 when built from bytes).
class CStringA
{
public:
    CStringA() = default;
    CStringA(const char* text);                    // null gives the empty text
    CStringA(const char* text, int length);
    CStringA(const wchar_t* text);                 // to the ANSI code page; null gives empty
    CStringA(const CString& text) : CStringA(text.GetString(), text.GetLength()) {}
    CStringA(const wchar_t* text, int length);

    int GetLength() const { return static_cast<int>(m_text.size()); }
    bool IsEmpty() const { return m_text.empty(); }
    void Empty() { m_text.clear(); }
    const char* GetString() const { return m_text.c_str(); }
    operator const char*() const { return m_text.c_str(); }
    char GetAt(int index) const;                   // 0 outside the text

    CStringA& operator+=(const CStringA& text) { m_text += text.m_text; return *this; }
    CStringA& operator+=(const char* text);
    CStringA& operator+=(char ch) { m_text += ch; return *this; }

    int Compare(const char* text) const;
    int Find(const char* sub, int start = 0) const;

    // Formatting with the 8-bit printf rules of the Windows C runtime. An invalid format gives empty text.
    // CStringA and CString arguments may be passed as they are (for %s and %S).
    template <typename... Args> void Format(const char* format, const Args&... args)
    {
        FormatPassed(format, CStringFormatArg(args)...);
    }
    void FormatV(const char* format, va_list args);

private:
    void FormatPassed(const char* format, ...);

    std::string m_text;
};

inline const wchar_t* CStringFormatArg(const CString& text) { return text.GetString(); }
inline const char* CStringFormatArg(const CStringA& text) { return text.GetString(); }

inline bool operator==(const CStringA& a, const char* b) { return a.Compare(b) == 0; }
inline bool operator==(const CStringA& a, const CStringA& b) { return a.Compare(b) == 0; }
inline bool operator!=(const CStringA& a, const char* b) { return a.Compare(b) != 0; }
inline bool operator!=(const CStringA& a, const CStringA& b) { return a.Compare(b) != 0; }
