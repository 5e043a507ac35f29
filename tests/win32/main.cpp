#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>

// As the program starts: the common controls and an apartment on the windows' thread.
int main(int argc, char **argv)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    OleUninitialize();
    return result;
}
