// EncodingConvert: converts byte strings between code pages through a UTF-16LE hub, using the
// packed mapping tables, the Unicode codecs and the ISO-2022 rewriters. No system conversion
// service is used; callers pass the ANSI page (GetACP) as a plain number.
#pragma once
#include <cstdint>

class DataBuffer;
class HashConvert;
class UnicodeLookup;

class EncodingConvert
{
public:
    EncodingConvert() {}
    virtual ~EncodingConvert() {}

    // Appends the conversion of the bytes to out; true when every character was converted.
    bool EncConvert(int fromPage, int toPage, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool EncConvertCharset(const char* charset, int toPage, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool convertViaUnicode(int fromPage, int toPage, const unsigned char* bytes, uint32_t length, DataBuffer& out);

    // Table-driven stages of the hub.
    bool codePageToUtf16(int page, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool utf16ToCodePage(int page, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool singleByteToUtf16(const UnicodeLookup* lookup, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool multiByteToUtf16(const HashConvert* table, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool utf16ToTablePage(const HashConvert* table, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool utf8ToUtf16(const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool utf16ToUtf8(const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool utf8ToUtf8(const unsigned char* bytes, uint32_t length, DataBuffer& out);
    // The two-stage routes page -> UTF-16 -> UTF-8 and UTF-8 -> UTF-16 -> page in one pass.
    bool codePageToUtf8(int page, const unsigned char* bytes, uint32_t length, DataBuffer& out);
    bool utf8ToCodePage(int page, const unsigned char* bytes, uint32_t length, DataBuffer& out);

    // Table packages and the process-wide cache.
    static void unpackTable(const char* packageText, HashConvert& table, bool toPageDirection);
    static void loadToCodePageTable(int page);
    static void loadFromCodePageTable(int page);
    static void fillByteTable(const HashConvert& table, UnicodeLookup& lookup);

    // Cached tables (NULL until built).
    static const HashConvert* toPageTable(int page);
    static const UnicodeLookup* singleByteFromTable(int page);
    static const HashConvert* multiByteFromTable(int page);
    static bool isSingleBytePage(int page);
    static bool isMultiBytePage(int page);
    // Number of tables built so far, for checking that the cache builds each table once.
    static int tablesBuilt();
};
