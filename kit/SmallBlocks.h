// Small blocks for the kit's buffers and arrays and the tree's objects: blocks of up to 256 bytes
// are carved from 64 KB regions that each hold one block size, and are freed without being told
// their size (the region a block lies in knows it). Larger sizes come from the heap.
#pragma once
#include <stddef.h>

// NULL when no memory is left.
void* smallBlockAlloc(size_t size);
// Frees a block from smallBlockAlloc, whatever its size; NULL is ignored. Blocks of an arena
// (see smallBlockMarkArena) are left alone: they go back with their arena.
void smallBlockFree(void* block);
// Marks the 64 KB regions of [base, base + bytes), which must start on a region, as an arena's
// (true) or as no longer in use (false).
void smallBlockMarkArena(void* base, size_t bytes, bool arena);
// The largest size served from the regions rather than the heap.
const size_t kSmallBlockLargest = 256;
