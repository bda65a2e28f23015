// The chunks of a small-block pool: each starts with its header and hands out blocks first from
// its free list, then from the part never used; the header is found from a block by alignment.
#include "grid/SmallBlockPool.h"
#include <cstdint>
#include <new>

struct SmallBlockPool::Chunk
{
    Chunk* prev;
    Chunk* next;
    void* freeList;    // blocks given back, each holding the next one's address
    char* unused;      // the first block never handed out
    char* end;
    size_t live;
    bool linked;       // in the list of chunks with a free block
};

namespace {

const size_t HEADER_SIZE = (sizeof(void*) * 8 + 7) & ~size_t(7);

// Holds the pool for the few instructions of one call; another thread that finds it held yields
// its time slice until it is free.
class Locked
{
public:
    explicit Locked(std::atomic_flag& busy) : m_busy(busy)
    {
        while (m_busy.test_and_set(std::memory_order_acquire))
            ::Sleep(0);
    }
    ~Locked() { m_busy.clear(std::memory_order_release); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
private:
    std::atomic_flag& m_busy;
};

} // namespace

namespace {

// A freed block holds the next free block's address, so no block is smaller or less aligned than one.
size_t RoundedBlockSize(size_t blockSize, size_t alignment)
{
    if (alignment < sizeof(void*))
        alignment = sizeof(void*);
    if (blockSize < alignment)
        blockSize = alignment;
    return (blockSize + alignment - 1) / alignment * alignment;
}

} // namespace

SmallBlockPool::SmallBlockPool(size_t blockSize, size_t alignment)
    : m_blockSize(RoundedBlockSize(blockSize, alignment))
{
    static_assert(sizeof(Chunk) <= HEADER_SIZE, "the chunk header fits its space");
}

SmallBlockPool::~SmallBlockPool()
{
    // Only empty chunks go: a block still in use keeps its chunk.
    if (m_spare)
        ::VirtualFree(m_spare, 0, MEM_RELEASE);
}

SmallBlockPool::Chunk* SmallBlockPool::NewChunk()
{
    // VirtualAlloc places every allocation on a 64 KB boundary, which finding a block's chunk needs.
    void* memory = ::VirtualAlloc(nullptr, CHUNK_SIZE, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!memory)
        return nullptr;
    m_chunks++;
    return static_cast<Chunk*>(memory);
}

void SmallBlockPool::Link(Chunk* chunk)
{
    chunk->prev = nullptr;
    chunk->next = m_available;
    if (m_available)
        m_available->prev = chunk;
    m_available = chunk;
    chunk->linked = true;
}

void SmallBlockPool::Unlink(Chunk* chunk)
{
    if (chunk->prev)
        chunk->prev->next = chunk->next;
    else
        m_available = chunk->next;
    if (chunk->next)
        chunk->next->prev = chunk->prev;
    chunk->prev = chunk->next = nullptr;
    chunk->linked = false;
}

void* SmallBlockPool::Allocate()
{
    Locked locked(m_busy);
    return AllocateHeld();
}

void SmallBlockPool::AllocateMany(void** blocks, size_t count)
{
    Locked locked(m_busy);
    size_t made = 0;
    try
    {
        for (; made < count; made++)
            blocks[made] = AllocateHeld();
    }
    catch (const std::bad_alloc&)
    {
        while (made > 0)
            FreeHeld(blocks[--made]);
        throw;
    }
}

void* SmallBlockPool::AllocateHeld()
{
    Chunk* chunk = m_available;
    if (!chunk)
    {
        chunk = m_spare ? m_spare : NewChunk();
        if (!chunk)
            throw std::bad_alloc();
        m_spare = nullptr;
        char* base = reinterpret_cast<char*>(chunk);
        chunk->freeList = nullptr;
        chunk->unused = base + HEADER_SIZE;
        chunk->end = base + HEADER_SIZE + (CHUNK_SIZE - HEADER_SIZE) / m_blockSize * m_blockSize;
        chunk->live = 0;
        Link(chunk);
    }
    void* block;
    if (chunk->freeList)
    {
        block = chunk->freeList;
        chunk->freeList = *static_cast<void**>(block);
    }
    else
    {
        block = chunk->unused;
        chunk->unused += m_blockSize;
    }
    chunk->live++;
    m_live++;
    if (!chunk->freeList && chunk->unused == chunk->end)
        Unlink(chunk);
    return block;
}

void SmallBlockPool::Free(void* block)
{
    if (!block)
        return;
    Locked locked(m_busy);
    FreeHeld(block);
}

void SmallBlockPool::FreeHeld(void* block)
{
    Chunk* chunk = reinterpret_cast<Chunk*>(reinterpret_cast<uintptr_t>(block) & ~uintptr_t(CHUNK_SIZE - 1));
    *static_cast<void**>(block) = chunk->freeList;
    chunk->freeList = block;
    chunk->live--;
    m_live--;
    if (chunk->live == 0)
    {
        if (chunk->linked)
            Unlink(chunk);
        if (!m_spare)
        {
            m_spare = chunk;
            return;
        }
        ::VirtualFree(chunk, 0, MEM_RELEASE);
        m_chunks--;
        return;
    }
    if (!chunk->linked)
        Link(chunk);
}

size_t SmallBlockPool::LiveBlocks() const
{
    Locked locked(m_busy);
    return m_live;
}

size_t SmallBlockPool::ChunkCount() const
{
    Locked locked(m_busy);
    return m_chunks;
}
