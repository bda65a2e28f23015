#include "kit/AllocationGate.h"

namespace kit {

AllocationGate g_allocationGate = nullptr;

AllocationGate setAllocationGate(AllocationGate gate)
{
    AllocationGate previous = g_allocationGate;
    g_allocationGate = gate;
    return previous;
}

} // namespace kit
