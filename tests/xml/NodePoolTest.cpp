// The block pool behind the tree's small objects: distinct aligned blocks, reuse after free, large
// sizes from the heap, and no block handed out twice when threads allocate at once.
#include <gtest/gtest.h>
#include <windows.h>
#include <set>
#include <stdint.h>
#include <vector>
#include "xml/NodePool.h"

namespace {

TEST(NodePool, BlocksAreDistinctAlignedAndReused)
{
    std::set<void*> seen;
    std::vector<void*> blocks;
    for (int i = 0; i < 20000; ++i) {
        void* p = poolAlloc(1 + i % 96);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 8, 0u);
        EXPECT_TRUE(seen.insert(p).second) << "block handed out twice";
        memset(p, 0xAB, 1 + i % 96);
        blocks.push_back(p);
    }
    for (int i = 0; i < 20000; ++i)
        poolFree(blocks[i], 1 + i % 96);
    void* again = poolAlloc(96);
    EXPECT_EQ(seen.count(again), 1u) << "a freed block of the class comes back";
    poolFree(again, 96);
    void* large = poolAlloc(5000);
    ASSERT_NE(large, nullptr);
    memset(large, 0, 5000);
    poolFree(large, 5000);
}

struct Hammer {
    std::vector<void*> kept;
};

DWORD WINAPI hammer(void* arg)
{
    Hammer* h = static_cast<Hammer*>(arg);
    for (int round = 0; round < 200; ++round) {
        void* temp[50];
        for (void*& p : temp)
            p = poolAlloc(40);
        for (void* p : temp)
            poolFree(p, 40);
        h->kept.push_back(poolAlloc(40));
    }
    return 0;
}

TEST(NodePool, ThreadsNeverShareABlock)
{
    Hammer work[4];
    HANDLE threads[4];
    for (int i = 0; i < 4; ++i)
        threads[i] = CreateThread(nullptr, 0, hammer, &work[i], 0, nullptr);
    WaitForMultipleObjects(4, threads, TRUE, INFINITE);
    std::set<void*> all;
    for (int i = 0; i < 4; ++i) {
        CloseHandle(threads[i]);
        for (void* p : work[i].kept)
            EXPECT_TRUE(all.insert(p).second);
    }
    EXPECT_EQ(all.size(), 800u);
    for (void* p : all)
        poolFree(p, 40);
}

} // namespace
