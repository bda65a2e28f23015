// Command words, ids and the decoding of "app:" texts.
#include "bridge/AppCommand.h"
#include "framework/TextEscapes.h"

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
    PercentDecoding how;
    how.plusIsBlank = true;
    how.keepNul = true;
    return CString(DecodePercentEscapes(std::wstring(text.GetString(), text.GetLength()), how).c_str());
}

CString DecodeSavedChanges(const CString& text)
{
    CString decoded = UrlDecode(text);
    decoded.Replace(L"[SYS__CR__]", L"\n");
    return decoded;
}
