// CString and CStringA: ANSI conversion, buffers, searching, editing, formatting and string resources.
#include "framework/CString.h"
#include "tests/support/TempFolder.h"
#include <gtest/gtest.h>
#include <vector>

TEST(CStringConversion, AnsiTextConvertsThroughTheAnsiCodePage)
{
    ASSERT_EQ(1252u, GetACP());
    CString fromAnsi("caf\xe9 \x80");                 // 0x80 is the euro sign in 1252
    EXPECT_STREQ(L"caf\u00e9 \u20ac", fromAnsi);
    EXPECT_EQ(6, fromAnsi.GetLength());

    CStringA back(fromAnsi);
    EXPECT_STREQ("caf\xe9 \x80", back);
    CStringA unmappable(L"a\u4e2db");                 // not in 1252: the default character
    EXPECT_STREQ("a?b", unmappable);

    const unsigned char bytes[] = {'o', 'k', 0xfc, 0};
    EXPECT_STREQ(L"ok\u00fc", CString(bytes));
}

TEST(CStringConversion, NullPointersAndCountsAreSafe)
{
    EXPECT_TRUE(CString(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CStringA(static_cast<const wchar_t*>(nullptr)).IsEmpty());
    EXPECT_TRUE(CString(L"abc", 0).IsEmpty());
    EXPECT_TRUE(CString(L"abc", -2).IsEmpty());

    CString withNul(L"a\0b", 3);
    EXPECT_EQ(3, withNul.GetLength());
    EXPECT_EQ(L'b', withNul.GetAt(2));
    EXPECT_NE(withNul, CString(L"a"));                // units after a NUL still count
    EXPECT_EQ(CString("abc", 2), L"ab");
    EXPECT_EQ(CString(L'x', 3), L"xxx");
    EXPECT_TRUE(CString(L'x', 0).IsEmpty());

    CString s(L"abc");
    s = static_cast<const wchar_t*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
    s = "\xe9";
    EXPECT_EQ(s, L"\u00e9");
}

TEST(CStringConversion, AssigningFromItsOwnTextKeepsTheText)
{
    CString s(L"hello world");
    s = s.GetString() + 6;
    EXPECT_EQ(s, L"world");
    s.Insert(0, s.GetString());
    EXPECT_EQ(s, L"worldworld");
}

TEST(CStringFormat, WideFormatTakesWideStringsAndCapitalSTakesAnsi)
{
    CString s;
    s.Format(L"[%s|%S|%d|%5.2f|%c|%%|%x]", L"w\u00e9", "a\xe9", -42, 3.14159, L'Z', 255u);
    EXPECT_EQ(s, L"[w\u00e9|a\u00e9|-42| 3.14|Z|%|ff]");

    s.Format(L"%ls and %hs", L"long", "short");
    EXPECT_EQ(s, L"long and short");

    s.Format(L"Can't open database: %s\n", L"unable to open database file");
    EXPECT_EQ(s, L"Can't open database: unable to open database file\n");
}

TEST(CStringFormat, StringObjectsArePassedAsTheirText)
{
    CString name(L"Fr\u00e9d"), path(L"C:\\forms");
    CStringA type("1500");
    CString s;
    s.Format(L"%s\\%s.gdb (%S) %s", path, name, type, name.Left(3));
    EXPECT_EQ(s, L"C:\\forms\\Fr\u00e9d.gdb (1500) Fr\u00e9");
    s.AppendFormat(L"|%s|%d", CString(L"tmp"), 3);
    EXPECT_EQ(s.Right(6), L"|tmp|3");

    CStringA a;
    a.Format("%s=%S", type, name);
    EXPECT_STREQ("1500=Fr\xe9" "d", a);
}

TEST(CStringFormat, LongResultsAreNotCut)
{
    CString part(L'q', 5000);
    CString s;
    s.Format(L"<%s>%d", part.GetString(), 7);
    ASSERT_EQ(5003, s.GetLength());
    EXPECT_EQ(L'<', s[0]);
    EXPECT_EQ(L'>', s[5001]);
    EXPECT_EQ(L'7', s[5002]);
}

TEST(CStringFormat, AppendFormatAndEmptyResults)
{
    CString s(L"x=");
    s.AppendFormat(L"%d;", 5);
    s.AppendFormat(L"%s", L"");
    EXPECT_EQ(s, L"x=5;");
    s.Format(L"%s", L"");
    EXPECT_TRUE(s.IsEmpty());
    s = L"keep";
    s.Format(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringFormat, AnsiFormatTakesAnsiStrings)
{
    CStringA a;
    a.Format("select fxml from submissions WHERE _ROWID_=%d", 12);
    EXPECT_STREQ("select fxml from submissions WHERE _ROWID_=12", a);
    a.Format("%s/%S/%.2f", "n\xe9", L"w", 2.5);
    EXPECT_STREQ("n\xe9/w/2.50", a);
    std::string big(3000, 'z');
    a.Format("%s!", big.c_str());
    EXPECT_EQ(3001, a.GetLength());
}

TEST(CStringBuffer, ReleaseBufferTakesTheWrittenLength)
{
    CString s(L"old");
    wchar_t* p = s.GetBuffer(10);
    wcscpy(p, L"written");
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"written");
    EXPECT_EQ(7, s.GetLength());

    p = s.GetBuffer(20);
    p[0] = L'W';
    s.ReleaseBuffer(3);
    EXPECT_EQ(s, L"Wri");

    p = s.GetBufferSetLength(4);
    p[3] = L'!';
    s.ReleaseBuffer(99);                              // clamped to the buffer
    EXPECT_EQ(s, L"Wri!");

    // A buffer filled to its end without a NUL keeps its whole size.
    p = s.GetBuffer(3);
    EXPECT_EQ(4, static_cast<int>(wcslen(p)));
    s.ReleaseBuffer();
    EXPECT_EQ(s, L"Wri!");
}

TEST(CStringSearch, FindReverseFindAndFindOneOf)
{
    CString s(L"jjjj12jName");
    EXPECT_EQ(0, s.Find(L'j'));
    EXPECT_EQ(6, s.Find(L'j', 4));
    EXPECT_EQ(-1, s.Find(L'j', 11));
    EXPECT_EQ(-1, s.Find(L'j', -1));
    EXPECT_EQ(7, s.Find(L"Name"));
    EXPECT_EQ(-1, s.Find(L"Name", 8));
    EXPECT_EQ(11, s.Find(L"", 11));
    EXPECT_EQ(-1, s.Find(static_cast<const wchar_t*>(nullptr)));
    EXPECT_EQ(6, s.ReverseFind(L'j'));
    EXPECT_EQ(-1, s.ReverseFind(L'z'));
    EXPECT_EQ(4, s.FindOneOf(L"0123456789"));
    EXPECT_EQ(-1, s.FindOneOf(L"xyz"));
    EXPECT_EQ(-1, s.FindOneOf(L""));
}

TEST(CStringSearch, ExtractionClampsToTheText)
{
    CString s(L"abcdef");
    EXPECT_EQ(s.Mid(2), L"cdef");
    EXPECT_EQ(s.Mid(2, 2), L"cd");
    EXPECT_EQ(s.Mid(4, 100), L"ef");
    EXPECT_EQ(s.Mid(-3, 2), L"ab");
    EXPECT_TRUE(s.Mid(6).IsEmpty());
    EXPECT_TRUE(s.Mid(1, -1).IsEmpty());
    EXPECT_EQ(s.Left(2), L"ab");
    EXPECT_EQ(s.Left(99), L"abcdef");
    EXPECT_TRUE(s.Left(-1).IsEmpty());
    EXPECT_EQ(s.Right(2), L"ef");
    EXPECT_EQ(s.Right(99), L"abcdef");
    EXPECT_TRUE(s.Right(0).IsEmpty());
}

TEST(CStringSearch, SpansAndTokens)
{
    CString s(L"123abc456");
    EXPECT_EQ(s.SpanIncluding(L"0123456789"), L"123");
    EXPECT_EQ(s.SpanExcluding(L"c"), L"123ab");
    EXPECT_EQ(s.SpanExcluding(L"z"), s);
    EXPECT_TRUE(s.SpanIncluding(L"abc").IsEmpty());

    CString list(L"|a=1||b=2|");
    std::vector<CString> tokens;
    int pos = 0;
    for (CString t = list.Tokenize(L"|", pos); pos != -1; t = list.Tokenize(L"|", pos))
        tokens.push_back(t);
    ASSERT_EQ(2u, tokens.size());
    EXPECT_EQ(tokens[0], L"a=1");
    EXPECT_EQ(tokens[1], L"b=2");

    pos = 0;
    EXPECT_TRUE(CString(L"|||").Tokenize(L"|", pos).IsEmpty());
    EXPECT_EQ(-1, pos);
}

TEST(CStringEdit, ReplaceCountsAndDoesNotRescanReplacements)
{
    CString s(L"aaaa");
    EXPECT_EQ(2, s.Replace(L"aa", L"b"));
    EXPECT_EQ(s, L"bb");
    s = L"aaa";
    EXPECT_EQ(1, s.Replace(L"aa", L"b"));
    EXPECT_EQ(s, L"ba");
    s = L"x";
    EXPECT_EQ(1, s.Replace(L"x", L"xx"));
    EXPECT_EQ(s, L"xx");
    EXPECT_EQ(0, s.Replace(L"", L"y"));
    EXPECT_EQ(2, s.Replace(L"x", nullptr));
    EXPECT_TRUE(s.IsEmpty());

    s = L"line[SYS__CR__]next[SYS__CR__]";
    EXPECT_EQ(2, s.Replace(L"[SYS__CR__]", L"\n"));
    EXPECT_EQ(s, L"line\nnext\n");
    EXPECT_EQ(2, s.Replace(L'\n', L' '));
    EXPECT_EQ(s, L"line next ");
    EXPECT_EQ(2, s.Remove(L' '));
    EXPECT_EQ(s, L"linenext");
}

TEST(CStringEdit, InsertDeleteAndSetAt)
{
    CString s(L"ace");
    EXPECT_EQ(4, s.Insert(1, L'b'));
    EXPECT_EQ(6, s.Insert(99, L"fg"));
    EXPECT_EQ(7, s.Insert(-5, L'_'));
    EXPECT_EQ(s, L"_abcefg");
    EXPECT_EQ(6, s.Delete(0));
    EXPECT_EQ(4, s.Delete(4, 10));
    EXPECT_EQ(4, s.Delete(9, 1));
    EXPECT_EQ(s, L"abce");
    s.SetAt(3, L'd');
    s.SetAt(4, L'x');
    s.SetAt(-1, L'x');
    EXPECT_EQ(s, L"abcd");
    EXPECT_EQ(0, s.GetAt(4));
    EXPECT_EQ(0, s.GetAt(-1));
    EXPECT_EQ(s.MakeReverse(), L"dcba");
}

TEST(CStringEdit, TrimFamily)
{
    CString s(L" \t\r\n mid dle \n");
    EXPECT_EQ(CString(s).TrimLeft(), L"mid dle \n");
    EXPECT_EQ(CString(s).TrimRight(), L" \t\r\n mid dle");
    EXPECT_EQ(s.Trim(), L"mid dle");
    EXPECT_TRUE(CString(L" \t ").Trim().IsEmpty());
    EXPECT_EQ(CString(L"--x--").Trim(L'-'), L"x");
    EXPECT_EQ(CString(L"ab-x-ba").Trim(L"ab"), L"-x-");
    EXPECT_EQ(CString(L"xxy").TrimLeft(L'x'), L"y");
    EXPECT_EQ(CString(L"yxx").TrimRight(L"x"), L"y");
}

TEST(CStringEdit, CaseMappingCoversNonAsciiLetters)
{
    CString s(L"Caf\u00e9 PM");
    EXPECT_EQ(CString(s).MakeUpper(), L"CAF\u00c9 PM");
    EXPECT_EQ(s.MakeLower(), L"caf\u00e9 pm");
}

TEST(CStringCompare, OrdinalAndCaseInsensitiveComparison)
{
    CString a(L"apple"), b(L"Banana");
    EXPECT_GT(a.Compare(b), 0);                        // ordinal: 'a' > 'B'
    EXPECT_LT(a.CompareNoCase(b), 0);
    EXPECT_EQ(0, CString(L"APP:x").Left(4).CompareNoCase(L"app:"));
    EXPECT_EQ(0, a.Compare(L"apple"));
    EXPECT_TRUE(a == L"apple");
    EXPECT_TRUE(L"apple" == a);
    EXPECT_TRUE(a != b);
    EXPECT_TRUE(b < a);
    EXPECT_TRUE(a > L"Apple");
    EXPECT_TRUE(a <= L"apple" && a >= L"apple");
    EXPECT_FALSE(L"apple" < a);
    EXPECT_LT(CString(L"ab").Compare(L"abc"), 0);
}

TEST(CStringCompare, ConcatenationInEveryOrder)
{
    CString a(L"a");
    EXPECT_EQ(a + L"b", L"ab");
    EXPECT_EQ(L"b" + a, L"ba");
    EXPECT_EQ(a + a, L"aa");
    EXPECT_EQ(a + L'c', L"ac");
    EXPECT_EQ(L'c' + a, L"ca");
    a += "\xe9";
    a += L'!';
    a += CString(L"?");
    a.Append(L"xyz", 2);
    a.AppendChar(L'.');
    EXPECT_EQ(a, L"a\u00e9!?xy.");
    CStringA n("x");
    n += "y";
    n += 'z';
    EXPECT_EQ(n, "xyz");
    EXPECT_EQ(1, n.Find("yz"));
    EXPECT_EQ(-1, n.Find("yz", 2));
}

TEST(CStringResource, AllocSysStringKeepsTheLength)
{
    CString s(L"a\0b", 3);
    BSTR b = s.AllocSysString();
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(3u, SysStringLen(b));
    EXPECT_EQ(L'b', b[2]);
    SysFreeString(b);
}

namespace {

// Writes one string-table block (16 strings) holding the given text at id into a copy of this
// executable, so that LoadString has a real resource to read.
std::wstring MakeModuleWithString(const TempFolder& folder, UINT id, const std::wstring& text)
{
    wchar_t self[MAX_PATH];
    if (!GetModuleFileNameW(nullptr, self, MAX_PATH))
        return L"";
    std::wstring copy = folder.File(L"strings.dll");
    if (!CopyFileW(self, copy.c_str(), FALSE))
        return L"";
    std::vector<WORD> block;
    for (UINT i = 0; i < 16; ++i) {
        if (i == (id & 15)) {
            block.push_back(static_cast<WORD>(text.size()));
            block.insert(block.end(), text.begin(), text.end());
        } else {
            block.push_back(0);
        }
    }
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    if (!update)
        return L"";
    BOOL ok = UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW((id >> 4) + 1),
                              MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), block.data(),
                              static_cast<DWORD>(block.size() * sizeof(WORD)));
    if (!EndUpdateResourceW(update, !ok) || !ok)
        return L"";
    return copy;
}

} // namespace

TEST(CStringResource, LoadStringReadsTheWholeTextOrFails)
{
    TempFolder folder;
    const UINT id = 40017;
    std::wstring module = MakeModuleWithString(folder, id, L"Please, input a search text");
    ASSERT_FALSE(module.empty());
    HMODULE strings = LoadLibraryExW(module.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, strings);

    CString s(L"unchanged");
    EXPECT_TRUE(s.LoadString(strings, id));
    EXPECT_EQ(s, L"Please, input a search text");
    EXPECT_EQ(27, s.GetLength());

    CString missing(L"unchanged");
    EXPECT_FALSE(missing.LoadString(strings, id + 1));  // an empty slot of the same block
    EXPECT_FALSE(missing.LoadString(strings, 3));       // no block at all
    EXPECT_EQ(missing, L"unchanged");
    FreeLibrary(strings);
}
