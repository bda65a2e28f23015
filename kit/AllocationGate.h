// A hook asked before each block the kit allocates for its buffers, arrays and the tree's objects.
// Tests set it to refuse allocations, to check that every caller reports a failed one instead of
// carrying on with data missing. No gate (the default) allows everything.
#pragma once
#include <stddef.h>

namespace kit {

// True to allow an allocation of size bytes.
using AllocationGate = bool (*)(size_t size);

// Sets the gate (NULL removes it) and returns the one it replaces.
AllocationGate setAllocationGate(AllocationGate gate);

extern AllocationGate g_allocationGate;

inline bool allocationAllowed(size_t size)
{
    return !g_allocationGate || g_allocationGate(size);
}

} // namespace kit
