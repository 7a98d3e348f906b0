#include "platform/fs/temporary_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "platform/failure.h"
#include "platform/fs/temporary_names.h"

namespace vantrel::posix {

namespace {

constexpr mode_t kPermissionBits = 0777;

// The file system has no such operation, as opposed to failing it this time.
bool exclusiveRenameRefused(int err) {
    return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP;
}
// EROFS too: some FUSE file systems answer a link so while they take every other write.
bool hardLinkRefused(int err) {
    return err == EPERM || err == EOPNOTSUPP || err == ENOSYS || err == EROFS || err == EXDEV;
}

// Taken for EEXIST; any other failure is raised.
Naming takenOrThrow() {
    if (errno != EEXIST) {
        throwErrno();
    }
    return Naming::Taken;
}

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

}  // namespace

OwnedName::~OwnedName() {
    if (!name_.empty()) {
        ::unlinkat(folder_, name_.c_str(), 0);
    }
}

TempFile::TempFile(int folder, mode_t mode, PosixWays& ways,
                   const std::function<void()>& beforePublish)
    : folder_(folder), ways_(ways), beforePublish_(beforePublish), name_(folder) {
    mode &= kPermissionBits;
    // The owner may read it until it is finished, so that the clean-up can lock a killed one.
    const mode_t created = mode | S_IRUSR | S_IWUSR;
    if (ways.unnamedTemporaries) {
        fd_.reset(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, created));
        // EISDIR comes from kernels that predate O_TMPFILE and take it for O_DIRECTORY.
        if (fd_.get() < 0) {
            if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
                throwErrno();
            }
            ways.unnamedTemporaries = false;
        }
    }
    while (fd_.get() < 0) {
        std::string name = freshTemporaryName();
        fd_.reset(::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, created));
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
    // The system has applied the umask, or the folder's default ACL, to the bits asked for;
    // what it made of them, less the owner's bits added here, is what a file of `mode` gets.
    if (created != mode) {
        struct stat status {};
        if (::fstat(fd_.get(), &status) != 0) {
            throwErrno();
        }
        laterMode_ = status.st_mode & mode;
    }
}

void TempFile::giveMode(mode_t mode) {
    laterMode_ = mode & kPermissionBits;
}

Naming TempFile::publishNew(const std::string& name) {
    closeNamed();
    beforePublish_();
    const Naming naming = nameNew(name);
    if (naming == Naming::Done) {
        settleMode();
    }
    return naming;
}

Naming TempFile::publishReplacing(const std::string& name,
                                  const std::optional<FileIdentity>& asked) {
    closeNamed();
    if (name_.empty()) {
        // The rename needs a name, which must be locked from the moment it appears.
        lock();
        for (;;) {
            std::string temp = freshTemporaryName();
            const Naming naming = linkUnnamed(temp);
            if (naming == Naming::Refused) {
                return naming;
            }
            if (naming == Naming::Done) {
                name_.own(std::move(temp));
                break;
            }
        }
    }
    beforePublish_();
    Naming naming = ways_.exchangeRename ? exchange(name, asked) : Naming::Refused;
    if (naming == Naming::Refused) {
        // A file moved to the name between this look and the rename is replaced: without the
        // exchange the system offers no way to close that gap.
        struct stat there {};
        if (::fstatat(folder_, name.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0) {
            naming = mayReplace(name, asked) ? Naming::Refused : Naming::Taken;
        } else if (errno == ENOENT) {
            naming = nameNew(name);
        } else {
            throwErrno();
        }
        if (naming == Naming::Refused) {
            if (::renameat(folder_, name_.name().c_str(), folder_, name.c_str()) != 0) {
                throwErrno();
            }
            name_.release();
            naming = Naming::Done;
        }
    }
    if (naming == Naming::Done) {
        settleMode();
    }
    return naming;
}

// Swaps the file with what has the name, then looks at what it swapped out: anything but the
// file that may be replaced is swapped back. Refused where the file system has no exchange.
Naming TempFile::exchange(const std::string& name, const std::optional<FileIdentity>& asked) {
    const char* temp = name_.name().c_str();
    if (::renameat2(folder_, temp, folder_, name.c_str(), RENAME_EXCHANGE) != 0) {
        if (errno == ENOENT) {
            return nameNew(name);
        }
        if (!exclusiveRenameRefused(errno)) {
            throwErrno();
        }
        ways_.exchangeRename = false;
        return Naming::Refused;
    }
    if (mayReplace(temp, asked)) {
        ::unlinkat(folder_, temp, 0);
        name_.release();
        return Naming::Done;
    }
    if (::renameat2(folder_, temp, folder_, name.c_str(), RENAME_EXCHANGE) != 0) {
        // What was swapped out must never be removed as ours.
        name_.release();
        throwErrno();
    }
    return Naming::Taken;
}

// Whether the entry `name` may be replaced: a plain file, or a link to one or to nothing, and
// the one asked about when that is given.
bool TempFile::mayReplace(const std::string& name, const std::optional<FileIdentity>& asked) const {
    struct stat entry {};
    if (::fstatat(folder_, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0) {
        return false;
    }
    if (S_ISLNK(entry.st_mode)) {
        struct stat linked {};
        if (::fstatat(folder_, name.c_str(), &linked, 0) == 0 ? !S_ISREG(linked.st_mode)
                                                              : errno != ENOENT) {
            return false;
        }
    } else if (!S_ISREG(entry.st_mode)) {
        return false;
    }
    return !asked || *asked == FileIdentity{entry.st_dev, entry.st_ino};
}

// Once published, as a temporary its owner cannot read is one the clean-up cannot lock, and
// so one that stays for good after a kill.
void TempFile::settleMode() {
    const int fd = fd_.get() >= 0 ? fd_.get() : held_.get();
    if (laterMode_ && ::fchmod(fd, *std::exchange(laterMode_, std::nullopt)) != 0) {
        throwErrno();
    }
}

// A named file is written through a file system where closing may report a write it deferred
// (FUSE, network file systems): that must happen before it is published. An unnamed one stays
// open, as naming it needs its descriptor.
void TempFile::closeNamed() {
    if (!name_.empty() && fd_.get() >= 0) {
        fd_.close();
    }
}

void TempFile::lock() {
    while (::flock(fd_.get(), LOCK_EX) != 0) {
        if (errno != EINTR) {
            throwErrno();
        }
    }
}

// Names the file without replacing anything there.
Naming TempFile::nameNew(const std::string& name) {
    if (name_.empty()) {
        return linkUnnamed(name);
    }
    const char* temp = name_.name().c_str();
    if (ways_.exclusiveRename) {
        if (::renameat2(folder_, temp, folder_, name.c_str(), RENAME_NOREPLACE) == 0) {
            name_.release();
            return Naming::Done;
        }
        if (!exclusiveRenameRefused(errno)) {
            return takenOrThrow();
        }
        ways_.exclusiveRename = false;
    }
    if (ways_.hardLinks) {
        if (::linkat(folder_, temp, folder_, name.c_str(), 0) == 0) {
            ::unlinkat(folder_, temp, 0);
            name_.release();
            return Naming::Done;
        }
        if (!hardLinkRefused(errno)) {
            return takenOrThrow();
        }
        ways_.hardLinks = false;
    }
    return Naming::Refused;
}

// Gives the unnamed file a name: by its descriptor where the kernel lets this process, else
// through /proc where it is mounted.
Naming TempFile::linkUnnamed(const std::string& name) {
    if (ways_.linksByDescriptor) {
        if (::linkat(fd_.get(), "", folder_, name.c_str(), AT_EMPTY_PATH) == 0) {
            return Naming::Done;
        }
        // Without the capability it asks for, the kernel answers as if the file were gone.
        if (errno != ENOENT && errno != EPERM && !hardLinkRefused(errno)) {
            return takenOrThrow();
        }
        ways_.linksByDescriptor = false;
    }
    if (ways_.linksThroughProc) {
        const std::string self = "/proc/self/fd/" + std::to_string(fd_.get());
        if (::linkat(AT_FDCWD, self.c_str(), folder_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            return Naming::Done;
        }
        if (errno != ENOENT && !hardLinkRefused(errno)) {
            return takenOrThrow();
        }
        ways_.linksThroughProc = false;
    }
    ways_.unnamedTemporaries = false;
    return Naming::Refused;
}

int createExclusively(int folder, const std::string& name, mode_t mode) {
    return ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                    mode & kPermissionBits);
}

// Nothing here may fail a copy.
void removeLeftoversIn(int folder) {
    const Descriptor fd(::openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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

}  // namespace vantrel::posix
