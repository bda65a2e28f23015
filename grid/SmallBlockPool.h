// Blocks of one small size carved from 64 KB chunks of the system's memory, for the millions of
// cells and cell texts of a large grid: no per-block header, and making or freeing a block is a
// few instructions. A chunk whose blocks are all free goes back to the system (one is kept spare).
#pragma once
#include <windows.h>
#include <atomic>
#include <cstddef>

class SmallBlockPool
{
public:
    // Blocks of blockSize bytes rounded up to the alignment (8, or 4 for blocks such as texts that
    // need no more), each aligned to it.
    explicit SmallBlockPool(size_t blockSize, size_t alignment = 8);
    ~SmallBlockPool();
    SmallBlockPool(const SmallBlockPool&) = delete;
    SmallBlockPool& operator=(const SmallBlockPool&) = delete;

    // A block; throws std::bad_alloc when the system has no memory left.
    void* Allocate();
    // count blocks into blocks, under one hold of the pool; throws std::bad_alloc (none made) when
    // the system has no memory left.
    void AllocateMany(void** blocks, size_t count);
    // Gives back a block this pool made (null is ignored).
    void Free(void* block);

    size_t BlockSize() const { return m_blockSize; }
    size_t LiveBlocks() const;
    size_t ChunkCount() const;   // chunks held from the system, the spare one included

    static const size_t CHUNK_SIZE = 64 * 1024;   // the system's allocation granularity

private:
    struct Chunk;
    // Allocate and Free with the pool already held.
    void* AllocateHeld();
    void FreeHeld(void* block);
    Chunk* NewChunk();
    void Link(Chunk* chunk);
    void Unlink(Chunk* chunk);

    size_t m_blockSize;
    Chunk* m_available = nullptr;   // chunks with a free block, the one to use first at the head
    Chunk* m_spare = nullptr;       // an empty chunk kept back from the system
    size_t m_live = 0;
    size_t m_chunks = 0;
    mutable std::atomic_flag m_busy = ATOMIC_FLAG_INIT;   // cells may be made on any thread
};
