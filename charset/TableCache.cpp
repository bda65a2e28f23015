// The process-wide table cache: unpacking a page's package and indexing it into a HashConvert
// (page direction) or a UnicodeLookup / HashConvert (UTF-16 direction), once per page and direction.
#include <cstring>
#include <new>
#include "charset/CodePagePackages.h"
#include "charset/EncodingConvert.h"
#include "charset/HashConvert.h"
#include "charset/KitBzip2.h"
#include "kit/ContentCoding.h"
#include "kit/DataBuffer.h"
#include "kit/StringBuffer.h"

namespace {

const int kSingleBytePages[] = {
    37,    437,   500,   708,   720,   737,   775,   850,   852,   855,   857,   858,   860,   861,   862,   863,
    864,   865,   866,   869,   870,   874,   875,   1026,  1047,  1140,  1141,  1142,  1143,  1144,  1145,  1146,
    1147,  1148,  1149,  1250,  1251,  1252,  1253,  1254,  1255,  1256,  1257,  1258,  10000, 10004, 10005, 10006,
    10007, 10010, 10017, 10021, 10029, 10079, 10081, 10082, 20105, 20106, 20107, 20108, 20127, 20273, 20277, 20278,
    20280, 20284, 20285, 20290, 20297, 20420, 20423, 20424, 20838, 20866, 20871, 20880, 20905, 20924, 21025, 21866,
    28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28600, 28601, 28603, 28605, 38598};
const int kSingleByteCount = sizeof kSingleBytePages / sizeof kSingleBytePages[0];

struct MultiBytePage
{
    int page;
    uint32_t toBuckets;
    uint32_t fromBuckets;
};
const MultiBytePage kMultiBytePages[] = {{932, 7669, 4919},  {949, 7669, 7669},   {51949, 7669, 7669},
                                         {1361, 7669, 7669}, {936, 7649, 7649},   {950, 7649, 7649},
                                         {51936, 7649, 7649}, {51932, 4919, 4919}, {10001, 4919, 4919},
                                         // T.61 and ISO 6937: an accent byte leads the letter it marks.
                                         {20261, 269, 283},  {20269, 269, 283}};
const int kMultiByteCount = sizeof kMultiBytePages / sizeof kMultiBytePages[0];

const uint32_t kSingleByteToBuckets = 269;
const uint32_t kSingleByteTempBuckets = 283;

struct Slots
{
    HashConvert* toPage;
    UnicodeLookup* singleFrom;
    HashConvert* multiFrom;
};
// One pair of slots per page with a table; 52936 uses the pair of 936. Built on first use, never freed.
Slots g_singleSlots[kSingleByteCount];
Slots g_multiSlots[kMultiByteCount];
int g_tablesBuilt = 0;

int cachePage(int page) { return page == 52936 ? 936 : page; }

Slots* slotsOf(int page)
{
    page = cachePage(page);
    for (int i = 0; i < kSingleByteCount; i++)
        if (kSingleBytePages[i] == page)
            return &g_singleSlots[i];
    for (int i = 0; i < kMultiByteCount; i++)
        if (kMultiBytePages[i].page == page)
            return &g_multiSlots[i];
    return nullptr;
}

const MultiBytePage* multiBytePage(int page)
{
    page = cachePage(page);
    for (int i = 0; i < kMultiByteCount; i++)
        if (kMultiBytePages[i].page == page)
            return &kMultiBytePages[i];
    return nullptr;
}

// Joins a package's pieces into one text.
bool packageText(const CodePagePackage* package, kit::StringBuffer& text)
{
    if (!package)
        return false;
    for (int i = 0; i < package->pieceCount; i++)
        text.append(package->pieces[i]);
    return text.getSize() > 0;
}

void unpackPackage(const CodePagePackage* package, HashConvert& table, bool toPageDirection)
{
    kit::StringBuffer text;
    if (packageText(package, text))
        EncodingConvert::unpackTable(text.pointerAt(0), table, toPageDirection);
}

uint16_t readU16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

// Records of the delta layout: single bytes, then double-byte codes, each as running sums.
void parseDeltaTable(const unsigned char* t, uint32_t size, HashConvert& table, bool toPage)
{
    uint32_t pos = 2;
    unsigned char byte = 0;
    uint16_t unit = 0;
    while (pos < size) {
        unsigned char delta = t[pos];
        if (delta == 0) {
            pos++;
            break;
        }
        if (pos + 3 > size)
            return;
        byte = (unsigned char)(byte + delta);
        unit = (uint16_t)(unit + readU16(t + pos + 1));
        pos += 3;
        unsigned char u[2] = {(unsigned char)unit, (unsigned char)(unit >> 8)};
        if (toPage)
            table.insert(u, 2, &byte, 1);
        else
            table.insert(&byte, 1, u, 2);
    }
    uint16_t code = 0;
    unit = 0;
    while (pos + 2 <= size) {
        uint16_t delta = readU16(t + pos);
        if (delta == 0)
            break;
        if (pos + 4 > size)
            return;
        code = (uint16_t)(code + delta);
        unit = (uint16_t)(unit + readU16(t + pos + 2));
        pos += 4;
        unsigned char u[2] = {(unsigned char)unit, (unsigned char)(unit >> 8)};
        unsigned char c[2] = {(unsigned char)(code >> 8), (unsigned char)code};
        if (toPage)
            table.insert(u, 2, c, 2);
        else
            table.insert(c, 2, u, 2);
    }
}

// Records of the patch layout (page direction only): removals, then single-byte and double-byte
// replacements.
void parsePatchTable(const unsigned char* t, uint32_t size, HashConvert& table)
{
    uint32_t pos = 2;
    while (pos + 2 <= size) {
        uint16_t unit = readU16(t + pos);
        pos += 2;
        if (unit == 0)
            break;
        table.remove(t + pos - 2, 2);
    }
    while (pos < size) {
        if (t[pos] == 0) {
            pos++;
            break;
        }
        if (pos + 3 > size)
            return;
        table.remove(t + pos + 1, 2);
        table.insert(t + pos + 1, 2, t + pos, 1);
        pos += 3;
    }
    while (pos + 2 <= size) {
        if (t[pos] == 0 && t[pos + 1] == 0)
            break;
        if (pos + 4 > size)
            return;
        table.remove(t + pos + 2, 2);
        table.insert(t + pos + 2, 2, t + pos, 2);
        pos += 4;
    }
}

} // namespace

void EncodingConvert::unpackTable(const char* packageText, HashConvert& table, bool toPageDirection)
{
    if (!packageText || !*packageText)
        return;
    ContentCoding coding;
    uint32_t decodedLength = 0;
    unsigned char* decoded = coding.decodeBase64(packageText + 1, (uint32_t)strlen(packageText + 1), &decodedLength);
    if (!decoded)
        return;
    DataBuffer payload;
    payload.takeOwnership(decoded, decodedLength);
    if (decodedLength == 0)
        return;
    DataBuffer unpacked;
    const DataBuffer* tableBytes = &payload;
    if (packageText[0] != 'x') {
        KitBzip2 unpacker;
        // A package that does not unpack leaves the table empty.
        if (!unpacker.unpackPackage(payload, unpacked))
            return;
        tableBytes = &unpacked;
    }
    const unsigned char* t = tableBytes->getData();
    uint32_t size = tableBytes->getSize();
    if (!t || size < 2)
        return;
    table.setAsciiCompatible(t[0] == 'a');
    if (t[1] == 'd') {
        if (toPageDirection)
            parsePatchTable(t, size, table);
    } else {
        parseDeltaTable(t, size, table, toPageDirection);
    }
}

void EncodingConvert::fillByteTable(const HashConvert& table, UnicodeLookup& lookup)
{
    for (int b = 1; b < 256; b++) {
        if (table.isAsciiCompatible() && b < 0x80) {
            lookup.m_units[b] = (uint16_t)b;
            continue;
        }
        unsigned char key = (unsigned char)b, value[4];
        int length = 0;
        table.lookup(&key, 1, value, &length);
        lookup.m_units[b] = length == 2 ? readU16(value) : 0;
    }
    lookup.m_asciiIdentity = true;
    for (int b = 1; b < 0x80; b++)
        lookup.m_asciiIdentity = lookup.m_asciiIdentity && lookup.m_units[b] == b;
}

void EncodingConvert::loadToCodePageTable(int page)
{
    Slots* slots = slotsOf(page);
    if (!slots || slots->toPage)
        return;
    const CodePagePackage* package = findCodePagePackage(cachePage(page));
    if (!package)
        return;
    const MultiBytePage* multi = multiBytePage(page);
    HashConvert* table = new (std::nothrow) HashConvert;
    if (!table)
        return;
    table->allocate(multi ? multi->toBuckets : kSingleByteToBuckets);
    unpackPackage(package, *table, true);
    if (cachePage(page) == 10001)
        unpackPackage(findMacJapanesePatch(), *table, true);
    table->unitEncodeIndex(); // complete before it is shared: readers never write to it
    slots->toPage = table;
    g_tablesBuilt++;
}

void EncodingConvert::loadFromCodePageTable(int page)
{
    Slots* slots = slotsOf(page);
    if (!slots || slots->singleFrom || slots->multiFrom)
        return;
    const CodePagePackage* package = findCodePagePackage(cachePage(page));
    if (!package)
        return;
    const MultiBytePage* multi = multiBytePage(page);
    if (!multi) {
        UnicodeLookup* lookup = new (std::nothrow) UnicodeLookup;
        if (!lookup)
            return;
        HashConvert temporary;
        temporary.allocate(kSingleByteTempBuckets);
        unpackPackage(package, temporary, false);
        fillByteTable(temporary, *lookup);
        slots->singleFrom = lookup;
        g_tablesBuilt++;
        return;
    }
    HashConvert* table = new (std::nothrow) HashConvert;
    if (!table)
        return;
    table->allocate(multi->fromBuckets);
    if (cachePage(page) == 10001) {
        // Mac Japanese decodes by the inverse of its page-direction table.
        loadToCodePageTable(page);
        if (slots->toPage)
            slots->toPage->copyInverted(*table);
    } else {
        unpackPackage(package, *table, false);
    }
    table->longKeyStarts(); // complete before it is shared: readers never write to it
    slots->multiFrom = table;
    g_tablesBuilt++;
}

const HashConvert* EncodingConvert::toPageTable(int page)
{
    Slots* slots = slotsOf(page);
    return slots ? slots->toPage : nullptr;
}

const UnicodeLookup* EncodingConvert::singleByteFromTable(int page)
{
    Slots* slots = slotsOf(page);
    return slots ? slots->singleFrom : nullptr;
}

const HashConvert* EncodingConvert::multiByteFromTable(int page)
{
    Slots* slots = slotsOf(page);
    return slots ? slots->multiFrom : nullptr;
}

bool EncodingConvert::isSingleBytePage(int page)
{
    for (int p : kSingleBytePages)
        if (p == page)
            return true;
    return false;
}

bool EncodingConvert::isMultiBytePage(int page) { return multiBytePage(page) != nullptr && page != 52936; }

int EncodingConvert::tablesBuilt() { return g_tablesBuilt; }
