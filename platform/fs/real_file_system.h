#pragma once

#include <functional>
#include <memory>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace vantrel {

struct PosixWays;

// The machine's own file system. Copies and the log go through a temporary file in the target's
// folder that takes the target's name only once it is complete: POSIX in
// real_file_system_posix.cpp, Win32 in real_file_system_win32.cpp.
class RealFileSystem : public FileSystem {
  public:
    // Ways into the program's paths for tests.
    struct Options {
        // Called just before a finished file takes its target's name.
        std::function<void(const std::string& target)> beforePublish;
        // The Linux ways a test closes (posix_ways.h); all open when null. Windows has one.
        std::shared_ptr<const PosixWays> ways;
    };

    RealFileSystem() = default;
    explicit RealFileSystem(Options options) : options_(std::move(options)) {}

    bool exists(const std::string& path, Attributes attributes) override;
    void makeDir(const std::string& path) override;
    using FileSystem::copyFile;
    void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                  const CopyProgress& progress, std::stop_token stop) override;
    void writeText(const std::string& path, const std::string& text) override;
    std::unique_ptr<AppendedFile> openAppended(const std::string& path) override;
    void removeLeftovers(const std::string& folder) override;

  private:
    // Removes the temporary files that killed copies left in the folder, at its first copy.
    void cleanFolderOnce(const std::string& folder);

    Options options_;
    std::set<std::string> cleanedFolders_;
    // Folders on file systems that give a finished file a name only by replacing what has it,
    // where new copies are written at their own name.
    std::set<std::string> writtenInPlace_;
};

}  // namespace vantrel
