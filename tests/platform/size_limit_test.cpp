#include "platform/fs/size_limit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#ifndef _WIN32
#include <unistd.h>
#endif
#include "support/real_file_system_fixture.h"

namespace vantrel {
namespace {

using test::namesIn;
using test::numberOf;
using test::readFile;
using test::writeFile;
using RealFileSystemTest = test::RealFileSystemTest;

constexpr std::uint64_t kFourGiB = 1ull << 32;

TEST(LargestFile, FatHoldsFilesBelowFourGibibytesTheOthersSetNoLimitThatMatters) {
    const struct {
        const char* name;
        std::optional<std::uint64_t> largest;
    } cases[] = {
        {"FAT", kFourGiB - 1},  {"FAT32", kFourGiB - 1}, {"fat16", kFourGiB - 1},
        {"vfat", kFourGiB - 1}, {"msdos", kFourGiB - 1}, {"exFAT", std::nullopt},
        {"NTFS", std::nullopt}, {"ReFS", std::nullopt},  {"ext4", std::nullopt},
        {"FAT3", std::nullopt}, {"", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(largestFileOn(c.name), c.largest) << c.name;
    }
}

// The check as a copy meets it, with the file system's name given as a FAT volume's answer
// (not every machine can mount one): a source of 4 GiB and a byte, sparse, is refused before
// anything is written, and what is at the name stays.
TEST_F(RealFileSystemTest, ACopyTooLargeForTheDestinationsFileSystemIsRefusedAtOnce) {
    const std::string big = folder_ / "big.iso";
    writeFile(big, "");
    std::filesystem::resize_file(test::toPath(big), kFourGiB + 1);
    writeFile(target("there.iso"), "theirs");
    std::vector<std::string> asked;
    RealFileSystem::Options options;
    options.fileSystemName = [&](const std::string& folder) {
        asked.push_back(folder);
        return std::string(asked.size() % 2 == 1 ? "FAT32" : "vfat");
    };
    RealFileSystem fat(options);

    EXPECT_EQ(numberOf([&] { fat.copyFile(big, target("big(1).iso"), CopyTo::NewFile); }),
              kFileTooLarge);
    EXPECT_EQ(numberOf([&] { fat.copyFile(big, target("there.iso"), CopyTo::Replace); }),
              kFileTooLarge);
    EXPECT_EQ(asked.size(), 2u);
    EXPECT_EQ(namesIn(dest()), std::vector<std::string>{"there.iso"});
    EXPECT_EQ(readFile(target("there.iso")), "theirs");

    // A file that fits goes without a question.
    fat.copyFile(source(), target(), CopyTo::NewFile);
    EXPECT_EQ(readFile(target()), "source content");
    EXPECT_EQ(asked.size(), 2u);
}

TEST(FileSystemName, TheSystemNamesTheFileSystemOfAFolder) {
    const test::TempFolder folder;
    const std::string name = fileSystemNameOf(folder.path());
#ifdef _WIN32
    EXPECT_FALSE(name.empty());
#endif
    EXPECT_FALSE(largestFileOn(name).has_value()) << name;
}

#ifndef _WIN32
// Why no FAT image can be mounted here; empty where one can.
std::string fatMountUnavailable() {
    std::ifstream known("/proc/filesystems");
    const std::string listed((std::istreambuf_iterator<char>(known)), {});
    if (listed.find("\tvfat\n") == std::string::npos) {
        return "this kernel has no vfat file system (not in /proc/filesystems): no FAT image "
               "can be mounted, so the check is tested with the file system's name given";
    }
    if (::geteuid() != 0) {
        return "mounting a FAT image on a loop device needs root";
    }
    if (std::system("command -v mkfs.fat >/dev/null") != 0) {
        return "mkfs.fat (dosfstools) is not installed";
    }
    return {};
}

// On a real vfat mount, as the system answers statfs.
TEST(FatMount, ACopyOfFourGibibytesAndAByteIsRefusedAtOnceWithNothingWritten) {
    const std::string reason = fatMountUnavailable();
    if (!reason.empty()) {
        GTEST_SKIP() << reason;
    }
    const test::TempFolder folder;
    const std::string image = folder / "fat.img";
    const std::string mount = folder / "stick";
    test::makeFolder(mount);
    const std::string make = "truncate -s 64M '" + image + "' && mkfs.fat -F 32 '" + image +
                             "' >/dev/null && mount -o loop '" + image + "' '" + mount + "'";
    if (std::system(make.c_str()) != 0) {
        GTEST_SKIP() << "the FAT image could not be made or mounted on a loop device";
    }
    const std::string big = folder / "big.iso";
    writeFile(big, "");
    std::filesystem::resize_file(big, kFourGiB + 1);
    EXPECT_EQ(fileSystemNameOf(mount), "vfat");
    RealFileSystem fs;
    const int number =
        numberOf([&] { fs.copyFile(big, test::join(mount, "big(1).iso"), CopyTo::NewFile); });
    const std::vector<std::string> left = namesIn(mount);
    EXPECT_EQ(std::system(("umount '" + mount + "'").c_str()), 0);
    EXPECT_EQ(number, kFileTooLarge);
    EXPECT_TRUE(left.empty());
}
#endif

}  // namespace
}  // namespace vantrel
