#pragma once

#include <functional>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace vantrel {

// The machine's own file system. Copies and the log go through a temporary file in the target's
// folder that takes the target's name only once it is complete: POSIX in real_file_system.cpp,
// Win32 in real_file_system_win32.cpp.
class RealFileSystem : public FileSystem {
  public:
    // Ways into the paths that only some Linux file systems take, for tests; Windows has one
    // way, and heeds beforePublish alone.
    struct Options {
        // Off: temporary files have a name from the start, as where O_TMPFILE is missing.
        bool unnamedTemporaries = true;
        // Off: as where renameat2(RENAME_NOREPLACE) is refused.
        bool exclusiveRename = true;
        // Off: as where hard links are refused.
        bool hardLinks = true;
        // Called just before a finished file takes its target's name.
        std::function<void(const std::string& target)> beforePublish;
    };

    RealFileSystem() = default;
    explicit RealFileSystem(Options options) : options_(std::move(options)) {}

    bool exists(const std::string& path, Attributes attributes) override;
    void makeDir(const std::string& path) override;
    using FileSystem::copyFile;
    void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                  const CopyProgress& progress) override;
    void writeText(const std::string& path, const std::string& text) override;
    std::unique_ptr<AppendedFile> openAppended(const std::string& path) override;
    // Removes from the folder the temporary files that killed copies of this program left,
    // and no file that another running copy holds.
    void removeLeftovers(const std::string& folder);

  private:
    // Removes the temporary files that killed copies left in the folder, at its first copy.
    void cleanFolderOnce(const std::string& folder);

    Options options_;
    std::set<std::string> cleanedFolders_;
};

}  // namespace vantrel
