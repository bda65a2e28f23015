// The block arena: aligned, distinct blocks over chunks that grow geometrically, blocks that the
// small-block allocator's free leaves alone, chunks kept for reuse or returned with the last
// reference, and the allocation gate asked for every block.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdint.h>
#include <string.h>
#include <set>
#include <vector>
#include "kit/AllocationGate.h"
#include "kit/BlockArena.h"
#include "kit/SmallBlocks.h"

namespace {

DWORD stateOf(const void* p)
{
    MEMORY_BASIC_INFORMATION info = {};
    EXPECT_EQ(VirtualQuery(p, &info, sizeof info), sizeof info);
    return info.State;
}

class BlockArenaTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        arena = kit::BlockArena::create();
        ASSERT_NE(arena, nullptr);
    }
    void TearDown() override
    {
        kit::setAllocationGate(nullptr);
        if (arena)
            arena->release();
    }
    kit::BlockArena* arena = nullptr;
};

TEST_F(BlockArenaTest, BlocksAreAlignedDistinctAndChunksGrowGeometrically)
{
    std::vector<unsigned char*> blocks;
    size_t asked = 0;
    for (int i = 0; i < 60000; ++i) {
        size_t size = 1 + (size_t)(i * 37) % 256;
        unsigned char* p = static_cast<unsigned char*>(arena->allocate(size));
        ASSERT_NE(p, nullptr) << i;
        ASSERT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u) << i;
        memset(p, i & 0xFF, size);
        blocks.push_back(p);
        asked += size;
    }
    // Every block still holds its own fill: none overlapped a later one.
    for (int i = 0; i < 60000; ++i) {
        size_t size = 1 + (size_t)(i * 37) % 256;
        ASSERT_EQ(blocks[i][0], i & 0xFF) << i;
        ASSERT_EQ(blocks[i][size - 1], i & 0xFF) << i;
    }
    // Chunks double up to their limit: the system gave at most about twice what was used.
    EXPECT_GE(arena->chunkBytes(), asked);
    EXPECT_LE(arena->chunkBytes(), 2 * asked + 64 * 1024);
}

TEST_F(BlockArenaTest, SmallBlockFreeLeavesArenaBlocksAlone)
{
    unsigned char* p = static_cast<unsigned char*>(arena->allocate(40));
    ASSERT_NE(p, nullptr);
    memset(p, 0x5A, 40);
    smallBlockFree(p);
    void* q = smallBlockAlloc(40);
    ASSERT_NE(q, nullptr);
    EXPECT_NE(q, static_cast<void*>(p)) << "an arena block went to the pool's free list";
    memset(q, 0, 40);
    smallBlockFree(q);
    for (int k = 0; k < 40; ++k)
        ASSERT_EQ(p[k], 0x5A) << k;
}

void* allocationBase(const void* p)
{
    MEMORY_BASIC_INFORMATION info = {};
    EXPECT_EQ(VirtualQuery(p, &info, sizeof info), sizeof info);
    return info.AllocationBase;
}

TEST_F(BlockArenaTest, LastReferenceKeepsChunksUpToTheLimitAndFreesTheRest)
{
    // More than the kept limit, in blocks sampled across every chunk.
    std::vector<void*> samples;
    const size_t block = 200;
    for (size_t done = 0; done < kit::BlockArena::kSpareLimit + 8 * 1024 * 1024; done += block) {
        void* p = arena->allocate(block);
        ASSERT_NE(p, nullptr);
        if (done % (100 * block) == 0) // one in 20,000 bytes: every chunk is sampled
            samples.push_back(p);
    }
    std::set<void*> chunks;
    for (void* p : samples)
        chunks.insert(allocationBase(p));
    arena->addRef();
    arena->release();
    for (void* p : samples)
        ASSERT_EQ(stateOf(p), (DWORD)MEM_COMMIT) << "a reference is still held";
    arena->release();
    arena = nullptr;
    EXPECT_LE(kit::BlockArena::spareBytes(), kit::BlockArena::kSpareLimit);
    int freed = 0;
    for (void* p : samples)
        freed += stateOf(p) == MEM_FREE;
    EXPECT_GT(freed, 0) << "chunks beyond the limit go back to the system";
    // The next arena starts in a kept chunk of this one.
    arena = kit::BlockArena::create();
    ASSERT_NE(arena, nullptr);
    EXPECT_EQ(chunks.count(allocationBase(arena->allocate(8))), 1u);
    // A heap block freed through the pool still goes to the heap.
    void* heap = smallBlockAlloc(kSmallBlockLargest + 1);
    ASSERT_NE(heap, nullptr);
    smallBlockFree(heap);
}

int g_asked = 0;
bool refuseAll(size_t)
{
    ++g_asked;
    return false;
}

TEST_F(BlockArenaTest, GateIsAskedForEveryBlockAndTheArenaItself)
{
    g_asked = 0;
    kit::setAllocationGate(refuseAll);
    EXPECT_EQ(arena->allocate(8), nullptr);
    EXPECT_EQ(arena->allocate(300), nullptr);
    EXPECT_EQ(kit::BlockArena::create(), nullptr);
    kit::setAllocationGate(nullptr);
    EXPECT_EQ(g_asked, 3);
    EXPECT_NE(arena->allocate(8), nullptr);
}

} // namespace
