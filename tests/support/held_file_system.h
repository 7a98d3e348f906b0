#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>

#include "platform/file_system.h"

namespace vantrel::test {

// The real file system, with one copy held back before it starts until the test releases it or
// the run asks it to stop: a long copy whose moment the test chooses. The real copy then runs
// with the run's stop request.
class HeldFileSystem : public FileSystem {
  public:
    HeldFileSystem(FileSystem& real, int heldCopy) : real_(real), heldCopy_(heldCopy) {}

    bool exists(const std::string& path, Attributes attributes) override {
        return real_.exists(path, attributes);
    }
    void makeDir(const std::string& path) override { real_.makeDir(path); }
    std::optional<FileIdentity> identify(const std::string& path) override {
        return real_.identify(path);
    }
    using FileSystem::copyFile;
    void copyFile(const std::string& source, const std::string& target, CopyTo mode,
                  const CopyProgress& progress, const std::optional<FileIdentity>& asked,
                  std::stop_token stop) override {
        {
            std::unique_lock lock(mutex_);
            if (++copies_ == heldCopy_) {
                held_ = true;
                changed_.notify_all();
                changed_.wait_for(lock, stop, kPatience, [this] { return released_; });
            }
        }
        real_.copyFile(source, target, mode, progress, asked, stop);
    }
    void writeText(const std::string& path, const std::string& text) override {
        real_.writeText(path, text);
    }
    std::unique_ptr<AppendedFile> openAppended(const std::string& path) override {
        return real_.openAppended(path);
    }
    void removeLeftovers(const std::string& folder) override { real_.removeLeftovers(folder); }

    // Whether the held copy has been reached, waiting for it a while.
    bool waitUntilHeld(std::chrono::milliseconds patience = kPatience) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, patience, [this] { return held_; });
    }
    void release() {
        const std::lock_guard lock(mutex_);
        released_ = true;
        changed_.notify_all();
    }

  private:
    static constexpr std::chrono::milliseconds kPatience{20000};

    FileSystem& real_;
    int heldCopy_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    int copies_ = 0;
    bool held_ = false;
    bool released_ = false;
};

}  // namespace vantrel::test
