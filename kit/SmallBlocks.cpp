// The small-block allocator: one free list per 8-byte size class, regions taken 64 at a time from
// the system and never returned, and one table over the 32-bit address space naming the size class
// of every region (0: not a region, so the block came from the heap). One short spin lock guards
// the lists for all threads; it is held for a few instructions only.
#include "kit/SmallBlocks.h"
#include "kit/AllocationCheck.h"
#include "kit/AllocationGate.h"
#include <windows.h>
#include <stdint.h>
#include <new>

static_assert(sizeof(void*) == 4, "the region table covers a 32-bit address space");

namespace {

const size_t kGranule = 8;
const size_t kClasses = kSmallBlockLargest / kGranule;
const int kRegionBits = 16;
const size_t kRegion = size_t(1) << kRegionBits;
const size_t kRegionsPerReserve = 64;

// Size class + 1 of each 64 KB region of the address space; written once per region, under the lock,
// before any block of the region is handed out. kArenaRegion marks an arena's chunk.
unsigned char g_regionClass[size_t(1) << (32 - kRegionBits)];
const unsigned char kArenaRegion = 0xFF;

// Zero-initialised state, usable before any constructor has run.
struct Lists {
    volatile LONG busy;
    void* free[kClasses];
    char* next[kClasses];
    size_t left[kClasses];
    char* spare;
    size_t spareRegions;
} g_lists;

void lock()
{
    while (__atomic_exchange_n(&g_lists.busy, 1, __ATOMIC_ACQUIRE) != 0)
        Sleep(0);
}

void unlock()
{
    __atomic_store_n(&g_lists.busy, 0, __ATOMIC_RELEASE);
}

// Gives the class a fresh region; false when the system has no memory left.
bool newRegion(size_t cls)
{
    if (g_lists.spareRegions == 0) {
        void* reserve = VirtualAlloc(nullptr, kRegion * kRegionsPerReserve, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        if (!reserve)
            return false;
        g_lists.spare = static_cast<char*>(reserve);
        g_lists.spareRegions = kRegionsPerReserve;
    }
    char* region = g_lists.spare;
    g_lists.spare += kRegion;
    --g_lists.spareRegions;
    g_regionClass[reinterpret_cast<uintptr_t>(region) >> kRegionBits] = (unsigned char)(cls + 1);
    g_lists.next[cls] = region;
    g_lists.left[cls] = kRegion;
    return true;
}

} // namespace

void* smallBlockAlloc(size_t size)
{
    if (!kit::allocationAllowed(size))
        return nullptr;
#ifdef FORMSTEAD_ALLOC_CHECK
    // Every block guarded on the heap: a region's neighbouring blocks would hide an overrun.
    return kit::checkedAlloc(size);
#endif
    if (size == 0 || size > kSmallBlockLargest)
        return ::operator new[](size ? size : 1, std::nothrow);
    size_t cls = (size - 1) / kGranule;
    size_t rounded = (cls + 1) * kGranule;
    lock();
    void* block = g_lists.free[cls];
    if (block) {
        g_lists.free[cls] = *static_cast<void**>(block);
    } else if (g_lists.left[cls] >= rounded || newRegion(cls)) {
        block = g_lists.next[cls];
        g_lists.next[cls] += rounded;
        g_lists.left[cls] -= rounded;
    }
    unlock();
    return block;
}

void smallBlockFree(void* block)
{
    if (!block)
        return;
    unsigned char cls = g_regionClass[reinterpret_cast<uintptr_t>(block) >> kRegionBits];
#ifdef FORMSTEAD_ALLOC_CHECK
    if (cls == kArenaRegion)
        kit::checkArenaBlock(block);
    else if (!kit::checkedFree(block))
        ::operator delete[](block);
    return;
#endif
    if (cls == 0) {
        ::operator delete[](block);
        return;
    }
    if (cls == kArenaRegion)
        return;
    lock();
    *static_cast<void**>(block) = g_lists.free[cls - 1];
    g_lists.free[cls - 1] = block;
    unlock();
}

void smallBlockMarkArena(void* base, size_t bytes, bool arena)
{
    uintptr_t first = reinterpret_cast<uintptr_t>(base) >> kRegionBits;
    uintptr_t count = (bytes + kRegion - 1) >> kRegionBits;
    for (uintptr_t r = first; r < first + count; ++r)
        g_regionClass[r] = arena ? kArenaRegion : 0;
}
