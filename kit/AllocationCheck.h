// The checking mode of the kit's allocators, built with FORMSTEAD_ALLOC_CHECK (the test build makes
// a second set of the kit, XML and charset suites this way). Every block gets guard bytes right
// after the size asked for, checked when it is freed and whenever the faults are taken; freed
// blocks are filled with a pattern and held back for a while, so that a write after the free shows
// as well. Without the option the kit allocates as usual and nothing is checked.
#pragma once
#include <stddef.h>
#include <string>

namespace kit {

// Whether this build checks its blocks.
bool allocationCheckEnabled();

// Checks the guards of every live block (heap and arena) and the fill of the freed blocks held
// back; returns the faults found now and at frees since the last call, one line each, and forgets
// them. Empty when all is well, and always in a build without checks.
std::string takeAllocationFaults();

#ifdef FORMSTEAD_ALLOC_CHECK
// A heap block of size bytes with its guard, filled with a pattern; NULL when no memory is left.
void* checkedAlloc(size_t size);
// Frees a block from checkedAlloc (guard checked, block filled and held back); false, nothing done,
// when the block did not come from checkedAlloc (a heap block the caller frees itself).
bool checkedFree(void* block);

// Arena blocks: each has a header before it and a guard after it, and the arena keeps them in a
// list that is checked when the arena goes and whenever the faults are taken.
struct ArenaBlockList {
    void* first = nullptr;
    ArenaBlockList* prevList = nullptr;
    ArenaBlockList* nextList = nullptr;
};
const size_t kArenaBlockHead = 16;
const size_t kGuardBytes = 16;
// The bytes a block of size takes in an arena, header and guard included.
inline size_t arenaBlockBytes(size_t size) { return kArenaBlockHead + size + kGuardBytes; }
// Lays out a block in the raw bytes (arenaBlockBytes long) and returns its usable part.
void* placeArenaBlock(void* raw, size_t size, ArenaBlockList& list);
void registerArena(ArenaBlockList& list);
// Checks the arena's blocks and forgets the arena.
void unregisterArena(ArenaBlockList& list);
// Checks the guard of one arena block handed to smallBlockFree (which leaves it to its arena).
void checkArenaBlock(void* block);
#endif

} // namespace kit
