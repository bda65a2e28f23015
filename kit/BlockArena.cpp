// Arena chunks come from VirtualAlloc, whose addresses and sizes fall on 64 KB regions: the
// small-block allocator's region table marks them, which is how smallBlockFree knows to leave an
// arena's blocks alone. Kept chunks stay marked; nothing is freed into them.
#include "kit/BlockArena.h"
#include "kit/AllocationGate.h"
#include "kit/SmallBlocks.h"
#include <windows.h>
#include <new>
#include <stdint.h>

namespace kit {

namespace {

const size_t kFirstChunk = 64 * 1024;
const size_t kLargestChunk = 4 * 1024 * 1024;
const size_t kAlign = 8;
const size_t kPacking = 4;

size_t roundUp(size_t n, size_t to)
{
    return (n + to - 1) & ~(to - 1);
}

// Chunks kept for reuse, most recently released first; zero-initialised, usable before any
// constructor has run. One short spin lock guards them.
struct Spare {
    volatile LONG busy;
    void* first; // each kept chunk starts with its link and its size
    size_t bytes;
} g_spare;

struct SpareLink {
    SpareLink* next;
    size_t bytes;
};

void lockSpare()
{
    while (InterlockedExchange(&g_spare.busy, 1) != 0)
        Sleep(0);
}

void unlockSpare()
{
    InterlockedExchange(&g_spare.busy, 0);
}

// A kept chunk of exactly that size, or NULL.
void* takeSpare(size_t bytes)
{
    lockSpare();
    SpareLink** at = reinterpret_cast<SpareLink**>(&g_spare.first);
    while (*at && (*at)->bytes != bytes)
        at = &(*at)->next;
    SpareLink* found = *at;
    if (found) {
        *at = found->next;
        g_spare.bytes -= bytes;
    }
    unlockSpare();
    return found;
}

// Keeps the chunk when there is room under the limit; false when the caller must free it.
bool keepSpare(void* chunk, size_t bytes)
{
    lockSpare();
    bool kept = g_spare.bytes + bytes <= BlockArena::kSpareLimit;
    if (kept) {
        SpareLink* link = static_cast<SpareLink*>(chunk);
        link->next = static_cast<SpareLink*>(g_spare.first);
        link->bytes = bytes;
        g_spare.first = link;
        g_spare.bytes += bytes;
    }
    unlockSpare();
    return kept;
}

} // namespace

size_t BlockArena::spareBytes()
{
    lockSpare();
    size_t bytes = g_spare.bytes;
    unlockSpare();
    return bytes;
}

void BlockArena::dropChunk(Chunk* chunk)
{
    size_t bytes = chunk->bytes;
    if (keepSpare(chunk, bytes))
        return;
    smallBlockMarkArena(chunk, bytes, false);
    VirtualFree(chunk, 0, MEM_RELEASE);
}

BlockArena::Chunk* BlockArena::newChunk(size_t bytes)
{
    if (void* kept = takeSpare(bytes)) {
        Chunk* chunk = static_cast<Chunk*>(kept);
        chunk->next = nullptr;
        chunk->bytes = bytes;
        return chunk;
    }
    void* memory = VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!memory)
        return nullptr;
    smallBlockMarkArena(memory, bytes, true);
    Chunk* chunk = static_cast<Chunk*>(memory);
    chunk->next = nullptr;
    chunk->bytes = bytes;
    return chunk;
}

BlockArena::BlockArena(Chunk* first, size_t headBytes)
    : m_chunks(first), m_next(reinterpret_cast<char*>(first) + headBytes), m_left(first->bytes - headBytes),
      m_chunkBytes(first->bytes)
{
#ifdef FORMSTEAD_ALLOC_CHECK
    registerArena(m_checked);
#endif
}

BlockArena* BlockArena::create()
{
    if (!allocationAllowed(kFirstChunk))
        return nullptr;
    Chunk* first = newChunk(kFirstChunk);
    if (!first)
        return nullptr;
    // The arena lives in its own first chunk, after the chunk's header.
    const size_t head = roundUp(sizeof(Chunk), kAlign);
    return ::new (reinterpret_cast<char*>(first) + head) BlockArena(first, head + roundUp(sizeof(BlockArena), kAlign));
}

bool BlockArena::addChunk(size_t atLeast)
{
    // Each chunk is as large as all before it, up to a limit: few system calls for a large
    // document, little unused room for a small one.
    size_t bytes = m_chunkBytes < kLargestChunk ? m_chunkBytes : kLargestChunk;
    const size_t head = roundUp(sizeof(Chunk), kAlign);
    if (bytes < atLeast + head)
        bytes = roundUp(atLeast + head, kFirstChunk);
    Chunk* chunk = newChunk(bytes);
    if (!chunk)
        return false;
    // The first chunk holds the arena itself and stays first in the list.
    chunk->next = m_chunks->next;
    m_chunks->next = chunk;
    m_chunkBytes += bytes;
    m_next = reinterpret_cast<char*>(chunk) + head;
    m_left = bytes - head;
    return true;
}

void* BlockArena::allocateSlowly(size_t size, size_t align)
{
    size_t rounded = roundUp(size ? size : 1, kPacking);
    if (rounded < size)
        return nullptr;
    // Chunks start 8-aligned, and every block is a multiple of 4: at most 4 bytes of padding.
    size_t pad = align > kPacking ? (size_t)(-(intptr_t)m_next) & (kAlign - 1) : 0;
    if (rounded + pad > m_left) {
        if (!addChunk(rounded))
            return nullptr;
        pad = 0;
    }
    char* block = m_next + pad;
    m_next = block + rounded;
    m_left -= pad + rounded;
    return block;
}

#ifdef FORMSTEAD_ALLOC_CHECK
void* BlockArena::allocateGuarded(size_t size)
{
    if (size > SIZE_MAX / 2)
        return nullptr;
    void* raw = allocateSlowly(arenaBlockBytes(size), kAlign);
    return raw ? placeArenaBlock(raw, size, m_checked) : nullptr;
}
#endif

void BlockArena::addRef()
{
    InterlockedIncrement(&m_refs);
}

void BlockArena::release()
{
    if (InterlockedDecrement(&m_refs) != 0)
        return;
    Chunk* chunk = m_chunks;
#ifdef FORMSTEAD_ALLOC_CHECK
    unregisterArena(m_checked);
#endif
    this->~BlockArena();
    // The first chunk, which held the arena, goes first: the small chunks every arena starts with
    // are the ones worth keeping.
    while (chunk) {
        Chunk* next = chunk->next;
        dropChunk(chunk);
        chunk = next;
    }
}

} // namespace kit
