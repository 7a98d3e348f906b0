#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/failure.h"
#include "support/real_folder.h"

namespace vantrel {
namespace {

TEST(FailureFromWin32, GivesTheNumberOfEachKindWithTheSystemsReason) {
    struct Case {
        DWORD error;
        int number;
    };
    const Case cases[] = {
        {ERROR_DISK_FULL, kDiskFull},
        {ERROR_HANDLE_DISK_FULL, kDiskFull},
        {ERROR_ACCESS_DENIED, kPermissionDenied},
        {ERROR_WRITE_PROTECT, kPermissionDenied},
        {ERROR_SHARING_VIOLATION, kPermissionDenied},
        {ERROR_LOCK_VIOLATION, kPermissionDenied},
        {ERROR_NETWORK_ACCESS_DENIED, kPermissionDenied},
        {ERROR_NOT_READY, kDiskNotReady},
        {ERROR_DEV_NOT_EXIST, kDiskNotReady},
        {ERROR_FILE_NOT_FOUND, kFileNotFound},
        {ERROR_PATH_NOT_FOUND, kPathNotFound},
        {ERROR_INVALID_DRIVE, kPathNotFound},
        {ERROR_BAD_NETPATH, kPathNotFound},
        {ERROR_BAD_NET_NAME, kPathNotFound},
        {ERROR_ALREADY_EXISTS, kFileAlreadyExists},
        {ERROR_FILE_EXISTS, kFileAlreadyExists},
        {ERROR_CRC, kDeviceIoError},
        {ERROR_READ_FAULT, kDeviceIoError},
        {ERROR_WRITE_FAULT, kDeviceIoError},
        {ERROR_GEN_FAILURE, kDeviceIoError},
        {ERROR_IO_DEVICE, kDeviceIoError},
        {ERROR_FILENAME_EXCED_RANGE, kPathFileAccessError},
        {ERROR_INVALID_NAME, kPathFileAccessError},
        {ERROR_DIRECTORY, kPathFileAccessError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error);
        const Failure failure = failureFromWin32(c.error);
        EXPECT_EQ(failure.number(), c.number);
        // The system's own words, never a number in their place.
        const std::string reason = failure.reason();
        EXPECT_EQ(reason, test::systemText(c.error));
        EXPECT_NE(reason.find_first_not_of("0123456789 "), std::string::npos) << reason;
        EXPECT_EQ(reason.find("Windows error"), std::string::npos) << reason;
        EXPECT_EQ(reason.find_last_of("\r\n"), std::string::npos) << reason;
    }
}

}  // namespace
}  // namespace vantrel
