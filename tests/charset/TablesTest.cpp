// HashConvert, package reading and the table cache.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "charset/EncodingConvert.h"
#include "charset/HashConvert.h"
#include "charset/KitBzip2.h"
#include "kit/DataBuffer.h"

namespace {
std::string found(const HashConvert& t, const char* key, int keyLength)
{
    unsigned char value[256];
    int n = -1;
    t.lookup((const unsigned char*)key, keyLength, value, &n);
    return std::string((const char*)value, n);
}
}

TEST(HashConvertTest, InsertRemoveLookupFirstMatch)
{
    HashConvert t;
    t.insert((const unsigned char*)"a", 1, (const unsigned char*)"x", 1);
    EXPECT_EQ("", found(t, "a", 1)); // no buckets yet: nothing stored

    t.allocate(3);
    t.insert((const unsigned char*)"a", 1, (const unsigned char*)"x", 1);
    t.insert((const unsigned char*)"a", 1, (const unsigned char*)"yy", 2);
    t.insert((const unsigned char*)"ab", 2, (const unsigned char*)"z", 1);
    t.insert((const unsigned char*)"\x03", 1, (const unsigned char*)"w", 1); // same bucket as "\0"
    EXPECT_EQ("x", found(t, "a", 1));
    EXPECT_EQ("z", found(t, "ab", 2));
    EXPECT_EQ("", found(t, "ab", 1 + 1 + 1));
    EXPECT_EQ(1 + 1 + 1 + 1 + (1 + 1 + 1 + 2) + 1u, t.bucketSize('a' % 3));
    t.remove((const unsigned char*)"a", 1);
    EXPECT_EQ("", found(t, "a", 1));
    EXPECT_EQ(0u, t.bucketSize('a' % 3)); // both entries of "a" went
    EXPECT_EQ("w", found(t, "\x03", 1));
    t.remove((const unsigned char*)"\x03", 1);
    EXPECT_EQ(1 + 2 + 1 + 1 + 1u, t.bucketSize(0)); // "ab" shares that bucket
    t.remove((const unsigned char*)"q", 1); // absent: no change
    EXPECT_EQ("z", found(t, "ab", 2));

    HashConvert inverse;
    inverse.allocate(5);
    t.setAsciiCompatible(true);
    t.copyInverted(inverse);
    EXPECT_EQ("ab", found(inverse, "z", 1));
    EXPECT_FALSE(inverse.isAsciiCompatible());
    t.clear();
    EXPECT_EQ(0u, t.bucketCount());
}

TEST(PackageReading, PlainPackageAndBadPackages)
{
    HashConvert toPage;
    toPage.allocate(269);
    EncodingConvert::unpackTable("xYXUgoAAAAAA=", toPage, true);
    EXPECT_TRUE(toPage.isAsciiCompatible());
    EXPECT_EQ(" ", found(toPage, "\xA0\x00", 2));

    HashConvert fromPage;
    fromPage.allocate(283);
    EncodingConvert::unpackTable("xYXUgoAAAAAA=", fromPage, false);
    UnicodeLookup lookup;
    EncodingConvert::fillByteTable(fromPage, lookup);
    EXPECT_EQ(0x41, lookup.m_units[0x41]);
    EXPECT_EQ(0x20, lookup.m_units[0x20]); // the bypass wins over the record
    EXPECT_EQ(0, lookup.m_units[0x80]);

    // A compressed package with a wrong magic, or a cut-off stream, leaves the table empty.
    HashConvert bad;
    bad.allocate(269);
    EncodingConvert::unpackTable("cAAAAAAAAAAAAAAA", bad, true);
    EncodingConvert::unpackTable("c4aeUswgAAAAQlpoOTFBWSZTWQ==", bad, true);
    for (uint32_t i = 0; i < 269; i++)
        EXPECT_EQ(0u, bad.bucketSize(i));

    KitBzip2 unpacker;
    DataBuffer empty, out;
    out.append("keep", 4);
    EXPECT_TRUE(unpacker.unpackPackage(empty, out));
    EXPECT_EQ(0u, out.getSize());
    DataBuffer wrong;
    wrong.append("\x01\x02\x03\x04\x05\x00\x00\x00BZh", 11);
    out.append("keep", 4);
    EXPECT_FALSE(unpacker.unpackPackage(wrong, out));
    EXPECT_EQ(4u, out.getSize());
}

TEST(TableCache, BuiltOncePerPageAndDirection)
{
    int before = EncodingConvert::tablesBuilt();
    EncodingConvert::loadToCodePageTable(1250);
    EncodingConvert::loadToCodePageTable(1250);
    EXPECT_EQ(before + 1, EncodingConvert::tablesBuilt());
    const HashConvert* table = EncodingConvert::toPageTable(1250);
    ASSERT_NE(nullptr, table);
    EncodingConvert::loadToCodePageTable(1250);
    EXPECT_EQ(table, EncodingConvert::toPageTable(1250));

    EncodingConvert::loadFromCodePageTable(52936);
    int afterHz = EncodingConvert::tablesBuilt();
    EncodingConvert::loadFromCodePageTable(936);
    EXPECT_EQ(afterHz, EncodingConvert::tablesBuilt());
    EXPECT_EQ(EncodingConvert::multiByteFromTable(936), EncodingConvert::multiByteFromTable(52936));

    EncodingConvert::loadFromCodePageTable(10001);
    const HashConvert* macFrom = EncodingConvert::multiByteFromTable(10001);
    ASSERT_NE(nullptr, macFrom);
    EXPECT_FALSE(macFrom->isAsciiCompatible());
    EXPECT_NE(nullptr, EncodingConvert::toPageTable(10001));
    EXPECT_EQ(std::string("A\0", 2), found(*macFrom, "A", 1));

    // A published table is complete: converters that share it afterwards only read it.
    EXPECT_TRUE(EncodingConvert::toPageTable(1250)->viewsBuilt(true));
    EXPECT_TRUE(EncodingConvert::toPageTable(10001)->viewsBuilt(true));
    EXPECT_TRUE(macFrom->viewsBuilt(false));
    EXPECT_TRUE(EncodingConvert::multiByteFromTable(936)->viewsBuilt(false));

    EncodingConvert::loadToCodePageTable(12345); // no package: ignored
    EXPECT_EQ(nullptr, EncodingConvert::toPageTable(12345));
}

TEST(TableWalkers, EntriesThatAreNoUnitAreReported)
{
    // A decoding table whose pair maps to a single byte cannot give a UTF-16 unit for it.
    HashConvert table;
    table.allocate(7);
    table.insert((const unsigned char*)"\x81\x40", 2, (const unsigned char*)"x", 1);
    table.insert((const unsigned char*)"\x81\x41", 2, (const unsigned char*)"\x42\x30", 2);
    table.insert((const unsigned char*)"A", 1, (const unsigned char*)"A\0", 2);
    EncodingConvert conv;
    DataBuffer out;
    EXPECT_FALSE(conv.multiByteToUtf16(&table, (const unsigned char*)"\x81\x40" "A\x81\x41", 5, out));
    EXPECT_EQ(std::string("A\0\x42\x30", 4), std::string((const char*)out.getData(), out.getSize()));
    out.clear();
    EXPECT_TRUE(conv.multiByteToUtf16(&table, (const unsigned char*)"A\x81\x41", 3, out));
    EXPECT_EQ(4u, out.getSize());
}
