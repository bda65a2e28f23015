// Linked into the test programs built with the kit's checked allocators: at the end of each test,
// every live block's guard bytes and every held-back freed block's fill are checked, and a fault
// fails that test.
#include <gtest/gtest.h>
#include "kit/AllocationCheck.h"

#ifndef FORMSTEAD_ALLOC_CHECK
#error "the listener belongs to the programs built with the checked allocators"
#endif

namespace {

class AllocationCheckListener : public ::testing::EmptyTestEventListener
{
    void OnTestStart(const ::testing::TestInfo&) override
    {
        // Faults of the start-up or of a test that ended in a crash handler are not this test's.
        std::string before = kit::takeAllocationFaults();
        if (!before.empty())
            ADD_FAILURE() << "memory faults found before the test:\n" << before;
    }
    // Runs while GoogleTest still counts results to the test, before the result is printed.
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        std::string faults = kit::takeAllocationFaults();
        if (!faults.empty())
            ADD_FAILURE() << "memory faults found by the checked allocators:\n" << faults;
    }
};

struct Registration {
    Registration() { ::testing::UnitTest::GetInstance()->listeners().Append(new AllocationCheckListener); }
} g_registration;

} // namespace
