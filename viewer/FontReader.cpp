// Font dictionaries to PageFont: simple fonts code by code, two-byte fonts through their CMaps.
#include "viewer/FontReader.h"
#include "viewer/GlyphNames.h"
#include "viewer/PdfDocument.h"
#include "viewer/TrueTypeCmap.h"
#include <cstdlib>
#include <cstring>

namespace pdf {

namespace {
const unsigned kMaxCid = 0xFFFF;

double NumberOf(const ObjectPtr& obj, double otherwise) { return obj->kind == Kind::Number ? obj->number : otherwise; }

// pdfTeX names the glyphs of its bitmap (Type 3) fonts "a" and their code.
bool IsTexBitmapName(const std::string& name)
{
    return name.size() >= 2 && name[0] == 'a' && std::strspn(name.c_str() + 1, "0123456789") == name.size() - 1;
}

// The TeX text encoding a bitmap font is in: T1 where it uses codes above 0x7F or T1's ligature
// places, OT1 where it uses only OT1's ligature places among the low codes.
BaseEncoding TexEncodingOf(const std::vector<int>& codes)
{
    bool t1 = false, ot1 = false;
    for (int code : codes) {
        if (code >= 0x80 || (code >= 0x1B && code <= 0x1F)) t1 = true;
        if (code >= 0x0B && code <= 0x0F) ot1 = true;
    }
    return ot1 && !t1 ? BaseEncoding::TexOT1 : BaseEncoding::TexT1;
}

class FontDictReader
{
public:
    FontDictReader(Document& doc, const ObjectPtr& font) : m_doc(doc), m_font(font) {}

    PageFont Read()
    {
        std::string subtype = Name(m_font->Get("Subtype"));
        ObjectPtr described = m_font;
        ObjectPtr descendants = m_doc.Resolve(m_font->Get("DescendantFonts"));
        if (descendants->kind == Kind::Array && !descendants->items.empty()) described = m_doc.Resolve(descendants->items[0]);
        ObjectPtr descriptor = described->kind == Kind::Dict ? m_doc.Resolve(described->Get("FontDescriptor")) : MakeNull();
        int flags = descriptor->kind == Kind::Dict ? static_cast<int>(NumberOf(m_doc.Resolve(descriptor->Get("Flags")), 0)) : 0;
        PageFont font = NearestSystemFont(Name(m_font->Get("BaseFont")), flags);

        auto codes = std::make_shared<FontCodes>();
        ObjectPtr toUnicode = m_doc.Resolve(m_font->Get("ToUnicode"));
        if (toUnicode->kind == Kind::Stream) codes->toUnicode = std::make_shared<CMap>(CMap::Parse(m_doc.DecodeStream(*toUnicode)));
        if (subtype == "Type0") {
            ReadComposite(*codes, described);
        } else {
            bool texBitmap = false;
            bool described = ReadSimpleEncoding(*codes, subtype, descriptor, texBitmap);
            ReadSimpleWidths(*codes, subtype);
            if (texBitmap) font.face = L"Times New Roman"; // TeX's Computer Modern
            // Symbol and dingbat fonts without a map of their own keep their codes as they are.
            bool hasMap = described || codes->toUnicode;
            if (!hasMap && (font.symbolic || codes->widths.empty())) return font;
            if (!described && !font.symbolic) codes->texts = EncodingTexts(BaseEncoding::WinAnsi);
        }
        font.codes = codes;
        return font;
    }

private:
    std::string Name(const ObjectPtr& obj)
    {
        ObjectPtr resolved = m_doc.Resolve(obj);
        return resolved->kind == Kind::Name ? resolved->text : std::string();
    }

    // The text of each code: base encoding, then differences. False when the font names no
    // encoding of any kind (the caller keeps its old reading).
    bool ReadSimpleEncoding(FontCodes& codes, const std::string& subtype, const ObjectPtr& descriptor, bool& texBitmap)
    {
        ObjectPtr encoding = m_doc.Resolve(m_font->Get("Encoding"));
        BaseEncoding base = subtype == "TrueType" ? BaseEncoding::WinAnsi : BaseEncoding::Standard;
        bool named = false;
        if (encoding->kind == Kind::Name) named = EncodingByName(encoding->text, base);
        else if (encoding->kind == Kind::Dict) named = EncodingByName(Name(encoding->Get("BaseEncoding")), base);
        if (named || subtype != "Type3") codes.texts = EncodingTexts(base);
        bool builtIn = !named && BuiltInEncoding(codes, descriptor);
        if (encoding->kind != Kind::Dict) return named || builtIn;

        ObjectPtr differences = m_doc.Resolve(encoding->Get("Differences"));
        if (differences->kind != Kind::Array) return true;
        int code = 0;
        std::vector<int> texCodes;
        bool allTex = subtype == "Type3";
        for (const ObjectPtr& item : differences->items) {
            ObjectPtr entry = m_doc.Resolve(item);
            if (entry->kind == Kind::Number) {
                code = static_cast<int>(entry->number);
            } else if (entry->kind == Kind::Name) {
                if (code >= 0 && code < 256) {
                    codes.texts[code] = GlyphNameText(entry->text);
                    if (entry->text != ".notdef") {
                        if (IsTexBitmapName(entry->text)) texCodes.push_back(code);
                        else allTex = false;
                    }
                }
                ++code;
            }
        }
        // pdfTeX's bitmap fonts name glyphs by code: read the codes in the TeX encoding they are in.
        if (allTex && !texCodes.empty()) {
            const CodeTexts& tex = EncodingTexts(TexEncodingOf(texCodes));
            for (int c : texCodes) codes.texts[c] = tex[c];
            texBitmap = true;
        }
        return true;
    }

    // The encoding an embedded Type 1 program carries, for a font that names no base encoding.
    bool BuiltInEncoding(FontCodes& codes, const ObjectPtr& descriptor)
    {
        if (descriptor->kind != Kind::Dict) return false;
        ObjectPtr program = m_doc.Resolve(descriptor->Get("FontFile"));
        if (program->kind != Kind::Stream) return false;
        std::string names[256];
        std::string bytes = m_doc.DecodeStream(*program);
        long clear = static_cast<long>(NumberOf(m_doc.Resolve(program->Get("Length1")), static_cast<double>(bytes.size())));
        if (clear > 0 && static_cast<size_t>(clear) < bytes.size()) bytes.resize(static_cast<size_t>(clear));
        if (!Type1BuiltInEncoding(bytes, names)) return false;
        for (int c = 0; c < 256; ++c) codes.texts[c] = names[c].empty() ? std::wstring() : GlyphNameText(names[c]);
        return true;
    }

    // /Widths from /FirstChar, in text space units: thousandths, or glyph units through a Type 3
    // font's matrix.
    void ReadSimpleWidths(FontCodes& codes, const std::string& subtype)
    {
        ObjectPtr widths = m_doc.Resolve(m_font->Get("Widths"));
        if (widths->kind != Kind::Array) return;
        double scale = 0.001;
        if (subtype == "Type3") {
            ObjectPtr matrix = m_doc.Resolve(m_font->Get("FontMatrix"));
            scale = matrix->kind == Kind::Array && !matrix->items.empty() ? NumberOf(m_doc.Resolve(matrix->items[0]), 0.001) : 0.001;
        }
        codes.firstChar = static_cast<int>(NumberOf(m_doc.Resolve(m_font->Get("FirstChar")), 0));
        for (const ObjectPtr& w : widths->items) codes.widths.push_back(NumberOf(m_doc.Resolve(w), 0) * scale);
    }

    void ReadComposite(FontCodes& codes, const ObjectPtr& cidFont)
    {
        codes.composite = true;
        ObjectPtr encoding = m_doc.Resolve(m_font->Get("Encoding"));
        if (encoding->kind == Kind::Stream) codes.encoding = CMap::Parse(m_doc.DecodeStream(*encoding));
        if (cidFont->kind != Kind::Dict) return;
        codes.defaultWidth = NumberOf(m_doc.Resolve(cidFont->Get("DW")), 1000) / 1000;
        // /W: "c [w1 w2 ...]" gives CIDs from c their widths, "c1 c2 w" one width to a range.
        ObjectPtr w = m_doc.Resolve(cidFont->Get("W"));
        unsigned long budget = 0x40000; // widths set, whatever the ranges: damaged ones stop here
        if (w->kind == Kind::Array) {
            const Array& items = w->items;
            for (size_t i = 0; i + 1 < items.size();) {
                ObjectPtr first = m_doc.Resolve(items[i]), next = m_doc.Resolve(items[i + 1]);
                if (first->kind != Kind::Number) break;
                unsigned cid = static_cast<unsigned>(first->number);
                if (next->kind == Kind::Array) {
                    for (const ObjectPtr& width : next->items) {
                        if (cid > kMaxCid || budget-- == 0) break;
                        codes.cidWidths[cid++] = NumberOf(m_doc.Resolve(width), 0) / 1000;
                    }
                    i += 2;
                } else if (i + 2 < items.size() && next->kind == Kind::Number) {
                    unsigned last = static_cast<unsigned>(next->number);
                    double width = NumberOf(m_doc.Resolve(items[i + 2]), 0) / 1000;
                    for (unsigned c = cid; c <= last && c <= kMaxCid && budget > 0; ++c, --budget) codes.cidWidths[c] = width;
                    i += 3;
                } else {
                    break;
                }
            }
        }
        ObjectPtr system = m_doc.Resolve(cidFont->Get("CIDSystemInfo"));
        std::string ordering;
        if (system->kind == Kind::Dict) {
            ObjectPtr o = m_doc.Resolve(system->Get("Ordering"));
            if (o->kind == Kind::String) ordering = o->text;
        }
        codes.cidIsUnicode = ordering == "UCS" || ordering == "UCS2" || ordering == "Unicode";
        if (!codes.cidIsUnicode && !(codes.toUnicode && codes.toUnicode->HasText())) ReadCidCharacters(codes, cidFont);
    }

    // A TrueType program's glyphs back to characters, CIDs to glyphs through /CIDToGIDMap (the
    // same numbers where it is /Identity or missing).
    void ReadCidCharacters(FontCodes& codes, const ObjectPtr& cidFont)
    {
        ObjectPtr descriptor = m_doc.Resolve(cidFont->Get("FontDescriptor"));
        ObjectPtr program = descriptor->kind == Kind::Dict ? m_doc.Resolve(descriptor->Get("FontFile2")) : MakeNull();
        if (program->kind != Kind::Stream) return;
        std::map<unsigned, unsigned long> glyphs = GlyphCharacters(m_doc.DecodeStream(*program));
        ObjectPtr map = m_doc.Resolve(cidFont->Get("CIDToGIDMap"));
        if (map->kind != Kind::Stream) {
            codes.cidCharacters = glyphs;
            return;
        }
        std::string gids = m_doc.DecodeStream(*map);
        for (size_t cid = 0; cid + 1 < gids.size(); cid += 2) {
            unsigned gid = static_cast<unsigned char>(gids[cid]) << 8 | static_cast<unsigned char>(gids[cid + 1]);
            auto character = glyphs.find(gid);
            if (gid && character != glyphs.end()) codes.cidCharacters[static_cast<unsigned>(cid / 2)] = character->second;
        }
    }

    Document& m_doc;
    ObjectPtr m_font;
};
} // namespace

bool Type1BuiltInEncoding(const std::string& program, std::string (&names)[256])
{
    size_t at = program.find("/Encoding");
    if (at == std::string::npos) return false;
    bool any = false;
    // Each entry: "dup <code> /<name> put"; the array ends at "readonly def" or "def".
    size_t end = program.find(" def", at);
    if (end == std::string::npos) end = program.size();
    for (size_t dup = program.find("dup ", at); dup != std::string::npos && dup < end; dup = program.find("dup ", dup + 4)) {
        char* after = nullptr;
        long code = std::strtol(program.c_str() + dup + 4, &after, 10);
        while (*after == ' ') ++after;
        if (*after != '/' || code < 0 || code > 255) continue;
        size_t nameStart = after + 1 - program.c_str(), nameEnd = nameStart;
        while (nameEnd < program.size() && !IsPdfWhitespace(program[nameEnd]) && !IsPdfDelimiter(program[nameEnd])) ++nameEnd;
        names[code] = program.substr(nameStart, nameEnd - nameStart);
        any = true;
    }
    return any;
}

PageFont ReadPageFont(Document& doc, const ObjectPtr& font)
{
    return FontDictReader(doc, font).Read();
}

} // namespace pdf
