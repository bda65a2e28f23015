// The checking mode's blocks. A heap block has a header before it (its size and its links in the
// list of live blocks, sealed with its own address, so that a block from elsewhere is told apart)
// and guard bytes after exactly the size asked for. Freed blocks are filled and wait in a queue
// before they go back to the heap; their fill is checked when they leave it and whenever the
// faults are taken. Arena blocks carry the same header and guard and are listed by their arena.
// One short spin lock guards the lists and the faults.
#include "kit/AllocationCheck.h"

#ifndef FORMSTEAD_ALLOC_CHECK

namespace kit {
bool allocationCheckEnabled() { return false; }
std::string takeAllocationFaults() { return std::string(); }
} // namespace kit

#else

#include <windows.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <new>

namespace kit {

namespace {

const unsigned char kGuard = 0xFD;
const unsigned char kFresh = 0xCD;
const unsigned char kFreed = 0xDD;
const uint32_t kLiveSeal = 0x5EA1AB1Eu;
const uint32_t kFreedSeal = 0xF4EED0FFu;
const uint32_t kArenaSeal = 0xA7E4ABA5u;

// 16 bytes: the block after it stays aligned to 8.
struct Header {
    Header* prev;
    Header* next;
    size_t size;
    uint32_t seal; // a seal kind mixed with the header's address
};
static_assert(sizeof(Header) == 16, "a heap block's header keeps it aligned to 8");

struct ArenaHeader {
    ArenaHeader* next;
    size_t size;
    uint32_t seal;
    uint32_t unused;
};
static_assert(sizeof(ArenaHeader) == kArenaBlockHead, "an arena block's header keeps it aligned to 8");

// Freed blocks held back: at most this many and this many bytes; larger blocks go back at once.
const size_t kHeldBlocks = 4096;
const size_t kHeldBytes = 16u << 20;
const size_t kLargestHeld = 1u << 20;

// Zero-initialised, usable before any constructor has run.
struct State {
    volatile LONG busy;
    Header* live;
    ArenaBlockList* arenas;
    Header* held[kHeldBlocks];
    size_t heldFirst;
    size_t heldCount;
    size_t heldBytes;
    std::string* faults; // made with the first fault
} g_state;

void lock()
{
    while (InterlockedExchange(&g_state.busy, 1) != 0)
        Sleep(0);
}

void unlock()
{
    InterlockedExchange(&g_state.busy, 0);
}

uint32_t sealFor(const void* header, uint32_t kind)
{
    return kind ^ (uint32_t)(uintptr_t)header;
}

unsigned char* usable(Header* h)
{
    return reinterpret_cast<unsigned char*>(h + 1);
}

unsigned char* usable(ArenaHeader* h)
{
    return reinterpret_cast<unsigned char*>(h + 1);
}

// Index of the first of n bytes that is not value; n when all are.
size_t firstOther(const unsigned char* p, size_t n, unsigned char value)
{
    for (size_t i = 0; i < n; ++i)
        if (p[i] != value)
            return i;
    return n;
}

// Under the lock.
void addFault(const char* what, const void* block, size_t size, size_t at)
{
    char line[200];
    snprintf(line, sizeof line, "%s: block at %p of %u bytes, changed at byte %u\n", what, block, (unsigned)size,
             (unsigned)at);
    if (!g_state.faults)
        g_state.faults = new (std::nothrow) std::string;
    if (g_state.faults)
        g_state.faults->append(line);
}

void checkGuard(const unsigned char* block, size_t size, const char* what)
{
    size_t at = firstOther(block + size, kGuardBytes, kGuard);
    if (at < kGuardBytes)
        addFault(what, block, size, size + at);
}

void checkFill(Header* h)
{
    size_t at = firstOther(usable(h), h->size + kGuardBytes, kFreed);
    if (at < h->size + kGuardBytes)
        addFault("written after it was freed", usable(h), h->size, at);
}

void checkArenaBlocks(const ArenaBlockList& list)
{
    for (ArenaHeader* h = static_cast<ArenaHeader*>(list.first); h; h = h->next)
        checkGuard(usable(h), h->size, "arena block written past its end");
}

// Under the lock: the oldest held block leaves the queue, its fill checked; the caller frees it.
Header* releaseOldestHeld()
{
    Header* h = g_state.held[g_state.heldFirst];
    g_state.heldFirst = (g_state.heldFirst + 1) % kHeldBlocks;
    --g_state.heldCount;
    g_state.heldBytes -= h->size;
    checkFill(h);
    return h;
}

} // namespace

bool allocationCheckEnabled()
{
    return true;
}

void* checkedAlloc(size_t size)
{
    if (size > SIZE_MAX / 2)
        return nullptr;
    // malloc, not operator new: its failure must not go through a thrown exception, which needs
    // memory of its own when none is left.
    Header* h = static_cast<Header*>(malloc(sizeof(Header) + size + kGuardBytes));
    if (!h)
        return nullptr;
    h->size = size;
    h->seal = sealFor(h, kLiveSeal);
    memset(usable(h), kFresh, size);
    memset(usable(h) + size, kGuard, kGuardBytes);
    lock();
    h->prev = nullptr;
    h->next = g_state.live;
    if (g_state.live)
        g_state.live->prev = h;
    g_state.live = h;
    unlock();
    return usable(h);
}

bool checkedFree(void* block)
{
    Header* h = static_cast<Header*>(block) - 1;
    if (h->seal == sealFor(h, kFreedSeal)) {
        lock();
        addFault("freed twice", block, h->size, 0);
        unlock();
        return true;
    }
    if (h->seal != sealFor(h, kLiveSeal))
        return false;
    Header* goes = nullptr; // blocks going back to the heap, chained through next
    lock();
    if (h->prev)
        h->prev->next = h->next;
    else
        g_state.live = h->next;
    if (h->next)
        h->next->prev = h->prev;
    checkGuard(usable(h), h->size, "written past its end");
    h->seal = sealFor(h, kFreedSeal);
    if (h->size > kLargestHeld) {
        // Too large to hold back: nothing would read its fill.
        h->next = nullptr;
        goes = h;
    } else {
        memset(usable(h), kFreed, h->size + kGuardBytes);
        while (g_state.heldCount > 0 &&
               (g_state.heldCount == kHeldBlocks || g_state.heldBytes + h->size > kHeldBytes)) {
            Header* oldest = releaseOldestHeld();
            oldest->next = goes;
            goes = oldest;
        }
        g_state.held[(g_state.heldFirst + g_state.heldCount) % kHeldBlocks] = h;
        ++g_state.heldCount;
        g_state.heldBytes += h->size;
    }
    unlock();
    while (goes) {
        Header* next = goes->next;
        goes->seal = 0;
        free(goes);
        goes = next;
    }
    return true;
}

void* placeArenaBlock(void* raw, size_t size, ArenaBlockList& list)
{
    ArenaHeader* h = static_cast<ArenaHeader*>(raw);
    h->size = size;
    h->seal = sealFor(h, kArenaSeal);
    h->unused = 0;
    // The arena's building thread alone adds blocks; checks read the list while nothing is built.
    h->next = static_cast<ArenaHeader*>(list.first);
    list.first = h;
    memset(usable(h), kFresh, size);
    memset(usable(h) + size, kGuard, kGuardBytes);
    return usable(h);
}

void registerArena(ArenaBlockList& list)
{
    lock();
    list.prevList = nullptr;
    list.nextList = g_state.arenas;
    if (g_state.arenas)
        g_state.arenas->prevList = &list;
    g_state.arenas = &list;
    unlock();
}

void unregisterArena(ArenaBlockList& list)
{
    lock();
    checkArenaBlocks(list);
    if (list.prevList)
        list.prevList->nextList = list.nextList;
    else
        g_state.arenas = list.nextList;
    if (list.nextList)
        list.nextList->prevList = list.prevList;
    list.first = nullptr;
    unlock();
}

void checkArenaBlock(void* block)
{
    // Parts of arena blocks (an array placed after a node) are passed here too; they have no seal.
    ArenaHeader* h = static_cast<ArenaHeader*>(block) - 1;
    if (h->seal != sealFor(h, kArenaSeal))
        return;
    lock();
    checkGuard(usable(h), h->size, "arena block written past its end");
    unlock();
}

std::string takeAllocationFaults()
{
    lock();
    for (Header* h = g_state.live; h; h = h->next)
        checkGuard(usable(h), h->size, "written past its end");
    for (ArenaBlockList* list = g_state.arenas; list; list = list->nextList)
        checkArenaBlocks(*list);
    for (size_t i = 0; i < g_state.heldCount; ++i)
        checkFill(g_state.held[(g_state.heldFirst + i) % kHeldBlocks]);
    std::string faults;
    if (g_state.faults)
        faults.swap(*g_state.faults);
    unlock();
    return faults;
}

} // namespace kit

#endif
