// Command words, ids and the decoding of "app:" texts.
#include "bridge/AppCommand.h"

#include <climits>

namespace {
struct WordEntry
{
    const wchar_t* text;
    AppCommandWord word;
};

const WordEntry kWords[] = {
    {L"deleteRecord", AppCommandWord::DeleteRecord}, {L"viewStatement", AppCommandWord::ViewStatement},
    {L"toStatements", AppCommandWord::ToStatements}, {L"saveChanges", AppCommandWord::SaveChanges},
    {L"toSetHeader", AppCommandWord::ToSetHeader},   {L"toSetAddr", AppCommandWord::ToSetAddr},
};

int HexValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}
} // namespace

AppCommandWord FindAppCommandWord(const CString& command)
{
    for (const WordEntry& entry : kWords) {
        const int length = static_cast<int>(wcslen(entry.text));
        if (command.GetLength() >= length && wcsncmp(command.GetString(), entry.text, length) == 0)
            return entry.word;
    }
    return AppCommandWord::None;
}

bool ParseAppCommandId(const CString& command, int& id)
{
    const int question = command.Find(L'?');
    if (question < 0) {
        // Without "?" the id is the number the text begins with; a command word begins with none.
        id = 0;
        return true;
    }
    if (question == 0) return false;
    const wchar_t* digits = command.GetString() + question + 1;
    if (!*digits) return false;
    long long value = 0;
    for (const wchar_t* p = digits; *p; ++p) {
        if (*p < L'0' || *p > L'9') return false;
        value = value * 10 + (*p - L'0');
        if (value > INT_MAX) return false;
    }
    id = static_cast<int>(value);
    return true;
}

CString UrlDecode(const CString& text)
{
    CString out;
    const int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        const wchar_t c = text[i];
        if (c == L'+') {
            out += L' ';
        } else if (c == L'%' && i + 2 < length && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0 &&
                   (HexValue(text[i + 1]) | HexValue(text[i + 2])) != 0) {
            out += static_cast<wchar_t>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

CString DecodeSavedChanges(const CString& text)
{
    CString decoded = UrlDecode(text);
    decoded.Replace(L"[SYS__CR__]", L"\n");
    return decoded;
}
