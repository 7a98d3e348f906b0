#include <windows.h>

#include <ole2.h>

#include <gtest/gtest.h>

// The window's drop area registers with OLE, as in the program.
int main(int argc, char** argv) {
    ::OleInitialize(nullptr);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    ::OleUninitialize();
    return result;
}
