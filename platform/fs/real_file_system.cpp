#include "platform/fs/real_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <memory>
#include <random>

#include "platform/failure.h"

namespace vantrel {

namespace {

constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kNewTextFileMode = 0644;
constexpr std::size_t kCopyBufferSize = 256 * 1024;

[[noreturn]] void throwErrno() {
    throw failureFromErrno(errno);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name in `folder` that nothing else is likely to use; callers still retry on EEXIST.
std::string freshName(const std::string& folder) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::string name = folder + "/.vantrel-";
    for (int i = 0; i < 12; ++i) {
        name += kDigits[random() % (sizeof kDigits - 1)];
    }
    return name;
}

// A file being written in the target's folder. Until publish() succeeds nothing of it stays
// behind: an O_TMPFILE file has no name, a named one is removed.
class TempFile {
  public:
    explicit TempFile(const std::string& folder) {
        fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            return;
        }
        // EISDIR comes from kernels that predate O_TMPFILE and take it for O_DIRECTORY.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
            throwErrno();
        }
        std::string pattern = folder + "/.vantrel-XXXXXX";
        fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (fd_ < 0) {
            throwErrno();
        }
        name_ = std::move(pattern);
    }

    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    ~TempFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!name_.empty()) {
            ::unlink(name_.c_str());
        }
    }

    int fd() const { return fd_; }

    // Puts the complete file in the target's place: in one step where the target is new,
    // through a rename where it replaces one.
    void publish(const std::string& target, bool replacing) {
        if (name_.empty()) {
            const std::string self = "/proc/self/fd/" + std::to_string(fd_);
            if (replacing || !linkAs(self, target)) {
                const std::string folder = folderOf(target);
                while (!linkAs(self, freshName(folder))) {
                }
            }
        }
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            throwErrno();
        }
        if (name_ != target && ::rename(name_.c_str(), target.c_str()) != 0) {
            throwErrno();
        }
        name_.clear();
    }

  private:
    // Gives the unnamed file the name, which is then ours to remove until publish() is done;
    // false when the name is taken.
    bool linkAs(const std::string& self, const std::string& name) {
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            name_ = name;
            return true;
        }
        if (errno != EEXIST) {
            throwErrno();
        }
        return false;
    }

    int fd_ = -1;
    std::string name_;
};

void writeAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
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
    }
}

void copyByReading(int in, int out) {
    const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), kCopyBufferSize);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwErrno();
        }
        if (got == 0) {
            return;
        }
        writeAll(out, buffer.get(), static_cast<std::size_t>(got));
    }
}

bool kernelRefusesCopy(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// Copies in the kernel where it can. Both paths move the file offsets, so reading picks up
// where the kernel stopped. A source that reports no size (pseudo files) is read to its end.
void copyContent(int in, int out, off_t size) {
    off_t copied = 0;
    while (copied < size) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr,
                                            static_cast<std::size_t>(size - copied), 0);
        if (n > 0) {
            copied += n;
        } else if (n == 0) {
            return;  // the source shrank meanwhile
        } else if (errno == EINTR) {
            continue;
        } else if (kernelRefusesCopy(errno)) {
            break;
        } else {
            throwErrno();
        }
    }
    if (size == 0 || copied < size) {
        copyByReading(in, out);
    }
}

// Writes the target's new content into a temporary file and publishes it only when complete,
// so a failure leaves the target as it was. `mode` applies unless `keepMode` and the target
// already exists.
void replaceFile(const std::string& target, mode_t mode, bool keepMode,
                 const std::function<void(int fd)>& fill) {
    struct stat existing {};
    bool replacing = false;
    if (::stat(target.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            throw failureFromErrno(EISDIR);
        }
        replacing = true;
        if (keepMode) {
            mode = existing.st_mode;
        }
    } else if (errno != ENOENT) {
        throwErrno();
    }

    TempFile temp(folderOf(target));
    fill(temp.fd());
    if (::fchmod(temp.fd(), mode & kPermissionBits) != 0) {
        throwErrno();
    }
    // The user chose to give up the old file for this one: make sure this one is on disk.
    if (replacing && ::fsync(temp.fd()) != 0) {
        throwErrno();
    }
    temp.publish(target, replacing);
}

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { ::close(fd_); }
    int get() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

bool RealFileSystem::exists(const std::string& path, Attributes attributes) {
    if (path.empty()) {
        return false;
    }
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return false;
        }
        throwErrno();
    }
    return attributes == Attributes::Directory || S_ISREG(status.st_mode);
}

void RealFileSystem::makeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        throwErrno();
    }
}

void RealFileSystem::copyFile(const std::string& source, const std::string& target) {
    // O_NONBLOCK keeps a FIFO from hanging the open; it is refused just below.
    const int fd = ::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        throwErrno();
    }
    const Descriptor in(fd);
    struct stat status {};
    if (::fstat(in.get(), &status) != 0) {
        throwErrno();
    }
    if (!S_ISREG(status.st_mode)) {
        throw failureFromErrno(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    }
    replaceFile(target, status.st_mode, false,
                [&](int out) { copyContent(in.get(), out, status.st_size); });
}

void RealFileSystem::writeText(const std::string& path, const std::string& text) {
    replaceFile(path, kNewTextFileMode, true,
                [&](int out) { writeAll(out, text.data(), text.size()); });
}

}  // namespace vantrel
