// The XML file loader: reads a whole file, brings it to UTF-8 by its byte-order mark or the
// encoding its declaration names, and parses it.
#include "xml/TreeNode.h"
#include "xml/ParseEngine.h"
#include "xml/PageConvert.h"
#include "xml/WinFiles.h"
#include "xml/LogBase.h"
#include <string.h>

namespace {

const int kUtf16LE = 1200, kUtf16BE = 1201, kUtf8 = 65001, kUtf32LE = 65005, kUtf32BE = 65006;

bool startsWith(DataBuffer& data, const unsigned char* mark, uint32_t n)
{
    return data.getSize() >= n && memcmp(data.getData(), mark, n) == 0;
}

// Replaces the data by its conversion from the page (or the named charset) to UTF-8; false, the
// data unchanged, when memory ran out and the conversion is incomplete.
bool convertToUtf8(DataBuffer& data, int page, const char* charset)
{
    DataBuffer converted;
    if (charset)
        convertCharset(charset, kUtf8, data.getData(), data.getSize(), converted);
    else
        convertPages(page, kUtf8, data.getData(), data.getSize(), converted);
    if (converted.lostBytes())
        return false;
    data.takeFrom(converted);
    return true;
}

// The value of encoding= in the "<?xml" declaration, lower case without spaces; empty when none or
// when its quote is never closed. False when memory ran out, so that the answer would be a guess.
// The data is searched in place, up to its first zero byte: a large file is not copied for this.
bool findDeclaredEncoding(DataBuffer& data, kit::StringBuffer& encoding)
{
    const char* bytes = reinterpret_cast<const char*>(data.getData());
    const char* end = bytes + data.getSize();
    if (const void* zero = memchr(bytes, 0, data.getSize()))
        end = static_cast<const char*>(zero);
    const char* start = nullptr;
    for (const char* p = bytes; end - p >= 5 && !start; ++p)
        if (p[0] == '<' && p[1] == '?' && toUpperAscii(p[2]) == 'X' && toUpperAscii(p[3]) == 'M' &&
            toUpperAscii(p[4]) == 'L')
            start = p;
    if (!start)
        return true;
    const char* close = static_cast<const char*>(memchr(start, '>', end - start));
    if (!close)
        return true;
    kit::StringBuffer decl;
    decl.appendN(start, (int)(close - start));
    decl.removeChar(' ');
    decl.toLowerCase();
    const char* p = strstr(sbText(decl), "encoding=\"");
    if (!p)
        p = strstr(sbText(decl), "encoding='");
    if (!p)
        return true;
    // The value runs to the partner of its own quote: encoding='x' standalone="no" names x.
    char quote = p[9];
    p += 10;
    if (const char* end = strchr(p, quote))
        encoding.appendN(p, (int)(end - p));
    return !decl.lostBytes() && !encoding.lostBytes();
}

// Whether the text holds the character U+0000: a zero unit of the form its byte-order mark names
// (UTF-32 or UTF-16, either order), else a zero byte.
bool holdsNulCharacter(DataBuffer& data)
{
    static const unsigned char kUtf32LEMark[] = {0xFF, 0xFE, 0, 0};
    static const unsigned char kUtf32BEMark[] = {0, 0, 0xFE, 0xFF};
    static const unsigned char kUtf16LEMark[] = {0xFF, 0xFE};
    static const unsigned char kUtf16BEMark[] = {0xFE, 0xFF};
    const unsigned char* p = data.getData();
    uint32_t n = data.getSize();
    uint32_t unit = 1;
    if (startsWith(data, kUtf32LEMark, 4) || startsWith(data, kUtf32BEMark, 4))
        unit = 4;
    else if (startsWith(data, kUtf16LEMark, 2) || startsWith(data, kUtf16BEMark, 2))
        unit = 2;
    if (unit == 1)
        return n > 0 && memchr(p, 0, n) != nullptr;
    for (uint32_t i = unit; i + unit <= n; i += unit) {
        uint32_t k = 0;
        while (k < unit && p[i + k] == 0)
            ++k;
        if (k == unit)
            return true;
    }
    return false;
}

bool isWideUnicodePage(int page)
{
    return page == kUtf16LE || page == kUtf16BE || page == kUtf32LE || page == kUtf32BE || page == 12000 ||
           page == 12001;
}

} // namespace

bool TreeNode::decodeToUtf8(DataBuffer& data, LogBase* log, bool* converted)
{
    static const unsigned char kUtf32LEMark[] = {0xFF, 0xFE, 0, 0};
    static const unsigned char kUtf32BEMark[] = {0, 0, 0xFE, 0xFF};
    static const unsigned char kUtf16LEMark[] = {0xFF, 0xFE};
    static const unsigned char kUtf16BEMark[] = {0xFE, 0xFF};
    static const unsigned char kUtf8Mark[] = {0xEF, 0xBB, 0xBF};
    if (converted)
        *converted = false;
    if (data.getSize() == 0)
        return false;
    int page = 0;
    if (startsWith(data, kUtf32LEMark, 4))
        page = kUtf32LE;
    else if (startsWith(data, kUtf32BEMark, 4))
        page = kUtf32BE;
    else if (startsWith(data, kUtf16LEMark, 2))
        page = kUtf16LE;
    else if (startsWith(data, kUtf16BEMark, 2))
        page = kUtf16BE;
    if (page) {
        if (!convertToUtf8(data, page, nullptr))
            return false;
        if (converted)
            *converted = true;
        return true;
    }
    if (startsWith(data, kUtf8Mark, 3)) {
        data.removeFront(3);
        return true;
    }
    kit::StringBuffer encoding;
    if (!findDeclaredEncoding(data, encoding))
        return false;
    if (sbLength(encoding) == 0 || encoding.equalsIgnoreCase("utf-8"))
        return true;
    int declared = charsetPage(sbText(encoding));
    // A 16- or 32-bit encoding without its byte-order mark is not what the bytes are: they are read
    // as they stand.
    if (declared == 0 || declared == kUtf8 || isWideUnicodePage(declared))
        return true;
    if (!convertToUtf8(data, 0, sbText(encoding)))
        return false;
    if (converted)
        *converted = true;
    return true;
}

bool TreeNode::loadFileToUtf8(const char* utf8Path, DataBuffer& data, LogBase* log)
{
    if (!loadFileToBufferUtf8(data, utf8Path, log))
        return false;
    return decodeToUtf8(data, log);
}

bool TreeNode::loadXmlFile(const char* utf8Path, LogBase* log, ProgressMonitor* monitor, TreeNode*& root, bool trim)
{
    root = nullptr;
    DataBuffer data;
    if (!loadFileToBufferUtf8(data, utf8Path, log))
        return false;
    // A NUL is no XML character: rather than cut the document short at it (or drop it in a
    // conversion), the load fails.
    if (holdsNulCharacter(data)) {
        if (log)
            log->logError("The document holds a NUL character");
        return false;
    }
    bool converted = false;
    if (!decodeToUtf8(data, log, &converted))
        return false;
    ParseEngine engine(data);
    if ((uint32_t)(engine.end() - engine.cursor()) != data.getSize()) {
        if (log)
            log->logError("Out of memory reading the document");
        return false;
    }
    bool ok = parseXmlText(engine, log, monitor, root, trim);
    if (ok && root) {
        kit::StringBuffer encoding;
        bool found = false;
        root->getDeclEncoding(encoding, found);
        // The tree now holds UTF-8, and its declaration must not claim otherwise.
        if (found && (converted || encoding.equalsIgnoreCase("utf-16") || encoding.equalsIgnoreCase("ucs-2") ||
                      encoding.equalsIgnoreCase("unicode")))
            root->setDeclEncoding("utf-8");
    }
    return ok;
}
