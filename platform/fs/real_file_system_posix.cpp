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
    posix::writeAllAt(out.get(), text.data(), text.size(), 0);
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
        throw Failure(kPathFileAccessError, path + " is not a regular file.");
    }
    return true;
}

// The failure of a new copy whose name was taken: what is there decides its words. A link to
// nothing is taken like a file, for the user to answer about.
[[noreturn]] void throwTaken(const std::string& target) {
    struct stat status {};
    plainFileAt(target, status);
    throw failureFromErrno(EEXIST);
}

// Writes the copy at its own name, created exclusively, where the file system cannot name a
// finished file without replacing what has the name: a kill part-way leaves the part written
// there, and so does a failure, as the name may no longer be ours to remove.
void copyInPlace(int in, const struct stat& source, const std::string& target,
                 const CopyProgress& progress, const posix::BeforePublish& beforePublish) {
    if (beforePublish) {
        beforePublish(target);
    }
    Descriptor out(posix::createExclusively(target, source.st_mode));
    if (out.get() < 0) {
        if (errno == EEXIST) {
            throwTaken(target);
        }
        throwErrno();
    }
    posix::keepMode(out.get(), source.st_mode, source.st_mode);
    if (::lseek(in, 0, SEEK_SET) < 0) {
        throwSourceErrno();
    }
    posix::copyContent(in, out.get(), source, progress);
    posix::keepModificationTime(out.get(), source);
    out.close();
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

void RealFileSystem::cleanFolderOnce(const std::string& folder) {
    if (cleanedFolders_.insert(folder).second) {
        posix::removeLeftoversIn(folder);
    }
}

void RealFileSystem::removeLeftovers(const std::string& folder) {
    requireWholePath(folder);
    cleanedFolders_.insert(folder);
    posix::removeLeftoversIn(folder);
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
                              const CopyProgress& reported, std::stop_token stop) {
    // A stop request is seen between the pieces of the copy and before it takes its name; the
    // failure removes the temporary as any other does.
    const auto stopIfAsked = [&stop] {
        if (stop.stop_requested()) {
            throw Failure(kUserInterrupt, "The copy was stopped.");
        }
    };
    const CopyProgress progress = [&](std::uint64_t copied, std::uint64_t size) {
        stopIfAsked();
        if (reported) {
            reported(copied, size);
        }
    };
    requireWholePath(source);
    requireWholePath(target);
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
    const bool present = mode == CopyTo::Replace && plainFileAt(target, existing);
    const std::string folder = folderOf(target);
    cleanFolderOnce(folder);
    if (mode == CopyTo::NewFile && writtenInPlace_.contains(folder)) {
        copyInPlace(in.get(), status, target, progress, options_.beforePublish);
        return;
    }
    TempFile temp(folder, status.st_mode, waysOf(options_), options_.beforePublish);
    posix::copyContent(in.get(), temp.fd(), status, progress);
    posix::keepModificationTime(temp.fd(), status);
    stopIfAsked();
    if (mode == CopyTo::NewFile) {
        switch (temp.publishNew(target)) {
            case Naming::Done:
                return;
            case Naming::Taken:
                throwTaken(target);
            case Naming::Refused:
                writtenInPlace_.insert(folder);
                // Without the hook: it has had this copy.
                copyInPlace(in.get(), status, target, progress, {});
                return;
        }
    }
    // The user chose to give up the old file for this one: make sure this one is on disk.
    if (present && ::fsync(temp.fd()) != 0) {
        throwErrno();
    }
    temp.publishReplacing(target);
}

void RealFileSystem::writeText(const std::string& path, const std::string& text) {
    requireWholePath(path);
    const std::string file = followLinks(path);
    struct stat existing {};
    const bool present = plainFileAt(file, existing);
    const std::string folder = folderOf(file);
    cleanFolderOnce(folder);
    std::optional<TempFile> temp;
    try {
        temp.emplace(folder, present ? existing.st_mode : kNewTextFileMode, waysOf(options_),
                     options_.beforePublish);
    } catch (const Failure& failure) {
        if (!present || failure.number() != kPermissionDenied) {
            throw;
        }
        rewriteInPlace(file, text);
        return;
    }
    posix::writeAllAt(temp->fd(), text.data(), text.size(), 0);
    // No fsync: for a log the rename's all or nothing is enough.
    if (present || temp->publishNew(file) != Naming::Done) {
        temp->publishReplacing(file);
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
