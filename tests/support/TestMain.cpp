// Entry point of every test executable: GoogleTest's summary goes to stdout, which the Wine
// runner streams to CTest.
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
