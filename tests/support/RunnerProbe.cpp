// A GoogleTest program that misbehaves on request (FORMSTEAD_PROBE), for the check that the Wine runner
// fails every such run: an exit before the summary, fewer tests run than listed, a skip, a failure
// behind exit code 0.
#include <gtest/gtest.h>
#include <cstdlib>
#include <cstring>

namespace {
bool Mode(const char* name)
{
    const char* mode = std::getenv("FORMSTEAD_PROBE");
    return mode && std::strcmp(mode, name) == 0;
}
}

TEST(Probe, First)
{
    if (Mode("exit-early"))
        std::exit(0);
    EXPECT_EQ(2, 1 + 1);
}

TEST(Probe, Second)
{
    if (Mode("skip"))
        GTEST_SKIP() << "probe";
    EXPECT_FALSE(Mode("fail-exit0"));
}

TEST(Probe, Third)
{
    EXPECT_EQ(3, 1 + 2);
}

TEST(DISABLED_Probe, NeverRun)
{
    FAIL() << "a disabled test ran";
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    if (Mode("fewer") && !GTEST_FLAG_GET(list_tests))
        GTEST_FLAG_SET(filter, "Probe.First:Probe.Second");
    const int failed = RUN_ALL_TESTS();
    return Mode("fail-exit0") ? 0 : failed;
}
