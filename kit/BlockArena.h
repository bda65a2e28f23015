// A bump allocator for many small objects that die together (the nodes of one parsed document):
// blocks are carved in order from chunks that double in size, with no lock and no per-block header,
// and all chunks go back to the system at once when the last reference is released. Blocks in an
// arena may still be passed to smallBlockFree, which leaves them alone, so an object need not know
// where it was placed.
#pragma once
#include <stddef.h>
#include "kit/AllocationCheck.h"
#include "kit/AllocationGate.h"
#include "kit/KitObject.h"
#include <stdint.h>

namespace kit {

class BlockArena : public KitObject
{
public:
    // A new arena holding one reference; NULL when no memory is left.
    static BlockArena* create();
    BlockArena(const BlockArena&) = delete;
    BlockArena& operator=(const BlockArena&) = delete;

    // A block aligned to 8 bytes, or to 4 for objects that need no more (their sizes are then
    // packed closer); NULL when no memory is left or the allocation gate refuses it. Allocation is
    // for one thread at a time (the one building the objects).
    // Inline: the common case is a check of the gate and a bump of the pointer.
    void* allocate(size_t size, size_t align = 8)
    {
        if (!allocationAllowed(size))
            return nullptr;
#ifdef FORMSTEAD_ALLOC_CHECK
        return allocateGuarded(size);
#else
        size_t rounded = (size + 3) & ~(size_t)3;
        size_t pad = align > 4 ? (size_t)(-(intptr_t)m_next) & 7 : 0;
        if (size == 0 || rounded < size || rounded + pad > m_left)
            return allocateSlowly(size, align);
        char* block = m_next + pad;
        m_next = block + rounded;
        m_left -= pad + rounded;
        return block;
#endif
    }
    // References may be taken and released from any thread.
    void addRef();
    // Frees every chunk, and so every block, with the last reference. Chunks up to a limit are kept
    // for the next arenas, whose first blocks then land on memory already touched (a program that
    // parses document after document); the rest go back to the system.
    void release();
    // Bytes of the arena's chunks, for tests and measurements.
    size_t chunkBytes() const { return m_chunkBytes; }
    // Bytes of the chunks kept for reuse, and the most kept.
    static size_t spareBytes();
    static constexpr size_t kSpareLimit = 16 * 1024 * 1024;

private:
    struct Chunk {
        Chunk* next;
        size_t bytes;
    };
    BlockArena(Chunk* first, size_t headBytes);
    ~BlockArena() override {}
    // The gate has allowed the block; a new chunk is needed, or the size is unusual.
    void* allocateSlowly(size_t size, size_t align);
    bool addChunk(size_t atLeast);
#ifdef FORMSTEAD_ALLOC_CHECK
    // A block with a header and guard bytes, listed for the checks.
    void* allocateGuarded(size_t size);
    ArenaBlockList m_checked;
#endif
    static Chunk* newChunk(size_t bytes);
    static void dropChunk(Chunk* chunk);

    Chunk* m_chunks;
    char* m_next;
    size_t m_left;
    size_t m_chunkBytes;
    volatile long m_refs = 1;
};

} // namespace kit
