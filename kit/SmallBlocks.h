// Small blocks for the kit's buffers and arrays and the tree's objects: blocks of up to 256 bytes
// are carved from 64 KB regions that each hold one block size, and are freed without being told
// their size (the region a block lies in knows it). Larger sizes come from the heap.
#pragma once
#include <stddef.h>

// NULL when no memory is left.
void* smallBlockAlloc(size_t size);
// Frees a block from smallBlockAlloc, whatever its size; NULL is ignored.
void smallBlockFree(void* block);
// The largest size served from the regions rather than the heap.
const size_t kSmallBlockLargest = 256;
