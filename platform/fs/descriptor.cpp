#include "platform/fs/descriptor.h"

#include <unistd.h>

#include <cerrno>

#include "platform/failure.h"

namespace vantrel::posix {

void throwErrno() {
    throw failureFromErrno(errno);
}

void throwSourceErrno() {
    const Failure failure = failureFromErrno(errno);
    const int number = failure.number();
    if (number == kDiskFull || number == kPermissionDenied || number == kDiskNotReady) {
        throw Failure(kPathFileAccessError, failure.reason());
    }
    throw failure;
}

Descriptor::~Descriptor() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void Descriptor::reset(int fd) {
    if (fd_ >= 0) {
        ::close(fd_);
    }
    fd_ = fd;
}

void Descriptor::close() {
    if (::close(std::exchange(fd_, -1)) != 0) {
        throwErrno();
    }
}

void writeAllAt(int fd, const char* data, std::size_t size, off_t at) {
    while (size > 0) {
        const ssize_t written = ::pwrite(fd, data, size, at);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno();
        }
        if (written == 0) {
            throw failureFromErrno(EIO);
        }
        data += written;
        size -= static_cast<std::size_t>(written);
        at += written;
    }
}

}  // namespace vantrel::posix
