// toLowerCodePoint: the fixed ASCII/Latin-1 rule and the pair map (the whole BMP is checked
// against an independent reference by the charset agreement check).
#include <gtest/gtest.h>
#include "kit/CaseMap.h"

TEST(CaseMap, FixedRulesAndMapEntries)
{
    EXPECT_EQ(0, toLowerCodePoint(0));
    EXPECT_EQ(0x61, toLowerCodePoint(0x41));
    EXPECT_EQ(0x61, toLowerCodePoint(0x61));
    EXPECT_EQ(0x31, toLowerCodePoint(0x31));
    EXPECT_EQ(0xE0, toLowerCodePoint(0xC0));
    EXPECT_EQ(0xFE, toLowerCodePoint(0xDE));
    EXPECT_EQ(0xD7, toLowerCodePoint(0xD7));
    EXPECT_EQ(0xDF, toLowerCodePoint(0xDF));
    for (int c = 0xA0; c <= 0xBF; c++)
        EXPECT_EQ(c, toLowerCodePoint(c));
    EXPECT_EQ(0x69, toLowerCodePoint(0x130));
    EXPECT_EQ(0x3B1, toLowerCodePoint(0x391));
    EXPECT_EQ(0xFF41, toLowerCodePoint(0xFF21));
    EXPECT_EQ(0x1C5, toLowerCodePoint(0x1C5));
    EXPECT_EQ(0x10428, toLowerCodePoint(0x10400));
    EXPECT_EQ(0xD801, toLowerCodePoint(0xD801));
    EXPECT_EQ(0x2170, toLowerCodePoint(0x2170));
    EXPECT_EQ(0x2160, toLowerCodePoint(0x2160)); // Roman numerals have no row
    EXPECT_EQ(0x3C9, toLowerCodePoint(0x2126));
}
