#include <windows.h>

#include <string>

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel {

namespace {

int numberForWin32(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return kDiskFull;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_NETWORK_ACCESS_DENIED:
            return kPermissionDenied;
        // A removable drive without its medium, or a drive or share that went away.
        case ERROR_NOT_READY:
        case ERROR_DEV_NOT_EXIST:
            return kDiskNotReady;
        case ERROR_FILE_NOT_FOUND:
            return kFileNotFound;
        // A server or share that is not there is a path that cannot be found, not a drive
        // that may come back.
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
            return kPathNotFound;
        case ERROR_ALREADY_EXISTS:
        case ERROR_FILE_EXISTS:
            return kFileAlreadyExists;
        case ERROR_CRC:
        case ERROR_READ_FAULT:
        case ERROR_WRITE_FAULT:
        case ERROR_GEN_FAILURE:
        case ERROR_IO_DEVICE:
            return kDeviceIoError;
        case ERROR_FILE_TOO_LARGE:
            return kFileTooLarge;
        default:
            return kPathFileAccessError;
    }
}

std::string messageFor(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::string message;
    if (length > 0) {
        message = toUtf8(std::wstring_view(buffer, length));
    }
    ::LocalFree(buffer);
    const auto end = message.find_last_not_of(" \r\n");
    message.erase(end == std::string::npos ? 0 : end + 1);
    return message.empty() ? "Windows error " + std::to_string(error) : message;
}

}  // namespace

Failure failureFromWin32(unsigned long error) {
    return Failure(numberForWin32(error), messageFor(error));
}

}  // namespace vantrel
