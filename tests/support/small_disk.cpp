#include "support/small_disk.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/statvfs.h>

#include "support/tmpfs_mount.h"
#endif

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace vantrel::test {

namespace fs = std::filesystem;

#ifdef _WIN32

class TmpfsMount {};

namespace {

constexpr char kDrive[] = "X:\\";

// Free and total bytes of drive X:; false when there is no such drive.
bool spaceOfDrive(std::uint64_t& free, std::uint64_t& total) {
    ULARGE_INTEGER available{};
    ULARGE_INTEGER all{};
    ULARGE_INTEGER unused{};
    if (!::GetDiskFreeSpaceExW(L"X:\\", &available, &all, &unused)) {
        return false;
    }
    free = unused.QuadPart;
    total = all.QuadPart;
    return true;
}

}  // namespace

SmallDisk::SmallDisk(const std::string& /*testFolder*/) {
    // small_disk.sh leaves its reason there when it cannot mount the disk.
    const std::string whyNotFile = join(kDrive, "why-not.txt");
    std::error_code error;
    if (fs::exists(toPath(whyNotFile), error)) {
        whyNot_ = readFile(whyNotFile);
        whyNot_.erase(whyNot_.find_last_not_of("\r\n") + 1);
        return;
    }
    std::uint64_t free = 0;
    std::uint64_t total = 0;
    if (!spaceOfDrive(free, total)) {
        whyNot_ = "no drive X: (CTest's small_disk_mount maps it to a small tmpfs)";
        return;
    }
    if (total > 2 * kSize) {
        whyNot_ = "drive X: holds " + std::to_string(total) + " bytes, not the small disk";
        return;
    }
    // What an earlier test left, were it ended before it could clear up.
    path_ = join(kDrive, "disk");
    fs::remove_all(toPath(path_));
    makeFolder(path_);
}

SmallDisk::~SmallDisk() {
    if (!path_.empty()) {
        std::error_code ignored;
        fs::remove_all(toPath(path_), ignored);
    }
}

std::uint64_t SmallDisk::freeSpace() const {
    std::uint64_t free = 0;
    std::uint64_t total = 0;
    EXPECT_TRUE(spaceOfDrive(free, total));
    return free;
}

void SmallDisk::remountReadOnly() {
    throw std::logic_error("drive X: is not remounted");
}

#else

SmallDisk::SmallDisk(const std::string& testFolder)
    : path_(join(testFolder, "mnt")),
      mount_(std::make_unique<TmpfsMount>(path_, "size=" + std::to_string(kSize) + ",mode=0755")) {
    if (!mount_->whyNot().empty()) {
        whyNot_ = "no tmpfs for this test: " + mount_->whyNot();
    }
}

SmallDisk::~SmallDisk() = default;

std::uint64_t SmallDisk::freeSpace() const {
    struct statvfs status {};
    EXPECT_EQ(::statvfs(path_.c_str(), &status), 0);
    return static_cast<std::uint64_t>(status.f_bfree) * status.f_frsize;
}

void SmallDisk::remountReadOnly() {
    mount_->remountReadOnly();
}

#endif

}  // namespace vantrel::test
