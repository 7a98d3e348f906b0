#include "win32/launcher.h"

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

using FolderFunction = UINT(WINAPI*)(LPWSTR, UINT);

std::wstring inFolder(FolderFunction folderOf, const wchar_t* file) {
    std::wstring folder(MAX_PATH, L'\0');
    UINT length = folderOf(folder.data(), static_cast<UINT>(folder.size()));
    if (length >= folder.size()) {
        folder.resize(length);
        length = folderOf(folder.data(), static_cast<UINT>(folder.size()));
    }
    if (length == 0 || length >= folder.size()) {
        throw failureFromWin32(::GetLastError());
    }
    folder.resize(length);
    if (folder.back() != L'\\') {
        folder += L'\\';
    }
    return folder + file;
}

// The system's own programs the window starts, by the name its commands give them.
std::wstring systemProgram(const std::string& program) {
    if (program == "notepad") {
        return inFolder(::GetSystemDirectoryW, L"notepad.exe");
    }
    if (program == "explorer.exe") {
        return inFolder(::GetWindowsDirectoryW, L"explorer.exe");
    }
    return {};
}

// Quoted as the started program's start-up code splits its command line back into its parts
// (CommandLineToArgvW): backslashes before a quote are doubled.
std::wstring quotedWhereBlank(const std::wstring& part) {
    if (!part.empty() && part.find_first_of(L" \t") == std::wstring::npos) {
        return part;
    }
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : part) {
        if (c == L'"') {
            quoted.append(backslashes + 1, L'\\');
        }
        backslashes = c == L'\\' ? backslashes + 1 : 0;
        quoted += c;
    }
    quoted.append(backslashes, L'\\');
    return quoted + L'"';
}

}  // namespace

ProcessCommand processCommand(const LaunchCommand& command) {
    ProcessCommand process;
    process.application = systemProgram(command.program);
    process.commandLine = quotedWhereBlank(process.application.empty() ? toUtf16(command.program)
                                                                       : process.application);
    for (const auto& argument : command.arguments) {
        process.commandLine += L' ';
        process.commandLine += quotedWhereBlank(toUtf16(argument));
    }
    return process;
}

Handle startProcess(const LaunchCommand& command) {
    // CreateProcessW may write into the command line, so it gets a copy of its own.
    ProcessCommand process = processCommand(command);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow =
        command.style == WindowStyle::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(process.application.empty() ? nullptr : process.application.c_str(),
                          process.commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        throw failureFromWin32(::GetLastError());
    }
    ::CloseHandle(started.hThread);
    return Handle(started.hProcess);
}

void Win32Launcher::launch(const LaunchCommand& command) {
    // Nothing waits for the program.
    startProcess(command);
}

}  // namespace vantrel::win32
