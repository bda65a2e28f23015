// The parser's and writer's byte searches against a plain byte-by-byte search, at every alignment and length
// around the sixteen-byte blocks, with matches before the start and past the end that must not count.
#include <gtest/gtest.h>
#include <string.h>
#include "xml/ByteScan.h"
#include <windows.h>

namespace {

const char* naiveFind(const char* p, const char* end, char c)
{
    for (; p < end; ++p)
        if (*p == c)
            return p;
    return nullptr;
}

alignas(16) char g_area[128];

TEST(ByteScan, FindByteAgreesAtEveryAlignmentAndLength)
{
    for (int start = 0; start < 32; ++start) {
        for (int length = 0; length < 70; ++length) {
            // Only the byte at 'at' is the target inside the range; the bytes just outside are
            // targets too, and must never be reported.
            for (int at = -1; at <= length; ++at) {
                memset(g_area, 'x', sizeof g_area);
                if (start > 0)
                    g_area[start - 1] = '<';
                g_area[start + length] = '<';
                if (at >= 0 && at < length)
                    g_area[start + at] = '<';
                const char* p = g_area + start;
                ASSERT_EQ(findByte(p, p + length, '<'), naiveFind(p, p + length, '<'))
                    << "start " << start << " length " << length << " at " << at;
            }
        }
    }
}

TEST(ByteScan, FindEscapedByteFindsEachOfTheFiveAtEveryAlignment)
{
    const char kEscaped[] = "<>\"'&";
    for (int which = 0; which < 5; ++which) {
        for (int start = 0; start < 20; ++start) {
            for (int length = 0; length < 40; ++length) {
                for (int at = -1; at <= length; ++at) {
                    memset(g_area, 'x', sizeof g_area);
                    if (start > 0)
                        g_area[start - 1] = '&';
                    g_area[start + length] = '<';
                    if (at >= 0 && at < length)
                        g_area[start + at] = kEscaped[which];
                    const char* p = g_area + start;
                    ASSERT_EQ(findEscapedByte(p, p + length), at >= 0 && at < length ? p + at : nullptr)
                        << "byte " << kEscaped[which] << " start " << start << " length " << length << " at " << at;
                }
            }
        }
    }
}

TEST(ByteScan, TextLengthAgreesAtEveryAlignment)
{
    for (int start = 0; start < 32; ++start) {
        for (int length = 0; length < 70; ++length) {
            memset(g_area, 'y', sizeof g_area);
            if (start > 0)
                g_area[start - 1] = 0; // a zero before the text is not its end
            g_area[start + length] = 0;
            ASSERT_EQ(textLength(g_area + start), (size_t)length) << "start " << start << " length " << length;
        }
    }
}

TEST(ByteScan, HighBytesAreFoundLikeAnyOther)
{
    char text[40];
    memset(text, 'a', sizeof text);
    text[33] = (char)0xE9;
    EXPECT_EQ(findByte(text, text + sizeof text, (char)0xE9), text + 33);
    EXPECT_EQ(findByte(text, text + 33, (char)0xE9), nullptr);
}

// Texts that end where readable memory ends, and texts that start where it starts: a search that
// read a byte past either edge (an unaligned or rounded-up block) would fault here.
TEST(ByteScan, SearchesStayInsideTheMemoryAroundTheText)
{
    const DWORD page = 4096;
    char* area = static_cast<char*>(VirtualAlloc(nullptr, 3 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(area, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(area, page, PAGE_NOACCESS, &old));
    ASSERT_TRUE(VirtualProtect(area + 2 * page, page, PAGE_NOACCESS, &old));
    char* first = area + page;
    char* limit = area + 2 * page;
    for (int length = 1; length < 50; ++length) {
        char* tail = limit - length;
        memset(tail, 'a', length);
        EXPECT_EQ(findByte(tail, limit, 'z'), nullptr) << length;
        EXPECT_EQ(findEscapedByte(tail, limit), nullptr) << length;
        tail[length - 1] = '&';
        EXPECT_EQ(findByte(tail, limit, '&'), limit - 1) << length;
        EXPECT_EQ(findEscapedByte(tail, limit), limit - 1) << length;
        tail[length - 1] = 0;
        EXPECT_EQ(textLength(tail), (size_t)length - 1) << length;

        memset(first, 'b', length);
        first[length] = 0;
        EXPECT_EQ(findByte(first, first + length, 'z'), nullptr) << length;
        EXPECT_EQ(findEscapedByte(first, first + length), nullptr) << length;
        EXPECT_EQ(textLength(first), (size_t)length) << length;
    }
    EXPECT_TRUE(VirtualFree(area, 0, MEM_RELEASE));
}

} // namespace
