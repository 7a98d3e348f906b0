#include "win32/launcher.h"

#include <windows.h>

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel::win32 {

void Win32Launcher::launch(const LaunchCommand& command) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    std::wstring line = toUtf16(command.commandLine());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        command.style == WindowStyle::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process)) {
        throw failureFromWin32(::GetLastError());
    }
    // Nothing waits for the program: its handles are not kept.
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

}  // namespace vantrel::win32
