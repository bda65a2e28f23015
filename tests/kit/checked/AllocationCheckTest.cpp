// The checking mode itself: faults planted on purpose (a byte written past a block, into a freed
// block, a block freed twice, past an arena block) are each reported, and a text buffer filled to
// the last byte of its block leaves no fault. Each test takes the faults it planted, so the
// listener that checks after every test finds none left.
#include <gtest/gtest.h>
#include <string>
#include "kit/AllocationCheck.h"
#include "kit/BlockArena.h"
#include "kit/DataBuffer.h"
#include "kit/SmallBlocks.h"
#include "kit/StringBuffer.h"

namespace {

bool mentions(const std::string& faults, const std::string& what)
{
    return faults.find(what) != std::string::npos;
}

TEST(AllocationCheck, IsOnInThisBuild)
{
    EXPECT_TRUE(kit::allocationCheckEnabled());
    EXPECT_EQ(kit::takeAllocationFaults(), "");
}

TEST(AllocationCheck, OneByteWrittenPastABlockIsReportedWhenItIsFreed)
{
    // 5 bytes: the old 8-byte rounding of small blocks would have hidden this write.
    char* block = static_cast<char*>(smallBlockAlloc(5));
    ASSERT_NE(block, nullptr);
    block[5] = 0;
    smallBlockFree(block);
    std::string faults = kit::takeAllocationFaults();
    EXPECT_TRUE(mentions(faults, "written past its end")) << faults;
    EXPECT_TRUE(mentions(faults, "of 5 bytes, changed at byte 5")) << faults;
    EXPECT_EQ(kit::takeAllocationFaults(), "") << "faults are reported once";
}

TEST(AllocationCheck, OneByteWrittenPastALiveBlockIsReportedByTheCheck)
{
    unsigned char* block = static_cast<unsigned char*>(smallBlockAlloc(300)); // above the small sizes
    ASSERT_NE(block, nullptr);
    block[300] = 'x';
    std::string faults = kit::takeAllocationFaults();
    EXPECT_TRUE(mentions(faults, "of 300 bytes, changed at byte 300")) << faults;
    smallBlockFree(block);
    EXPECT_TRUE(mentions(kit::takeAllocationFaults(), "written past its end")) << "and again when it is freed";
}

TEST(AllocationCheck, FreedBlocksAreFilledAndAWriteIntoOneIsReported)
{
    unsigned char* block = static_cast<unsigned char*>(smallBlockAlloc(24));
    ASSERT_NE(block, nullptr);
    memset(block, 0x11, 24);
    smallBlockFree(block);
    // The block is held back, filled: a stale pointer reads the pattern, not the old data.
    for (int i = 0; i < 24; ++i)
        ASSERT_EQ(block[i], 0xDD) << i;
    EXPECT_EQ(kit::takeAllocationFaults(), "");
    block[7] = 0;
    std::string faults = kit::takeAllocationFaults();
    EXPECT_TRUE(mentions(faults, "written after it was freed")) << faults;
    EXPECT_TRUE(mentions(faults, "changed at byte 7")) << faults;
    block[7] = 0xDD;
}

TEST(AllocationCheck, ABlockFreedTwiceIsReported)
{
    void* block = smallBlockAlloc(40);
    ASSERT_NE(block, nullptr);
    smallBlockFree(block);
    smallBlockFree(block);
    EXPECT_TRUE(mentions(kit::takeAllocationFaults(), "freed twice"));
}

TEST(AllocationCheck, HeapBlocksFromElsewhereStillPassThrough)
{
    DataBuffer db;
    db.takeOwnership(new unsigned char[3]{'a', 'b', 'c'}, 3); // freed by the buffer
    ASSERT_TRUE(db.append("d", 1));
    EXPECT_EQ(std::string((const char*)db.getData(), db.getSize()), "abcd");
    char* fromHeap = new char[16];
    smallBlockFree(fromHeap);
    EXPECT_EQ(kit::takeAllocationFaults(), "");
}

TEST(AllocationCheck, OneByteWrittenPastAnArenaBlockIsReported)
{
    kit::BlockArena* arena = kit::BlockArena::create();
    ASSERT_NE(arena, nullptr);
    unsigned char* block = static_cast<unsigned char*>(arena->allocate(12));
    ASSERT_NE(block, nullptr);
    void* next = arena->allocate(12);
    ASSERT_NE(next, nullptr);
    block[12] = 1;
    std::string faults = kit::takeAllocationFaults();
    EXPECT_TRUE(mentions(faults, "arena block written past its end")) << faults;
    EXPECT_TRUE(mentions(faults, "of 12 bytes, changed at byte 12")) << faults;
    smallBlockFree(block); // left to the arena, checked on the way
    EXPECT_TRUE(mentions(kit::takeAllocationFaults(), "arena block written past its end"));
    arena->release();
    EXPECT_TRUE(mentions(kit::takeAllocationFaults(), "arena block written past its end")) << "and when it goes";
}

// Texts and byte strings filled up to the last byte of their blocks, by each way of appending: the
// terminator or the growth must stay inside the block.
TEST(AllocationCheck, BuffersFilledToTheirLastByteStayInsideTheirBlocks)
{
    {
        kit::StringBuffer sb("abc"); // a block of exactly 4 bytes
        ASSERT_EQ(sb.getCapacity(), 4);
        sb.append("d");
        EXPECT_STREQ(sb.pointerAt(0), "abcd");
    }
    {
        kit::StringBuffer sb("abc");
        sb.appendN("d", 1);
        sb.appendChar('e');
        sb.prepend("z");
        EXPECT_STREQ(sb.pointerAt(0), "zabcde");
        EXPECT_TRUE(sb.ensureRoom(sb.getCapacity() - sb.getSize()));
    }
    {
        kit::StringBuffer sb(8);
        for (int i = 0; i < 100; ++i)
            sb.appendChar('x');
        sb.shrinkToFit();
        EXPECT_EQ(sb.getCapacity(), 101);
        sb.append("y");
        sb.replaceAll("x", "xx");
        EXPECT_EQ(sb.getSize(), 201);
    }
    {
        DataBuffer db;
        ASSERT_TRUE(db.ensureBuffer(3));
        ASSERT_TRUE(db.append("abc", 3));
        ASSERT_TRUE(db.appendChar('d'));
        ASSERT_TRUE(db.appendUtf16z(L"ef"));
        EXPECT_EQ(db.getSize(), 10u);
    }
    EXPECT_EQ(kit::takeAllocationFaults(), "");
}

} // namespace
