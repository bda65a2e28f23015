// Small fixed-size blocks for the tree's many small objects (nodes, their text buffers, child and
// attribute arrays), from the kit's small-block allocator: carved from large regions and reused
// through free lists, which costs far less than one heap allocation per object.
#pragma once
#include <stddef.h>
#include <new>
#include <utility>

#include "kit/BlockArena.h"
#include "kit/SmallBlocks.h"

// NULL when no memory is left. Sizes above the allocator's largest class come from the heap.
void* poolAlloc(size_t size);
void poolFree(void* block, size_t size);
// The same from the arena when one is given: small blocks are carved from it (poolFree leaves them
// to the arena), larger ones still come from the heap. An arena aligns them to align (4 or 8).
// Inline: a parsed document takes one or two blocks per element.
inline void* poolAllocIn(kit::BlockArena* arena, size_t size, size_t align = 8)
{
    return arena && size <= kSmallBlockLargest ? arena->allocate(size, align) : smallBlockAlloc(size);
}

template <class T, class... Args>
T* poolNew(Args&&... args)
{
    void* block = poolAlloc(sizeof(T));
    return block ? new (block) T(std::forward<Args>(args)...) : nullptr;
}

// Only for objects made by poolNew with exactly this type.
template <class T>
void poolDelete(T* object)
{
    if (object) {
        object->~T();
        poolFree(object, sizeof(T));
    }
}

// Class-level allocation through the pool, for classes deleted through base pointers too.
#define POOLED_ALLOCATION(Class)                                                                     \
    static void* operator new(size_t size, const std::nothrow_t&) noexcept { return poolAlloc(size); } \
    static void* operator new(size_t size)                                                          \
    {                                                                                               \
        void* block = poolAlloc(size);                                                              \
        if (!block)                                                                                 \
            throw std::bad_alloc();                                                                 \
        return block;                                                                               \
    }                                                                                               \
    static void operator delete(void* block, size_t size) { poolFree(block, size); }                \
    static void operator delete(void* block, const std::nothrow_t&) noexcept { poolFree(block, sizeof(Class)); }
