#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include "platform/failure.h"

namespace vantrel {
namespace {

TEST(FailureFromErrno, GivesTheNumberOfEachKindWithTheSystemsReason) {
    struct Case {
        int err;
        int number;
    };
    const Case cases[] = {
        {ENOSPC, kDiskFull},
        {EDQUOT, kDiskFull},
        {EACCES, kPermissionDenied},
        {EPERM, kPermissionDenied},
        {EROFS, kPermissionDenied},
        {ENOMEDIUM, kDiskNotReady},
        {ENXIO, kDiskNotReady},
        {ENODEV, kDiskNotReady},
        {ENOENT, kFileNotFound},
        {ENOTDIR, kPathNotFound},
        {EEXIST, kFileAlreadyExists},
        {EIO, kDeviceIoError},
        {EFBIG, kFileTooLarge},
        {EISDIR, kPathFileAccessError},
        {ENAMETOOLONG, kPathFileAccessError},
        {ELOOP, kPathFileAccessError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::strerror(c.err));
        const Failure failure = failureFromErrno(c.err);
        EXPECT_EQ(failure.number(), c.number);
        EXPECT_EQ(failure.reason(), std::strerror(c.err));
    }
}

}  // namespace
}  // namespace vantrel
