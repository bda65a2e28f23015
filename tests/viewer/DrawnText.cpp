// Text records of an enhanced metafile: each EMR_EXTTEXTOUTW gives a reference point, the
// characters and the advance after each.
#include "DrawnText.h"
#include "viewer/PageRenderer.h"
#include <windows.h>
#include <algorithm>

namespace {
const double kScale = 2; // metafile units per point

int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* record, int, LPARAM found)
{
    if (record->iType != EMR_EXTTEXTOUTW) return 1;
    auto* text = reinterpret_cast<const EMREXTTEXTOUTW*>(record);
    const BYTE* base = reinterpret_cast<const BYTE*>(record);
    const wchar_t* characters = reinterpret_cast<const wchar_t*>(base + text->emrtext.offString);
    const INT* dx = text->emrtext.offDx ? reinterpret_cast<const INT*>(base + text->emrtext.offDx) : nullptr;
    double x = text->emrtext.ptlReference.x;
    for (DWORD i = 0; i < text->emrtext.nChars; ++i) {
        reinterpret_cast<std::vector<DrawnCharacter>*>(found)->push_back(
            {characters[i], x / kScale, text->emrtext.ptlReference.y / kScale});
        if (dx) x += dx[i];
    }
    return 1;
}
} // namespace

std::vector<DrawnCharacter> DrawnCharacters(const pdf::FormDocument& doc)
{
    std::vector<DrawnCharacter> drawn;
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!dc) return drawn;
    viewer::PagePlacement place;
    place.scale = kScale;
    place.pageHeight = doc.pages[0].box[3];
    viewer::DrawFormPage(dc, doc, 0, place, false);
    HENHMETAFILE file = CloseEnhMetaFile(dc);
    EnumEnhMetaFile(nullptr, file, CollectText, &drawn, nullptr);
    DeleteEnhMetaFile(file);
    return drawn;
}

std::wstring DrawnTextIn(const std::vector<DrawnCharacter>& drawn, double left, double top, double right, double bottom)
{
    std::vector<DrawnCharacter> inside;
    for (const DrawnCharacter& c : drawn)
        if (c.x >= left && c.x < right && c.baseline >= top && c.baseline <= bottom && c.character != L' ') inside.push_back(c);
    std::stable_sort(inside.begin(), inside.end(), [](const DrawnCharacter& a, const DrawnCharacter& b) { return a.x < b.x; });
    std::wstring text;
    for (const DrawnCharacter& c : inside) text += c.character;
    return text;
}

std::wstring PlainWord(const std::string& utf8)
{
    std::string bytes = utf8;
    const std::pair<const char*, const char*> entities[] = {{"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}};
    for (const auto& entity : entities)
        for (size_t at = bytes.find(entity.first); at != std::string::npos; at = bytes.find(entity.first, at + 1))
            bytes.replace(at, strlen(entity.first), entity.second);
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), &wide[0], static_cast<int>(wide.size()));
    const wchar_t* ligatures[] = {L"ff", L"fi", L"fl", L"ffi", L"ffl"};
    std::wstring out;
    for (wchar_t c : wide) out += c >= 0xFB00 && c <= 0xFB04 ? ligatures[c - 0xFB00] : std::wstring(1, c);
    return out;
}
