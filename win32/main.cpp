#include <windows.h>

#include <ole2.h>

#include "win32/program.h"
#include "win32/user_folders.h"

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*commandLine*/,
                    int showCommand) {
    // Drags from other programs reach the drop area through OLE, which wants the thread's
    // apartment set up first.
    const HRESULT ole = ::OleInitialize(nullptr);
    vantrel::win32::startInDocumentsWhenInOwnFolder();
    int exitCode = 1;
    try {
        vantrel::win32::Program program;
        exitCode = program.run(showCommand);
    } catch (...) {
        ::MessageBoxW(nullptr, L"The window could not be created.", L"Vantrel ver. 2",
                      MB_OK | MB_ICONERROR);
    }
    if (SUCCEEDED(ole)) {
        ::OleUninitialize();
    }
    return exitCode;
}
