#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string_view>

#include "platform/failure.h"
#include "platform/fs/content_copy.h"
#include "platform/fs/descriptor.h"
#include "platform/fs/real_file_system.h"
#include "platform/fs/size_limit.h"
#include "platform/fs/temporary_file.h"
#include "platform/fs/whole_path.h"

namespace vantrel {

using posix::Descriptor;
using posix::Naming;
using posix::TempFile;
using posix::throwErrno;
using posix::throwSourceErrno;

namespace {

constexpr mode_t kNewTextFileMode = 0644;

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A name in a folder held open: what follows the last slash of a path whose folder is open.
struct Place {
    std::string folderPath;
    Descriptor folder;
    std::string name;
};

Place placeOf(const std::string& path) {
    const auto slash = path.rfind('/');
    Place place{folderOf(path), Descriptor(),
                slash == std::string::npos ? path : path.substr(slash + 1)};
    place.folder.reset(::open(place.folderPath.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (place.folder.get() < 0) {
        throwErrno();
    }
    return place;
}

bool anyWayToNameNew(const PosixWays& ways) {
    return ways.unnamedTemporaries || ways.exclusiveRename || ways.hardLinks;
}

const PosixWays& waysOf(const RealFileSystem::Options& options) {
    static const PosixWays kEveryWay;
    return options.ways ? *options.ways : kEveryWay;
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
            posix::writeAllAt(file_.get(), text.data(), text.size(), end);
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

// The file that path names once symbolic links are followed: the log is written there, so
// that a link stays a link.
std::string followLinks(std::string path, struct stat& status) {
    constexpr int kMostLinks = 40;
    for (int links = 0; links < kMostLinks; ++links) {
        if (::lstat(path.c_str(), &status) != 0) {
            status = {};
            return path;
        }
        if (!S_ISLNK(status.st_mode)) {
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

std::string followLinks(const std::string& path) {
    struct stat status {};
    return followLinks(path, status);
}

// Rewrites a file in its place, for a file the user may write in a folder the user may not:
// with no temporary file beside it, a failure part-way leaves it part-written.
void rewriteInPlace(const std::string& path, const std::string& text) {
    const Descriptor out(::open(path.c_str(), O_WRONLY | O_CLOEXEC));
    if (out.get() < 0) {
        throwErrno();
    }
    posix::writeAllAt(out.get(), text.data(), text.size(), 0);
    if (::ftruncate(out.get(), static_cast<off_t>(text.size())) != 0) {
        throwErrno();
    }
}

// Whether a plain file has the name, following links, with its status. Anything else there is
// refused and never replaced: a folder, and what is neither file nor folder (a FIFO, a socket,
// a device), which the user is not asked about either.
bool plainFileAt(const Place& place, struct stat& status) {
    if (::fstatat(place.folder.get(), place.name.c_str(), &status, 0) != 0) {
        if (errno != ENOENT) {
            throwErrno();
        }
        return false;
    }
    if (S_ISDIR(status.st_mode)) {
        throw failureFromErrno(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        throw Failure(kPathFileAccessError,
                      place.folderPath + "/" + place.name + " is not a regular file.");
    }
    return true;
}

// The failure of a new copy whose name was taken: what is there decides its words. A link to
// nothing is taken like a file, for the user to answer about.
[[noreturn]] void throwTaken(const Place& place) {
    struct stat status {};
    plainFileAt(place, status);
    throw failureFromErrno(EEXIST);
}

// Whether the file took its name: a name taken meanwhile fails, a way refused is tried again.
bool published(Naming naming, const Place& place) {
    if (naming == Naming::Taken) {
        throwTaken(place);
    }
    return naming == Naming::Done;
}

// Writes the copy at its own name, created exclusively, where the file system cannot name a
// finished file without replacing what has the name: a kill part-way leaves the part written
// there, and so does a failure, as the name may no longer be ours to remove.
void copyInPlace(int in, const struct stat& source, const Place& place,
                 const CopyProgress& progress, const std::function<void()>& beforePublish) {
    beforePublish();
    Descriptor out(posix::createExclusively(place.folder.get(), place.name, source.st_mode));
    if (out.get() < 0) {
        if (errno == EEXIST) {
            throwTaken(place);
        }
        throwErrno();
    }
    if (::lseek(in, 0, SEEK_SET) < 0) {
        throwSourceErrno();
    }
    posix::copyContent(in, out.get(), source, progress);
    posix::keepModificationTime(out.get(), source);
    out.close();
}

void requireRegularSource(const std::string& source, const struct stat& status) {
    if (S_ISDIR(status.st_mode)) {
        throw failureFromErrno(EISDIR);
    }
    if (!S_ISREG(status.st_mode)) {
        throw Failure(kPathFileAccessError, source + " is not a regular file.");
    }
}

// Opens the source only once it is known to be a plain file: opening a FIFO lets a writer
// blocked on it go on, and opening a device may do something of its own. Links are followed
// here, so that the open itself follows none and meets what was looked at.
Descriptor openSource(const std::string& source, struct stat& status) {
    // The last look of following the links is the look at the file, without following it.
    const std::string file = followLinks(source, status);
    if (status.st_mode != 0) {
        requireRegularSource(source, status);
    }
    // O_NONBLOCK: should a FIFO take the name meanwhile, the open must not hang on it.
    Descriptor in(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (in.get() < 0 || ::fstat(in.get(), &status) != 0) {
        throwSourceErrno();
    }
    requireRegularSource(source, status);
    return in;
}

}  // namespace

bool RealFileSystem::exists(const std::string& path, Attributes attributes) {
    requireWholePath(path);
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

std::optional<FileIdentity> RealFileSystem::identify(const std::string& path) {
    requireWholePath(path);
    struct stat entry {};
    if (::lstat(path.c_str(), &entry) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            return std::nullopt;
        }
        throwErrno();
    }
    struct stat linked {};
    const bool plain =
        S_ISREG(entry.st_mode) ||
        (S_ISLNK(entry.st_mode) &&
         (::stat(path.c_str(), &linked) == 0 ? S_ISREG(linked.st_mode) : errno == ENOENT));
    if (!plain) {
        return std::nullopt;
    }
    return FileIdentity{entry.st_dev, entry.st_ino};
}

void RealFileSystem::cleanFolderOnce(const std::string& folderPath, int folder) {
    if (cleanedFolders_.insert(folderPath).second) {
        posix::removeLeftoversIn(folder);
    }
}

PosixWays& RealFileSystem::waysFor(const std::string& folder) {
    return folderWays_.try_emplace(folder, waysOf(options_)).first->second;
}

std::function<void()> RealFileSystem::announcer(const std::string& target, bool& announced) const {
    return [this, target, &announced] {
        if (options_.beforePublish && !std::exchange(announced, true)) {
            options_.beforePublish(target);
        }
    };
}

// A run starts afresh with each folder: what it learns of the ways there lasts for the run.
void RealFileSystem::removeLeftovers(const std::string& folder) {
    requireWholePath(folder);
    cleanedFolders_.insert(folder);
    folderWays_.erase(folder);
    const Descriptor fd(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0) {
        posix::removeLeftoversIn(fd.get());
    }
}

void RealFileSystem::makeDir(const std::string& path) {
    requireWholePath(path);
    if (::mkdir(path.c_str(), 0777) != 0) {
        throwErrno();
    }
}

// A new copy takes no look at its name first: the run has just tested it, and naming the
// finished copy fails when the name is taken.
void RealFileSystem::copyFile(const std::string& source, const std::string& target, CopyTo mode,
                              const CopyProgress& reported,
                              const std::optional<FileIdentity>& asked, std::stop_token stop) {
    // A stop request is seen between the pieces of the copy and before it takes its name; the
    // failure removes the temporary as any other does.
    const CopyProgress progress = [&](std::uint64_t copied, std::uint64_t size) {
        throwIfStopped(stop);
        if (reported) {
            reported(copied, size);
        }
    };
    requireWholePath(source);
    requireWholePath(target);
    struct stat status {};
    const Descriptor in = openSource(source, status);
    const Place place = placeOf(target);
    struct stat existing {};
    const bool present = mode == CopyTo::Replace && plainFileAt(place, existing);
    refuseTooLarge(static_cast<std::uint64_t>(status.st_size), place.folderPath,
                   options_.fileSystemName);
    cleanFolderOnce(place.folderPath, place.folder.get());
    PosixWays& ways = waysFor(place.folderPath);
    bool announced = false;
    const std::function<void()> announce = announcer(target, announced);
    // Each way the file system refuses is closed, and the copy made again by the next.
    for (bool first = true;; first = false) {
        if (mode == CopyTo::NewFile && !anyWayToNameNew(ways)) {
            copyInPlace(in.get(), status, place, progress, announce);
            return;
        }
        if (!first && ::lseek(in.get(), 0, SEEK_SET) < 0) {
            throwSourceErrno();
        }
        TempFile temp(place.folder.get(), status.st_mode, ways, announce);
        posix::copyContent(in.get(), temp.fd(), status, progress);
        posix::keepModificationTime(temp.fd(), status);
        throwIfStopped(stop);
        if (mode == CopyTo::NewFile) {
            if (published(temp.publishNew(place.name), place)) {
                return;
            }
            continue;
        }
        // The user chose to give up the old file for this one: make sure this one is on disk.
        if (present && ::fsync(temp.fd()) != 0) {
            throwErrno();
        }
        if (published(temp.publishReplacing(place.name, asked), place)) {
            return;
        }
    }
}

void RealFileSystem::writeText(const std::string& path, const std::string& text) {
    requireWholePath(path);
    const std::string file = followLinks(path);
    const Place place = placeOf(file);
    struct stat existing {};
    const bool present = plainFileAt(place, existing);
    cleanFolderOnce(place.folderPath, place.folder.get());
    PosixWays& ways = waysFor(place.folderPath);
    bool announced = false;
    const std::function<void()> announce = announcer(file, announced);
    for (;;) {
        std::optional<TempFile> temp;
        try {
            temp.emplace(place.folder.get(), kNewTextFileMode, ways, announce);
        } catch (const Failure& failure) {
            if (!present || failure.number() != kPermissionDenied) {
                throw;
            }
            rewriteInPlace(file, text);
            return;
        }
        // A rewritten log keeps the bits its owner gave it.
        if (present) {
            temp->giveMode(existing.st_mode);
        }
        posix::writeAllAt(temp->fd(), text.data(), text.size(), 0);
        // On the disk before it takes the old file's place: after a crash the log is the old
        // one or the new one, never an empty file that a rename made it to the disk before.
        if (::fdatasync(temp->fd()) != 0) {
            throwErrno();
        }
        Naming naming = present ? Naming::Taken : temp->publishNew(place.name);
        if (naming != Naming::Done) {
            naming = temp->publishReplacing(place.name, std::nullopt);
        }
        if (published(naming, place)) {
            return;
        }
    }
}

std::unique_ptr<AppendedFile> RealFileSystem::openAppended(const std::string& path) {
    requireWholePath(path);
    // O_NONBLOCK: a FIFO put in the file's place must not hang the open.
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status {};
    if (file.get() < 0 || ::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return nullptr;
    }
    return std::make_unique<OpenAppendedFile>(std::move(file));
}

}  // namespace vantrel
