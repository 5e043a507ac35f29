#include "StartUp.h"

#include <gtest/gtest.h>

// The windows' thread made as the program makes it. The status is GoogleTest's own rather
// than what the thread hands back, which the tests check.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    tarnwick::win32::runOnWindowsThread([] { return RUN_ALL_TESTS(); });
    return ::testing::UnitTest::GetInstance()->Passed() ? 0 : 1;
}
