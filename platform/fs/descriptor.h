#pragma once

#include <sys/types.h>

#include <cstddef>
#include <utility>

// Open files as the POSIX file system holds them, and the failures of their calls.
namespace vantrel::posix {

// Raises the failure of errno.
[[noreturn]] void throwErrno();

// Raises errno as a failure of the source: never with the numbers of the destination's
// failures (full, write protected, not ready), whose messages would send the user to the
// wrong disk.
[[noreturn]] void throwSourceErrno();

// A file descriptor closed with its holder.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor();

    int get() const { return fd_; }
    void reset(int fd);
    // Closing is where a network file system may report a write it deferred.
    void close();

  private:
    int fd_;
};

// Writes all of data at offset `at`, raising the destination's failure.
void writeAllAt(int fd, const char* data, std::size_t size, off_t at);

}  // namespace vantrel::posix
