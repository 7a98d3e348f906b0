#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/fs/real_file_system.h"
#include "support/real_folder.h"

namespace vantrel::test {

class TmpfsMount;

// A disk of kSize bytes to fill up, with an empty folder on it for one test. On Linux a tmpfs
// mounted in the test's folder (TmpfsMount). Under Wine drive X:, which the test
// small_disk_mount maps to a tmpfs before platform_tests runs (tests/platform/small_disk.sh),
// as root alone may.
class SmallDisk {
  public:
    static constexpr std::uint64_t kSize = 512 * 1024;

    explicit SmallDisk(const std::string& testFolder);
    ~SmallDisk();
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    // Empty when the disk is there, else why not.
    const std::string& whyNot() const { return whyNot_; }
    // The empty folder on the disk.
    const std::string& path() const { return path_; }
    std::uint64_t freeSpace() const;
    // Linux only.
    void remountReadOnly();

  private:
    std::string path_;
    std::string whyNot_;
    std::unique_ptr<TmpfsMount> mount_;
};

// Tests on a small disk; their source files and the log stay outside it.
class SmallDiskTest : public ::testing::Test {
  protected:
    static constexpr std::size_t kDiskSize = SmallDisk::kSize;

    void SetUp() override {
        disk_.emplace(folder_.path());
        if (!disk_->whyNot().empty()) {
            GTEST_SKIP() << disk_->whyNot();
        }
    }

    std::string mnt() const { return disk_->path(); }
    std::string inMnt(const std::string& name) const { return join(mnt(), name); }
    std::uint64_t freeSpace() const { return disk_->freeSpace(); }

    TempFolder folder_;
    std::optional<SmallDisk> disk_;
    RealFileSystem fs_;
};

}  // namespace vantrel::test
