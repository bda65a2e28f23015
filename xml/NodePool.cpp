// The tree's block pool: the kit's small-block allocator, which finds a block's size class itself,
// so the size given on freeing only has to match the one given on allocating.
#include "xml/NodePool.h"
#include "kit/BlockArena.h"
#include "kit/SmallBlocks.h"

void* poolAlloc(size_t size)
{
    return smallBlockAlloc(size);
}

void poolFree(void* block, size_t)
{
    smallBlockFree(block);
}

