#include "platform/fs/held_files_win32.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/utf16.h"

namespace vantrel {

namespace {

constexpr std::chrono::milliseconds kFirstPause{20};
constexpr std::chrono::milliseconds kPatience{3000};

bool inUse(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

bool mayBeHeld(DWORD error) {
    return inUse(error) || error == ERROR_ACCESS_DENIED;
}

// Waits `pause` unless a stop is asked for first; false then.
bool pauseUnlessStopped(std::chrono::milliseconds pause, const std::stop_token& stop) {
    std::mutex mutex;
    std::condition_variable_any stopped;
    std::unique_lock lock(mutex);
    return !stopped.wait_for(lock, stop, pause, [] { return false; }) && !stop.stop_requested();
}

}  // namespace

unsigned long retryWhileHeld(const std::function<unsigned long()>& step,
                             const std::stop_token& stop) {
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    std::chrono::milliseconds pause = kFirstPause;
    for (;;) {
        const DWORD error = step();
        const auto now = std::chrono::steady_clock::now();
        if (!mayBeHeld(error) || now >= giveUp) {
            return error;
        }
        if (!pauseUnlessStopped(
                std::min(pause, std::chrono::ceil<std::chrono::milliseconds>(giveUp - now)),
                stop)) {
            throwIfStopped(stop);
        }
        pause *= 2;
    }
}

namespace {

// Whether another program has the file open without sharing it: some systems (Wine among them)
// deny a rename over such a file rather than report the sharing violation.
bool openedWithoutSharing(const std::wstring& file) {
    // Not attributes alone, which the system lets past any sharing.
    const HANDLE probe = ::CreateFileW(file.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (probe != INVALID_HANDLE_VALUE) {
        ::CloseHandle(probe);
        return false;
    }
    return inUse(::GetLastError());
}

}  // namespace

Failure heldFileFailure(unsigned long error, const std::wstring& file) {
    if (!inUse(error) && !(error == ERROR_ACCESS_DENIED && openedWithoutSharing(file))) {
        return failureFromWin32(error);
    }
    // Named as the user knows it, without the prefix that lifts the length limit.
    std::wstring shown = file;
    if (shown.starts_with(L"\\\\?\\UNC\\")) {
        shown = L"\\" + shown.substr(7);
    } else if (shown.starts_with(L"\\\\?\\")) {
        shown = shown.substr(4);
    }
    return Failure(kPathFileAccessError,
                   "The file " + toUtf8(shown) + " is in use by another program.");
}

}  // namespace vantrel
