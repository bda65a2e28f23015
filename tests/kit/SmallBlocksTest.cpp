// The small-block allocator: blocks of every size freed without their size go back to the list of
// their own size class; sizes above the largest class and the heap's blocks pass through the heap.
#include <gtest/gtest.h>
#include <set>
#include <stdint.h>
#include <string.h>
#include <vector>
#include "kit/SmallBlocks.h"

TEST(SmallBlocksTest, EverySizeIsDistinctWritableAndFreedWithoutItsSize)
{
    std::set<char*> seen;
    std::vector<char*> blocks;
    for (size_t size = 1; size <= kSmallBlockLargest + 64; ++size) {
        char* p = static_cast<char*>(smallBlockAlloc(size));
        ASSERT_NE(p, nullptr) << size;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u) << size;
        EXPECT_TRUE(seen.insert(p).second) << "block handed out twice, size " << size;
        memset(p, (int)(size & 0xFF), size);
        blocks.push_back(p);
    }
    // No block overlapped another: each still holds its own fill.
    for (size_t i = 0; i < blocks.size(); ++i) {
        size_t size = i + 1;
        for (size_t k = 0; k < size; ++k)
            ASSERT_EQ((unsigned char)blocks[i][k], (unsigned char)(size & 0xFF)) << size;
    }
    for (char* p : blocks)
        smallBlockFree(p);
    smallBlockFree(nullptr);
}

TEST(SmallBlocksTest, AFreedBlockReturnsOnlyToItsOwnSizeClass)
{
    void* block = smallBlockAlloc(40);
    ASSERT_NE(block, nullptr);
    smallBlockFree(block);
    // A size of another class does not get it; a size of the same class (33 to 40 bytes) does.
    void* other = smallBlockAlloc(48);
    EXPECT_NE(other, block);
    void* same = smallBlockAlloc(33);
    EXPECT_EQ(same, block);
    smallBlockFree(other);
    smallBlockFree(same);
}

TEST(SmallBlocksTest, LargeBlocksAndHeapBlocksPassThroughTheHeap)
{
    char* large = static_cast<char*>(smallBlockAlloc(kSmallBlockLargest + 1));
    ASSERT_NE(large, nullptr);
    memset(large, 1, kSmallBlockLargest + 1);
    smallBlockFree(large);
    // A block made by new[] is handed back to the heap, never put on a small-block list.
    char* fromHeap = new char[16];
    smallBlockFree(fromHeap);
    std::set<void*> got;
    for (int i = 0; i < 100; ++i)
        got.insert(smallBlockAlloc(16));
    EXPECT_EQ(got.count(fromHeap), 0u);
    for (void* p : got)
        smallBlockFree(p);
}
