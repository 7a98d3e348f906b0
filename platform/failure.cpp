#include "platform/failure.h"

#include <cerrno>
#include <cstring>

namespace vantrel {

namespace {

int numberForErrno(int err) {
    switch (err) {
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return kDiskFull;
        case EACCES:
        case EPERM:
#ifdef EROFS
        case EROFS:
#endif
            return kPermissionDenied;
#ifdef ENOMEDIUM
        case ENOMEDIUM:
#endif
        case ENXIO:
        case ENODEV:
            return kDiskNotReady;
        case ENOENT:
            return kFileNotFound;
        case ENOTDIR:
            return kPathNotFound;
        case EEXIST:
            return kFileAlreadyExists;
        case EIO:
            return kDeviceIoError;
        case EFBIG:
            return kFileTooLarge;
        default:
            return kPathFileAccessError;
    }
}

}  // namespace

Failure failureFromErrno(int err) {
    return Failure(numberForErrno(err), std::strerror(err));
}

void throwIfStopped(const std::stop_token& stop) {
    if (stop.stop_requested()) {
        throw Failure(kUserInterrupt, "The copy was stopped.");
    }
}

void throwOverflow() {
    throw Failure(kOverflow, "Overflow");
}

}  // namespace vantrel
