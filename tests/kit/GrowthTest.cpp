// Growth of the kit's buffers and arrays seen through the allocation gate: the bytes allocated to
// grow one byte, value or pointer at a time stay a small multiple of the final size (growth is
// geometric, not by a fixed step), and a growth that is refused is reported and loses nothing
// already held.
#include <gtest/gtest.h>
#include <string>
#include "kit/AllocationGate.h"
#include "kit/DataBuffer.h"
#include "kit/ExtIntArray.h"
#include "kit/ExtPtrArray.h"
#include "kit/StringBuffer.h"

namespace {

uint64_t g_allocated = 0; // bytes asked for through the gate
int g_allocations = 0;
size_t g_largest = 0; // blocks above this size are refused; 0 allows any

bool recordingGate(size_t size)
{
    if (g_largest > 0 && size > g_largest)
        return false;
    g_allocated += size;
    ++g_allocations;
    return true;
}

class Growth : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_allocated = 0;
        g_allocations = 0;
        g_largest = 0;
        kit::setAllocationGate(recordingGate);
    }
    void TearDown() override { kit::setAllocationGate(nullptr); }
};

const int kBytes = 8 << 20;

TEST_F(Growth, TextAppendedByteByByteIsCopiedAFewTimesAtMost)
{
    kit::StringBuffer sb;
    for (int i = 0; i < kBytes; ++i)
        sb.appendChar((char)('a' + i % 26));
    ASSERT_EQ(sb.getSize(), kBytes);
    EXPECT_FALSE(sb.lostBytes());
    EXPECT_EQ(*sb.pointerAt(kBytes - 1), (char)('a' + (kBytes - 1) % 26));
    // Doubling allocates about twice the final size in all; a fixed step of 500,000 bytes would
    // allocate about eight times as much for these 8 MB.
    EXPECT_LT(g_allocated, 4ull * kBytes);
    EXPECT_LT(g_allocations, 40);
}

TEST_F(Growth, TextWithRoomMadeAheadOfEachAppendGrowsGeometrically)
{
    // As the parser joins the chunks of an element's text: room made first, then the appends.
    // Room made ahead used to grow by the unadjusted step of a couple of hundred bytes each time.
    kit::StringBuffer sb("x");
    for (int i = 0; i < kBytes / 2; ++i) {
        ASSERT_TRUE(sb.ensureRoom(2));
        sb.appendChar(' ');
        sb.appendN("x", 1);
    }
    ASSERT_EQ(sb.getSize(), kBytes / 2 * 2 + 1);
    EXPECT_FALSE(sb.lostBytes());
    EXPECT_LT(g_allocated, 4ull * kBytes);
    EXPECT_LT(g_allocations, 60);
}

TEST_F(Growth, BytesAppendedInSmallBlocksAreCopiedAFewTimesAtMost)
{
    DataBuffer db;
    unsigned char block[200];
    for (int i = 0; i < 200; ++i)
        block[i] = (unsigned char)i;
    for (int i = 0; i < kBytes / 200; ++i)
        ASSERT_TRUE(db.append(block, sizeof block));
    ASSERT_EQ(db.getSize(), (uint32_t)(kBytes / 200 * 200));
    EXPECT_EQ(db.getData()[db.getSize() - 1], 199);
    EXPECT_FALSE(db.lostBytes());
    // Growing by half allocates about three to four and a half times the final size in all; a step
    // of 20,000 bytes would allocate some 1,700 MB here.
    EXPECT_LT(g_allocated, 5ull * kBytes);

    g_allocated = 0;
    DataBuffer chars;
    for (int i = 0; i < kBytes; ++i)
        ASSERT_TRUE(chars.appendChar((unsigned char)i));
    EXPECT_LT(g_allocated, 5ull * kBytes);

    // Room asked for a little at a time, as the converters ask for it before each piece.
    g_allocated = 0;
    DataBuffer room;
    for (uint32_t i = 1; i <= (uint32_t)kBytes / 64; ++i) {
        ASSERT_TRUE(room.ensureBuffer(i * 64));
        room.setSize(i * 64);
    }
    EXPECT_LT(g_allocated, 5ull * kBytes);
}

TEST_F(Growth, ArraysAppendedOneByOneAreCopiedAFewTimesAtMost)
{
    const int kCount = 2000000;
    ExtPtrArray pointers;
    KitObject object;
    for (int i = 0; i < kCount; ++i)
        ASSERT_TRUE(pointers.appendPtr(&object));
    EXPECT_EQ(pointers.getSize(), kCount);
    // A step capped at 100,000 slots would allocate about ten times the final array.
    EXPECT_LT(g_allocated, 4ull * kCount * sizeof(void*));

    g_allocated = 0;
    ExtIntArray values(2, 1);
    for (int i = 0; i < kCount; ++i)
        ASSERT_TRUE(values.append(i));
    EXPECT_EQ(values.getAt(kCount - 1), kCount - 1);
    EXPECT_LT(g_allocated, 4ull * kCount * sizeof(int32_t));
}

TEST_F(Growth, RefusedGrowthIsReportedAndKeepsWhatWasHeld)
{
    const std::string big(5000, 'x');
    g_largest = 1000;

    kit::StringBuffer sb("kept");
    sb.append(big.c_str());
    EXPECT_TRUE(sb.lostBytes());
    EXPECT_STREQ(sb.pointerAt(0), "kept");
    sb.appendN(big.data(), 5000);
    sb.prepend(big.c_str());
    EXPECT_STREQ(sb.pointerAt(0), "kept");
    sb.appendChar('!'); // fits: small appends still work, the loss stays recorded
    EXPECT_STREQ(sb.pointerAt(0), "kept!");
    EXPECT_TRUE(sb.lostBytes());
    kit::StringBuffer copy(sb);
    EXPECT_TRUE(copy.lostBytes());
    sb.clear();
    EXPECT_FALSE(sb.lostBytes());
    kit::StringBuffer notCopied(big.c_str());
    EXPECT_TRUE(notCopied.lostBytes());
    EXPECT_EQ(notCopied.getSize(), 0);
    EXPECT_FALSE(sb.ensureRoom(5000));

    DataBuffer db;
    ASSERT_TRUE(db.append("kept", 4));
    EXPECT_FALSE(db.lostBytes());
    EXPECT_FALSE(db.append(big.data(), 5000));
    EXPECT_TRUE(db.lostBytes());
    ASSERT_EQ(db.getSize(), 4u);
    EXPECT_EQ(std::string((const char*)db.getData(), 4), "kept");
    EXPECT_FALSE(db.ensureBuffer(5000));
    db.clear();
    EXPECT_FALSE(db.lostBytes());

    ExtPtrArray pointers;
    KitObject object;
    int added = 0;
    while (pointers.appendPtr(&object))
        ++added;
    EXPECT_EQ(pointers.getSize(), added);
    EXPECT_LE(added, 250); // 1,000 bytes of slots
    EXPECT_GE(added, 125);
}

TEST_F(Growth, ALargerBlockRefusedFailsAtOnceAndKeepsWhatWasHeld)
{
    // Blocks up to 30,000 bytes only: near the limit the geometric size is refused, and the append
    // fails whole rather than moving the text to a block that just fits (which the next append
    // would have to copy again).
    g_largest = 30000;
    kit::StringBuffer sb;
    const std::string piece(1000, 'y');
    int whole = 0;
    while (whole < 40) {
        sb.append(piece.c_str());
        if (sb.lostBytes())
            break;
        ++whole;
    }
    ASSERT_TRUE(sb.lostBytes());
    EXPECT_GE(whole, 10);
    EXPECT_LT(whole, 30);
    EXPECT_EQ(sb.getSize(), whole * 1000);
    EXPECT_EQ(std::string(sb.pointerAt(0), sb.getSize()), std::string(whole * 1000, 'y'));

    DataBuffer db;
    int appended = 0;
    while (appended < 40 && db.append(piece.data(), 1000))
        ++appended;
    EXPECT_LT(appended, 30);
    EXPECT_EQ(db.getSize(), appended * 1000u);
    EXPECT_TRUE(db.lostBytes());
}

// Growth near a limit on block sizes, one byte, value or pointer at a time: each attempt asks once
// for a geometric block and fails when it is refused, so the bytes allocated (and so copied) stay a
// small multiple of what the container holds: growing by half, the blocks add up to under three
// times the last one. A fallback to blocks that just fit made every later
// append allocate and copy the whole contents again: hundreds of thousands of copies here.
TEST_F(Growth, GrowthNearTheLimitStaysLinearAndThenFails)
{
    const size_t kLimit = 1 << 20;
    g_largest = kLimit;

    kit::StringBuffer sb;
    int held = 0;
    for (int i = 0; i < (int)(2 * kLimit); ++i) {
        sb.appendChar('q');
        ASSERT_LT(g_allocations, 100) << "growth allocates per append at " << sb.getSize() << " bytes";
        if (sb.lostBytes())
            break;
        held = sb.getSize();
    }
    ASSERT_TRUE(sb.lostBytes()) << "a text of 2 MB cannot fit in blocks of 1 MB";
    EXPECT_EQ(sb.getSize(), held);
    EXPECT_EQ(std::string(sb.pointerAt(0), sb.getSize()), std::string(held, 'q'));
    EXPECT_GT((size_t)held, kLimit / 3);
    EXPECT_LE(g_allocated, 4ull * (uint64_t)held);
    // Further appends are refused one by one; nothing is allocated for them.
    uint64_t before = g_allocated;
    for (int i = 0; i < 1000; ++i)
        sb.appendChar('q');
    EXPECT_EQ(g_allocated, before);
    EXPECT_EQ(sb.getSize(), held);

    g_allocated = 0;
    g_allocations = 0;
    DataBuffer db;
    uint32_t bytes = 0;
    for (uint32_t i = 0; i < 2 * kLimit && db.appendChar((unsigned char)i); ++i) {
        ASSERT_LT(g_allocations, 100) << "growth allocates per append at " << db.getSize() << " bytes";
        bytes = db.getSize();
    }
    ASSERT_TRUE(db.lostBytes());
    EXPECT_EQ(db.getSize(), bytes);
    EXPECT_EQ(db.getData()[bytes - 1], (unsigned char)(bytes - 1));
    EXPECT_LE(g_allocated, 4ull * bytes);

    g_allocated = 0;
    g_allocations = 0;
    ExtPtrArray pointers;
    KitObject object;
    while (pointers.appendPtr(&object))
        ASSERT_LT(g_allocations, 100) << "growth allocates per append at " << pointers.getSize() << " slots";
    EXPECT_GT(pointers.getSize() * sizeof(void*), kLimit / 3);
    EXPECT_LE(g_allocated, 4ull * pointers.getSize() * sizeof(void*));

    g_allocated = 0;
    g_allocations = 0;
    ExtIntArray values(2, 1);
    int count = 0;
    while (values.append(count)) {
        ASSERT_LT(g_allocations, 100) << "growth allocates per append at " << count << " values";
        ++count;
    }
    EXPECT_EQ(values.getAt(count - 1), count - 1);
    EXPECT_GT(count * sizeof(int32_t), kLimit / 3);
    EXPECT_LE(g_allocated, 4ull * count * sizeof(int32_t));
}

} // namespace
