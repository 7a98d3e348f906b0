#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

// The window's drop area registers with OLE, as in the program. The program's manifest makes
// it aware of each monitor's DPI; the tests ask for the same.
int main(int argc, char** argv) {
    ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    ::OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::OleUninitialize();
    return result;
}
