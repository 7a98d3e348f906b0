#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>

namespace vantrel {

// What the existence test looks for.
enum class Attributes : int { File = 0, Directory = 16 };

// What a copy may do at its target: take a name that was free when the caller looked, or take
// the place of the file there, as the user agreed.
enum class CopyTo { NewFile, Replace };

// Which file a name holds: its device and inode on Linux, its volume's serial number and its
// file ID on Windows. The default names no file.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t file = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A file kept open to add text to its end.
class AppendedFile {
  public:
    virtual ~AppendedFile() = default;
    // Adds text to the end of the file, which must hold `length` bytes, as this program left
    // it; false, changing nothing, when it holds another length or is gone from its folder. A
    // failure leaves the file at `length` bytes.
    virtual bool append(std::string_view text, std::uint64_t length) = 0;
};

// How far a copy has come: bytes copied of the source's size (0 where it reports none). Called
// on the thread that copies.
using CopyProgress = std::function<void(std::uint64_t copied, std::uint64_t size)>;

// Paths are passed through unchanged: bytes on Linux, whatever their encoding; UTF-8 text on
// Windows. Every operation raises a Failure with the number of its kind and the system's
// reason when it fails.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // File: true when a plain file is there. Directory: true when anything is there.
    virtual bool exists(const std::string& path, Attributes attributes) = 0;
    // Creates one folder whose parent exists.
    virtual void makeDir(const std::string& path) = 0;
    // The plain file at path, or the link to one or to nothing there: what a Replace would
    // take the place of; none when nothing of the kind is there.
    virtual std::optional<FileIdentity> identify(const std::string& path) = 0;
    // Copies source to target. NewFile never replaces anything: when the name has been taken
    // by the time the copy is complete, it fails with kFileAlreadyExists and leaves what is
    // there alone. Replace with `asked` (from identify when the user was asked) replaces only
    // that file, or takes the name if it is free by then; should the name hold another file,
    // it fails with kFileAlreadyExists and leaves it, for the user to be asked about anew.
    // Either way a target that is there but is no plain file (a folder, a FIFO, a device, a
    // link to one) is refused and stays as it was. An incomplete copy never replaces or
    // leaves behind anything. A source that cannot be opened or read never fails with the
    // numbers of the destination's failures (disk full, write protected, not ready).
    // A request on `stop` abandons the copy within a moment, whatever its size, and ends any
    // wait for a file another program holds: it fails with kUserInterrupt, and leaves nothing
    // at the target's name and a file it was replacing as it was.
    virtual void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                          const CopyProgress& progress, const std::optional<FileIdentity>& asked,
                          std::stop_token stop) = 0;
    void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                  const CopyProgress& progress, std::stop_token stop) {
        copyFile(source, target, mode, progress, std::nullopt, std::move(stop));
    }
    void copyFile(const std::string& source, const std::string& target, CopyTo mode) {
        copyFile(source, target, mode, {}, std::nullopt, {});
    }
    // Replaces the file's whole content with text, all or nothing. A link is followed: the file
    // it names is written and the link stays. A file the user may write in a folder the user
    // may not is rewritten in its place, where all or nothing cannot be had.
    virtual void writeText(const std::string& path, const std::string& text) = 0;
    // Opens a plain file to add text to its end; null when it is missing or cannot be opened so.
    virtual std::unique_ptr<AppendedFile> openAppended(const std::string& path) = 0;
    // Removes the temporary files that killed copies left in the folder, never one that a
    // running copy holds. Nothing it meets is a failure of the caller's.
    virtual void removeLeftovers(const std::string& folder) = 0;
};

}  // namespace vantrel
