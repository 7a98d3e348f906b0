#include "platform/fs/real_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

#include "platform/failure.h"
#include "platform/fs/temporary_names.h"

namespace vantrel {

namespace {

constexpr mode_t kPermissionBits = 0777;
constexpr mode_t kNewTextFileMode = 0644;
constexpr off_t kProgressPiece = 8 * 1024 * 1024;
constexpr std::size_t kCopyBufferSize = 256 * 1024;

[[noreturn]] void throwErrno() {
    throw failureFromErrno(errno);
}

// A failure at the source never takes the numbers of the destination's failures (full, write
// protected, not ready): their messages would send the user to the wrong disk.
[[noreturn]] void throwSourceErrno() {
    const Failure failure = failureFromErrno(errno);
    const int number = failure.number();
    if (number == kDiskFull || number == kPermissionDenied || number == kDiskNotReady) {
        throw Failure(kPathFileAccessError, failure.reason());
    }
    throw failure;
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
    return folder + "/" + freshTemporaryName();
}

// The file system has no such operation, as opposed to failing it this time.
bool exclusiveRenameRefused(int err) {
    return err == EINVAL || err == ENOSYS;
}
bool hardLinkRefused(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS;
}

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(Descriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    int get() const { return fd_; }
    void reset(int fd) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = fd;
    }
    // Closing is where a network file system may report a write it deferred.
    void close() {
        if (::close(std::exchange(fd_, -1)) != 0) {
            throwErrno();
        }
    }

  private:
    int fd_;
};

// A name that is ours to remove until it is released.
class OwnedName {
  public:
    OwnedName() = default;
    OwnedName(const OwnedName&) = delete;
    OwnedName& operator=(const OwnedName&) = delete;
    ~OwnedName() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }

    const std::string& path() const { return path_; }
    bool empty() const { return path_.empty(); }
    void own(std::string path) { path_ = std::move(path); }
    void release() { path_.clear(); }

  private:
    std::string path_;
};

// A file being written in the target's folder. Until it is published nothing of it stays
// behind: an O_TMPFILE file has no name, a named one is removed. A named one is locked from its
// creation to its end, which tells the clean-up of other copies that it is being written.
class TempFile {
  public:
    TempFile(const std::string& folder, const RealFileSystem::Options& options)
        : folder_(folder), options_(options) {
        if (options.unnamedTemporaries) {
            fd_.reset(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
            // EISDIR comes from kernels that predate O_TMPFILE and take it for O_DIRECTORY.
            if (fd_.get() < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
                throwErrno();
            }
        }
        while (fd_.get() < 0) {
            std::string name = freshName(folder);
            fd_.reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
            if (fd_.get() < 0) {
                if (errno != EEXIST) {
                    throwErrno();
                }
                continue;
            }
            name_.own(std::move(name));
            lock();
            // Another copy's clean-up may have taken the file for a leftover before the lock.
            struct stat status {};
            if (::fstat(fd_.get(), &status) != 0) {
                throwErrno();
            }
            if (status.st_nlink == 0) {
                name_.release();
                fd_.reset(-1);
            }
        }
        if (!name_.empty()) {
            // Keeps the lock once the written descriptor is closed.
            held_.reset(::fcntl(fd_.get(), F_DUPFD_CLOEXEC, 0));
            if (held_.get() < 0) {
                throwErrno();
            }
        }
    }

    int fd() const { return fd_.get(); }

    // Gives the complete file the target's name if nothing has it; false, leaving what is
    // there alone, when the name is taken. A link to nothing is not kept from the copy.
    bool publishNew(const std::string& target) {
        closeNamed();
        beforePublish(target);
        if (nameNew(target) == 0) {
            return true;
        }
        return removeDanglingLink(target) && nameNew(target) == 0;
    }

    // Puts the complete file in the place of whatever file is at target.
    void publishReplacing(const std::string& target) {
        closeNamed();
        if (name_.empty()) {
            // The rename needs a name, which must be locked from the moment it appears.
            lock();
            std::string name = freshName(folder_);
            while (!linkUnnamed(name)) {
                name = freshName(folder_);
            }
            name_.own(std::move(name));
        }
        beforePublish(target);
        if (::rename(name_.path().c_str(), target.c_str()) != 0) {
            throwErrno();
        }
        name_.release();
    }

  private:
    // A named file is written through a file system where closing may report a write it
    // deferred (FUSE, network file systems): that must happen before it is published. An
    // unnamed one stays open, as naming it needs its descriptor.
    void closeNamed() {
        if (!name_.empty()) {
            fd_.close();
        }
    }

    void lock() {
        while (::flock(fd_.get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                throwErrno();
            }
        }
    }

    void beforePublish(const std::string& target) const {
        if (options_.beforePublish) {
            options_.beforePublish(target);
        }
    }

    // Names the file `target` without replacing anything there: 0, or EEXIST when the name
    // is taken; any other failure is raised.
    int nameNew(const std::string& target) {
        if (name_.empty()) {
            return linkUnnamed(target) ? 0 : EEXIST;
        }
        const char* temp = name_.path().c_str();
        if (options_.exclusiveRename) {
            if (::renameat2(AT_FDCWD, temp, AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
                name_.release();
                return 0;
            }
            if (!exclusiveRenameRefused(errno)) {
                return takenOrThrow();
            }
        }
        if (options_.hardLinks) {
            if (::link(temp, target.c_str()) == 0) {
                ::unlink(temp);
                name_.release();
                return 0;
            }
            if (!hardLinkRefused(errno)) {
                return takenOrThrow();
            }
        }
        // Neither: an empty file of ours holds the name until the complete one is renamed
        // over it.
        const int placeholder =
            ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (placeholder < 0) {
            return takenOrThrow();
        }
        ::close(placeholder);
        if (::rename(temp, target.c_str()) != 0) {
            const int err = errno;
            ::unlink(target.c_str());
            throw failureFromErrno(err);
        }
        name_.release();
        return 0;
    }

    static int takenOrThrow() {
        if (errno != EEXIST) {
            throwErrno();
        }
        return EEXIST;
    }

    // Gives the unnamed file a name; false when the name is taken.
    bool linkUnnamed(const std::string& name) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return true;
        }
        takenOrThrow();
        return false;
    }

    // Removes a symbolic link at path whose target does not exist; false for anything else.
    static bool removeDanglingLink(const std::string& path) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return false;
        }
        if (::stat(path.c_str(), &status) == 0 || errno != ENOENT) {
            return false;
        }
        return ::unlink(path.c_str()) == 0;
    }

    std::string folder_;
    const RealFileSystem::Options& options_;
    Descriptor fd_;
    Descriptor held_;
    // Declared last, so that a name left to remove goes before the descriptors that lock it.
    OwnedName name_;
};

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

void copyByReading(int in, int out, const CopyProgress& progress) {
    const auto buffer = std::make_unique<char[]>(kCopyBufferSize);
    off_t at = 0;
    for (;;) {
        const ssize_t got = ::read(in, buffer.get(), kCopyBufferSize);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throwSourceErrno();
        }
        if (got == 0) {
            return;
        }
        writeAllAt(out, buffer.get(), static_cast<std::size_t>(got), at);
        at += got;
        if (progress) {
            progress(static_cast<std::uint64_t>(at), 0);
        }
    }
}

bool kernelRefusesCopy(int err) {
    return err == EXDEV || err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}

// Copies ranges of one file to the same offsets of another, in the kernel where it can: there
// copy_file_range shares the blocks on XFS and btrfs.
class RangeCopier {
  public:
    RangeCopier(int in, int out, off_t size, const CopyProgress& progress)
        : in_(in), out_(out), size_(size), progress_(progress) {}

    // Copies [from, to); returns where the copy ended, short of `to` when the source ended.
    off_t copy(off_t from, off_t to) {
        loff_t in = from;
        loff_t out = from;
        while (inKernel_ && in < to) {
            // In pieces, so that the window can show a large copy coming along.
            const auto piece = static_cast<std::size_t>(std::min<off_t>(to - in, kProgressPiece));
            const ssize_t n = ::copy_file_range(in_, &in, out_, &out, piece, 0);
            if (n == 0) {
                return in;
            }
            if (n > 0) {
                report(in);
            }
            if (n < 0 && errno != EINTR) {
                if (!kernelRefusesCopy(errno)) {
                    throwErrno();
                }
                inKernel_ = false;
            }
        }
        while (in < to) {
            if (!buffer_) {
                buffer_ = std::make_unique<char[]>(kCopyBufferSize);
            }
            const auto wanted = static_cast<std::size_t>(std::min<off_t>(to - in, kCopyBufferSize));
            const ssize_t got = ::pread(in_, buffer_.get(), wanted, in);
            if (got < 0) {
                if (errno == EINTR) {
                    continue;
                }
                throwSourceErrno();
            }
            if (got == 0) {
                return in;
            }
            writeAllAt(out_, buffer_.get(), static_cast<std::size_t>(got), in);
            in += got;
            report(in);
        }
        return in;
    }

  private:
    void report(off_t at) const {
        if (progress_) {
            progress_(static_cast<std::uint64_t>(at), static_cast<std::uint64_t>(size_));
        }
    }

    int in_;
    int out_;
    off_t size_;
    const CopyProgress& progress_;
    bool inKernel_ = true;
    std::unique_ptr<char[]> buffer_;
};

bool seekUnsupported(int err) {
    return err == EINVAL || err == EOPNOTSUPP;
}

// Copies [0, size) of a source with holes, data range by data range as SEEK_DATA finds them;
// returns where the copy ends: where the source ended, or at its size after a last hole.
off_t copyDataRanges(RangeCopier& copier, int in, off_t size) {
    for (off_t at = 0; at < size;) {
        off_t data = ::lseek(in, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) {
                break;  // nothing but a hole up to the end
            }
            if (!seekUnsupported(errno)) {
                throwSourceErrno();
            }
            data = at;
        }
        off_t hole = ::lseek(in, data, SEEK_HOLE);
        if (hole < 0) {
            if (!seekUnsupported(errno) && errno != ENXIO) {
                throwSourceErrno();
            }
            hole = size;
        }
        hole = std::min(hole, size);
        if (data >= hole) {
            break;
        }
        const off_t reached = copier.copy(data, hole);
        if (reached < hole) {
            return reached;
        }
        at = hole;
    }
    return size;
}

// Copies what the source holds and keeps its holes as holes: a source with fewer blocks than
// its size needs has holes, and only its data is copied. A source that reports no size
// (pseudo files) is read to its end; one that ends before its size is copied as far as it goes.
void copyContent(int in, int out, const struct stat& source, const CopyProgress& progress) {
    const off_t size = source.st_size;
    if (size == 0) {
        copyByReading(in, out, progress);
        return;
    }
    RangeCopier copier(in, out, size, progress);
    if (source.st_blocks * S_BLKSIZE >= size) {
        copier.copy(0, size);
        return;
    }
    // A last hole has no data to give the copy its size.
    if (::ftruncate(out, copyDataRanges(copier, in, size)) != 0) {
        throwErrno();
    }
}

class OpenAppendedFile : public AppendedFile {
  public:
    explicit OpenAppendedFile(Descriptor file) : file_(std::move(file)) {}

    bool append(std::string_view text, std::uint64_t length) override {
        struct stat status {};
        if (::fstat(file_.get(), &status) != 0 || status.st_nlink == 0 ||
            static_cast<std::uint64_t>(status.st_size) != length) {
            return false;
        }
        const auto end = static_cast<off_t>(length);
        try {
            writeAllAt(file_.get(), text.data(), text.size(), end);
        } catch (const Failure&) {
            // Should the cut fail too, the length shows the next append that the file changed.
            [[maybe_unused]] const int cut = ::ftruncate(file_.get(), end);
            throw;
        }
        return true;
    }

  private:
    Descriptor file_;
};

// Removes the named entry of the folder if it is a temporary file of ours that no copy is
// writing: a writer holds a lock on it from its creation to its end.
void removeIfLeftover(int folder, const char* name) {
    const Descriptor file(::openat(folder, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != ::geteuid() || ::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        return;
    }
    struct stat named {};
    if (::fstatat(folder, name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
        named.st_dev == status.st_dev && named.st_ino == status.st_ino) {
        ::unlinkat(folder, name, 0);
    }
}

// Removes what killed copies left in the folder. Nothing here may fail a copy.
void removeLeftovers(const std::string& folder) {
    const Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* const entries = fd.get() < 0 ? nullptr : ::fdopendir(::dup(fd.get()));
    if (entries == nullptr) {
        return;
    }
    while (const dirent* entry = ::readdir(entries)) {
        if (isTemporaryName(entry->d_name)) {
            removeIfLeftover(fd.get(), entry->d_name);
        }
    }
    ::closedir(entries);
}

// The file that path names once symbolic links are followed: the log is written there, so
// that a link stays a link.
std::string followLinks(std::string path) {
    constexpr int kMostLinks = 40;
    for (int links = 0; links < kMostLinks; ++links) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) {
            return path;
        }
        std::string target(static_cast<std::size_t>(status.st_size) + 1, '\0');
        ssize_t length = 0;
        while ((length = ::readlink(path.c_str(), target.data(), target.size())) >=
               static_cast<ssize_t>(target.size())) {
            target.resize(target.size() * 2);
        }
        if (length < 0) {
            throwErrno();
        }
        target.resize(static_cast<std::size_t>(length));
        path = target.starts_with('/') ? target : folderOf(path) + "/" + target;
    }
    throw failureFromErrno(ELOOP);
}

// Rewrites a file in its place, for a file the user may write in a folder the user may not:
// with no temporary file beside it, a failure part-way leaves it part-written.
void rewriteInPlace(const std::string& path, const std::string& text) {
    const Descriptor out(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (out.get() < 0) {
        throwErrno();
    }
    writeAllAt(out.get(), text.data(), text.size(), 0);
    if (::ftruncate(out.get(), static_cast<off_t>(text.size())) != 0) {
        throwErrno();
    }
}

// Whether a plain file is at path, following links, with its status. Anything else there is
// refused and never replaced: a folder, and what is neither file nor folder (a FIFO, a socket,
// a device), which the user is not asked about either.
bool plainFileAt(const std::string& path, struct stat& status) {
    if (::stat(path.c_str(), &status) != 0) {
        if (errno != ENOENT) {
            throwErrno();
        }
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        throw failureFromErrno(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        throw Failure(kPathFileAccessError, std::strerror(EEXIST));
    }
    return true;
}

void setMode(int fd, mode_t mode) {
    if (::fchmod(fd, mode & kPermissionBits) != 0) {
        throwErrno();
    }
}

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

void RealFileSystem::removeLeftovers(const std::string& folder) {
    vantrel::removeLeftovers(folder);
}

void RealFileSystem::cleanFolderOnce(const std::string& folder) {
    if (cleanedFolders_.insert(folder).second) {
        removeLeftovers(folder);
    }
}

void RealFileSystem::makeDir(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0) {
        throwErrno();
    }
}

void RealFileSystem::copyFile(const std::string& source, const std::string& target, CopyTo mode,
                              const CopyProgress& progress) {
    // O_NONBLOCK keeps a FIFO from hanging the open; it is refused just below.
    const Descriptor in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.get() < 0) {
        throwSourceErrno();
    }
    struct stat status {};
    if (::fstat(in.get(), &status) != 0) {
        throwSourceErrno();
    }
    if (!S_ISREG(status.st_mode)) {
        throw failureFromErrno(S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    }
    struct stat existing {};
    const bool present = plainFileAt(target, existing);
    if (present && mode == CopyTo::NewFile) {
        throw failureFromErrno(EEXIST);
    }
    cleanFolderOnce(folderOf(target));
    TempFile temp(folderOf(target), options_);
    copyContent(in.get(), temp.fd(), status, progress);
    setMode(temp.fd(), status.st_mode);
    if (mode == CopyTo::NewFile) {
        if (!temp.publishNew(target)) {
            throw failureFromErrno(EEXIST);
        }
        return;
    }
    // The user chose to give up the old file for this one: make sure this one is on disk.
    if (present && ::fsync(temp.fd()) != 0) {
        throwErrno();
    }
    temp.publishReplacing(target);
}

void RealFileSystem::writeText(const std::string& path, const std::string& text) {
    const std::string file = followLinks(path);
    struct stat existing {};
    const bool present = plainFileAt(file, existing);
    const std::string folder = folderOf(file);
    cleanFolderOnce(folder);
    std::optional<TempFile> temp;
    try {
        temp.emplace(folder, options_);
    } catch (const Failure& failure) {
        if (!present || failure.number() != kPermissionDenied) {
            throw;
        }
        rewriteInPlace(file, text);
        return;
    }
    writeAllAt(temp->fd(), text.data(), text.size(), 0);
    setMode(temp->fd(), present ? existing.st_mode : kNewTextFileMode);
    // No fsync: for a log the rename's all or nothing is enough.
    if (present || !temp->publishNew(file)) {
        temp->publishReplacing(file);
    }
}

std::unique_ptr<AppendedFile> RealFileSystem::openAppended(const std::string& path) {
    // O_NONBLOCK: a FIFO put in the file's place must not hang the open.
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return nullptr;
    }
    return std::make_unique<OpenAppendedFile>(std::move(file));
}

}  // namespace vantrel
