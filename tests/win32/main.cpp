#include "StartUp.h"

#include <gtest/gtest.h>

// The windows' thread made as the program makes it.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return tarnwick::win32::runOnWindowsThread([] { return RUN_ALL_TESTS(); });
}
