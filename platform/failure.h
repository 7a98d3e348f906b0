#pragma once

#include <stdexcept>
#include <stop_token>
#include <string>

namespace vantrel {

// Error numbers as the window's handlers tell failures apart.
enum ErrorNumber : int {
    kOverflow = 6,
    kUserInterrupt = 18,
    kSubscriptOutOfRange = 9,
    kFileNotFound = 53,
    kDeviceIoError = 57,
    kFileAlreadyExists = 58,
    kDiskFull = 61,
    kPermissionDenied = 70,
    kDiskNotReady = 71,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kElementDoesNotExist = 340,
    kObjectAlreadyLoaded = 360,
    kNoFileList = 461,
    // The program's own: the old runtime had no number for it.
    kFileTooLarge = 1001,
};

// A failed platform operation: its number and the system's own reason.
class Failure : public std::runtime_error {
  public:
    Failure(int number, const std::string& reason) : std::runtime_error(reason), number_(number) {}
    int number() const { return number_; }
    std::string reason() const { return what(); }

  private:
    int number_;
};

// Maps an errno value to the number of its kind, with strerror's text as the reason.
Failure failureFromErrno(int err);

#ifdef _WIN32
// Maps a Win32 error code (GetLastError) to the number of its kind, with the system's text.
Failure failureFromWin32(unsigned long error);
#endif

[[noreturn]] void throwOverflow();

// A copy abandoned at the user's request fails with kUserInterrupt; nothing else on `stop`.
void throwIfStopped(const std::stop_token& stop);

}  // namespace vantrel
