// Deeply nested documents written near the memory limit: with blocks above a size refused, the
// write either hands out the whole text or fails at once with nothing, and the bytes it allocates
// on the way stay proportional to what it wrote (growth never falls back to a copy per append).
// The allocations are seen and refused through the kit's allocation gate.
#include <gtest/gtest.h>
#include <string>
#include "kit/AllocationGate.h"
#include "kit/StringBuffer.h"
#include "xml/ClsXml.h"

namespace {

size_t g_largest = 0; // blocks above this size are refused; 0 allows any
uint64_t g_allowed = 0; // bytes of the blocks allowed
int g_allocations = 0;
int g_refused = 0;

// A watchdog on the count too: a write that allocated for every append would take hours; it is
// cut short instead, and the test fails on the count.
const int kAllocationWatchdog = 300;

bool limitGate(size_t size)
{
    if ((g_largest > 0 && size > g_largest) || g_allocations >= kAllocationWatchdog) {
        ++g_refused;
        return false;
    }
    g_allowed += size;
    ++g_allocations;
    return true;
}

class DeepDocument : public ::testing::Test
{
protected:
    void TearDown() override { kit::setAllocationGate(nullptr); }

    static void Limit(size_t largest)
    {
        g_largest = largest;
        g_allowed = 0;
        g_allocations = 0;
        g_refused = 0;
        kit::setAllocationGate(limitGate);
    }
};

std::string nested(int levels)
{
    std::string text;
    text.reserve((size_t)levels * 7);
    for (int i = 0; i < levels; ++i)
        text += "<a>";
    for (int i = 0; i < levels; ++i)
        text += "</a>";
    return text;
}

// The writer's layout: CR LF line ends, four spaces a level up to 50 levels (200 spaces), the
// innermost element closed at once.
std::string expectedText(int levels)
{
    std::string text = "\r\n";
    for (int i = 0; i < levels; ++i)
        text += std::string(4 * (i < 50 ? i : 50), ' ') + (i + 1 < levels ? "<a>\r\n" : "<a />\r\n");
    for (int i = levels - 2; i >= 0; --i)
        text += std::string(4 * (i < 50 ? i : 50), ' ') + "</a>\r\n";
    return text;
}

TEST_F(DeepDocument, WriteUnderALimitIsWholeOrFailsWithBoundedWork)
{
    const int kLevels = 20000;
    ClsXml xml;
    ASSERT_TRUE(xml.LoadXml(nested(kLevels).c_str(), true));
    const std::string expected = expectedText(kLevels);
    ASSERT_GT(expected.size(), 8000000u);

    // Limits below, near and well above the text's size: below it the write must fail, well above
    // it must succeed; near it, it may go either way.
    for (size_t largest : {expected.size() / 4, expected.size() / 2, expected.size() * 5 / 4, expected.size() * 3}) {
        kit::StringBuffer out(8);
        Limit(largest);
        bool ok = xml.getXmlUtf8(out);
        kit::setAllocationGate(nullptr);
        if (largest < expected.size()) {
            EXPECT_FALSE(ok) << "a text cannot be written in blocks smaller than itself";
        }
        if (largest >= 2 * expected.size()) {
            EXPECT_TRUE(ok) << "limit " << largest;
        }
        if (ok) {
            ASSERT_EQ(sbLength(out), (int)expected.size()) << "limit " << largest;
            EXPECT_EQ(std::string(sbText(out), sbLength(out)), expected) << "limit " << largest;
        } else {
            EXPECT_EQ(sbLength(out), 0) << "limit " << largest;
        }
        // Growing by half, the blocks of a text add up to under three times the last one, which
        // is at most the limit, or half as large again as the whole text.
        uint64_t bound = ok ? 3ull * expected.size() * 3 / 2 : 3ull * largest;
        EXPECT_LE(g_allowed, bound) << "limit " << largest;
        EXPECT_LT(g_allocations, 200) << "limit " << largest;
    }
}

// Two million levels (6 MB of "<a>" and "</a>"): the load succeeds, and the write, some 860 MB of
// indented text, runs into a limit of 64 MB blocks and fails at once instead of slowing to a copy
// of the whole text per append.
TEST_F(DeepDocument, TwoMillionLevelsLoadAndTheirWriteFailsAtOnce)
{
    const int kLevels = 2000000;
    ClsXml xml;
    ASSERT_TRUE(xml.LoadXml(nested(kLevels).c_str(), true));
    ASSERT_EQ(xml.NumChildren(), 1);

    const size_t kLargest = 64u << 20;
    kit::StringBuffer out;
    Limit(kLargest);
    bool ok = xml.getXmlUtf8(out);
    kit::setAllocationGate(nullptr);
    EXPECT_FALSE(ok);
    EXPECT_EQ(sbLength(out), 0);
    EXPECT_LE(g_allowed, 3ull * kLargest);
    EXPECT_LT(g_allocations, 200);
    // The write stops at the first refusal: asking again for every later piece of text costs the
    // system a search of the address space each time (18 s of them for this document).
    EXPECT_EQ(g_refused, 1);
}

} // namespace
