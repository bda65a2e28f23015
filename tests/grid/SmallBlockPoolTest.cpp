// The small-block pool under cells and texts: blocks are distinct, aligned and keep what is written
// into them, also with threads at work at once; freed blocks are made again; empty chunks go back
// to the system with one kept spare; and cell texts of every length across the pooled size classes
// come back whole.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>
#include "grid/GridCell.h"
#include "grid/SmallBlockPool.h"
#include "GridTestSupport.h"

TEST(SmallBlockPool, BlocksAreDistinctAlignedAndKeepTheirContents)
{
    SmallBlockPool pool(20);
    EXPECT_EQ(24u, pool.BlockSize());
    // More blocks than one chunk holds: (65536 - 32) / 24 = 2729 a chunk.
    const size_t count = 6000;
    std::vector<unsigned char*> blocks;
    for (size_t i = 0; i < count; i++)
    {
        unsigned char* block = static_cast<unsigned char*>(pool.Allocate());
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(block) % 8);
        std::memset(block, static_cast<int>(i % 251), 24);
        blocks.push_back(block);
    }
    EXPECT_EQ(count, pool.LiveBlocks());
    EXPECT_EQ(3u, pool.ChunkCount());
    // No two blocks overlap: sorted, each starts at least a block after the one before.
    std::vector<unsigned char*> sorted = blocks;
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 1; i < sorted.size(); i++)
        ASSERT_GE(sorted[i] - sorted[i - 1], 24) << i;
    for (size_t i = 0; i < count; i++)
        for (int b = 0; b < 24; b++)
            ASSERT_EQ(i % 251, blocks[i][b]) << "block " << i << " byte " << b;
    for (unsigned char* block : blocks)
        pool.Free(block);
    EXPECT_EQ(0u, pool.LiveBlocks());
}

TEST(SmallBlockPool, FreedBlocksAreMadeAgainAndEmptyChunksGoBack)
{
    SmallBlockPool pool(8);
    std::vector<void*> blocks;
    for (int i = 0; i < 20000; i++)   // 8188 a chunk: three chunks
        blocks.push_back(pool.Allocate());
    EXPECT_EQ(3u, pool.ChunkCount());

    // Every other block freed: no chunk is empty, and new blocks take the freed places.
    std::vector<void*> freed;
    for (size_t i = 0; i < blocks.size(); i += 2)
    {
        pool.Free(blocks[i]);
        freed.push_back(blocks[i]);
    }
    EXPECT_EQ(10000u, pool.LiveBlocks());
    EXPECT_EQ(3u, pool.ChunkCount());
    std::vector<void*> again;
    for (size_t i = 0; i < freed.size(); i++)
        again.push_back(pool.Allocate());
    EXPECT_EQ(3u, pool.ChunkCount()) << "freed blocks are used before a new chunk is taken";
    std::sort(freed.begin(), freed.end());
    std::sort(again.begin(), again.end());
    EXPECT_EQ(freed, again);
    for (size_t i = 0; i < blocks.size(); i += 2)
        blocks[i] = again[i / 2];

    // All freed, in an order that empties the chunks one after another: one stays as the spare.
    std::reverse(blocks.begin(), blocks.end());
    for (void* block : blocks)
        pool.Free(block);
    EXPECT_EQ(0u, pool.LiveBlocks());
    EXPECT_EQ(1u, pool.ChunkCount());
    void* reused = pool.Allocate();
    EXPECT_EQ(1u, pool.ChunkCount()) << "the spare chunk serves the next block";
    pool.Free(reused);
    pool.Free(nullptr);
    EXPECT_EQ(0u, pool.LiveBlocks());
}

TEST(SmallBlockPool, ThreadsMakingAndFreeingAtOnceNeverShareABlock)
{
    SmallBlockPool pool(16);
    const int threads = 4, perThread = 30000;
    std::vector<std::vector<unsigned*>> made(threads);
    std::vector<int> damaged(threads, 0);
    auto work = [&](int id) {
        std::vector<unsigned*>& mine = made[static_cast<size_t>(id)];
        for (int round = 0; round < 3; round++)
        {
            while (mine.size() < static_cast<size_t>(perThread))
            {
                unsigned* block = static_cast<unsigned*>(pool.Allocate());
                block[0] = static_cast<unsigned>(id);
                block[1] = static_cast<unsigned>(mine.size());
                mine.push_back(block);
            }
            for (size_t i = 0; i < mine.size(); i++)
                if (mine[i][0] != static_cast<unsigned>(id) || mine[i][1] != i)
                    damaged[static_cast<size_t>(id)]++;
            // Every other block back, so the threads' blocks interleave in the chunks.
            std::vector<unsigned*> kept;
            for (size_t i = 0; i < mine.size(); i++)
            {
                if (i % 2)
                    pool.Free(mine[i]);
                else
                {
                    mine[i][1] = static_cast<unsigned>(kept.size());
                    kept.push_back(mine[i]);
                }
            }
            mine = kept;
        }
    };
    std::vector<std::thread> running;
    for (int id = 0; id < threads; id++)
        running.emplace_back(work, id);
    for (std::thread& thread : running)
        thread.join();
    size_t held = 0;
    for (int id = 0; id < threads; id++)
    {
        EXPECT_EQ(0, damaged[static_cast<size_t>(id)]) << "thread " << id;
        held += made[static_cast<size_t>(id)].size();
    }
    EXPECT_EQ(held, pool.LiveBlocks());
    for (const std::vector<unsigned*>& mine : made)
        for (unsigned* block : mine)
            pool.Free(block);
    EXPECT_EQ(0u, pool.LiveBlocks());
    EXPECT_EQ(1u, pool.ChunkCount());
}

TEST(SmallBlockPool, CellTextsOfEveryLengthComeBackWhole)
{
    TestGrid t(3, 3);
    CGridCtrl& grid = t.grid;
    // Lengths across every pooled size class and beyond it, each text replaced by one of another
    // length, by one of the same length, and by a part of itself.
    for (int length = 0; length <= 70; length++)
    {
        std::wstring text;
        for (int i = 0; i < length; i++)
            text += static_cast<wchar_t>(L'a' + (i + length) % 26);
        ASSERT_TRUE(grid.SetItemText(1, 1, text.c_str()));
        EXPECT_EQ(text, std::wstring(grid.GetItemText(1, 1).GetString()));
        std::wstring other(static_cast<size_t>(70 - length), L'Z');
        ASSERT_TRUE(grid.SetItemText(2, 2, other.c_str()));
        EXPECT_EQ(text, std::wstring(grid.GetItemText(1, 1).GetString())) << "another cell's text leaves it";
        EXPECT_EQ(other, std::wstring(grid.GetItemText(2, 2).GetString()));
        if (length > 1)
        {
            CGridCellBase* cell = grid.GetCell(1, 1);
            cell->SetText(cell->GetText() + 1);
            EXPECT_EQ(text.substr(1), std::wstring(cell->GetText()));
        }
    }
}

TEST(SmallBlockPool, CellsOfEveryKindAreMadeAndDeletedWhereTheyBelong)
{
    // A derived kind of cell of another size is made on the heap and deleted there.
    struct WiderCell : CGridCell
    {
        double extra[3] = {1, 2, 3};
    };
    CGridCellBase* wide = new WiderCell;
    wide->SetText(L"wide");
    EXPECT_EQ(std::wstring(L"wide"), std::wstring(wide->GetText()));
    delete wide;

    CGridCtrl grid;
    ASSERT_TRUE(grid.SetColumnCount(10));
    ASSERT_TRUE(grid.SetRowCount(300));
    for (int row = 0; row < 300; row++)
        grid.SetItemText(row, row % 10, L"text");
    EXPECT_EQ(L"text", grid.GetItemText(299, 9));
    EXPECT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(0, grid.GetRowCount());
}

TEST(SmallBlockPool, BlocksMadeTogetherAreDistinctAndAlignedToTheirClass)
{
    // Text blocks are aligned to 4 only, and come in sizes 4 bytes apart.
    SmallBlockPool texts(6, 4);
    EXPECT_EQ(8u, texts.BlockSize());
    SmallBlockPool twelve(10, 4);
    EXPECT_EQ(12u, twelve.BlockSize());
    EXPECT_EQ(4u, SmallBlockPool(1, 4).BlockSize()) << "a block holds at least a free block's link (32-bit)";

    // 6,000 blocks of 12 bytes made in one call cross from one 64 KB chunk into the next.
    std::vector<void*> blocks(6000, nullptr);
    twelve.AllocateMany(blocks.data(), blocks.size());
    EXPECT_EQ(6000u, twelve.LiveBlocks());
    EXPECT_EQ(2u, twelve.ChunkCount());
    std::vector<char*> sorted;
    for (void* block : blocks)
    {
        EXPECT_EQ(0u, reinterpret_cast<uintptr_t>(block) % 4);
        sorted.push_back(static_cast<char*>(block));
    }
    std::sort(sorted.begin(), sorted.end());
    for (size_t i = 1; i < sorted.size(); i++)
        ASSERT_LE(sorted[i - 1] + 12, sorted[i]) << "blocks overlap";
    // Each block keeps what is written into it.
    for (size_t i = 0; i < blocks.size(); i++)
        std::memset(blocks[i], static_cast<int>(i & 0x7F), 12);
    for (size_t i = 0; i < blocks.size(); i++)
        ASSERT_EQ(static_cast<char>(i & 0x7F), static_cast<char*>(blocks[i])[11]) << i;
    for (void* block : blocks)
        twelve.Free(block);
    EXPECT_EQ(0u, twelve.LiveBlocks());
}
