// Entry point of every test executable: GoogleTest's summary goes to stdout, which the Wine runner
// streams to CTest. The exit code is 0 or 1 (Wine passes on only 8 bits of it). Each case owns a
// registry key and an application-data folder (OwnUserState.h).
#include <gtest/gtest.h>
#include "tests/support/OwnUserState.h"
#include "tests/support/TraceViewer.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    UseProcessOwnDebugViewerClass();
    ::testing::UnitTest::GetInstance()->listeners().Append(NewOwnUserStateListener());
    return RUN_ALL_TESTS() == 0 ? 0 : 1;
}
