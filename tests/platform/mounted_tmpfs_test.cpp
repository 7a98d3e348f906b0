// What a small Linux tmpfs alone shows: holes that need no room, a file system remounted
// read-only, a system without /proc; and a power cut on XFS in a loop image. The disk-full
// cases every system has are in small_disk_test.cpp.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "support/expected.h"
#include "support/real_file_system_fixture.h"
#include "support/real_folder.h"
#include "support/small_disk.h"

namespace vantrel {
namespace {

using test::namesIn;
using test::numberOf;
using test::readFile;
using test::writeFile;
using Names = std::vector<std::string>;
using DiskFull = test::SmallDiskTest;
using ReadOnly = test::SmallDiskTest;
using NoProc = test::SmallDiskTest;
using PowerCut = test::SmallDiskTest;

TEST_F(DiskFull, ASparseFileNeedsRoomOnlyForItsData) {
    const std::string source = folder_ / "sparse.bin";
    const std::string data = test::patterned(4096, 's');
    {
        std::ofstream out(source, std::ios::binary);
        out << data;
    }
    ASSERT_EQ(::truncate(source.c_str(), 16 * kDiskSize), 0);
    test::RealRun run(folder_.path(), mnt());
    run.addRowPath(source, "2");

    run.click();

    EXPECT_TRUE(run.texts().empty());
    EXPECT_EQ(run.labelProgress.caption(), expected::kDone);
    for (const char* name : {"sparse(1).bin", "sparse(2).bin"}) {
        EXPECT_TRUE(readFile(inMnt(name)) == readFile(source)) << name;
    }
}

TEST_F(ReadOnly, WritesAndFoldersAreRefusedAsWriteProtected) {
    const std::string source = folder_ / "a.txt";
    writeFile(source, "new");
    writeFile(inMnt("a(1).txt"), "old");
    disk_->remountReadOnly();
    struct Case {
        std::string what;
        std::function<void()> operation;
    };
    const Case cases[] = {
        {"copy to a new target", [&] { fs_.copyFile(source, inMnt("a(2).txt"), CopyTo::NewFile); }},
        {"copy over a target", [&] { fs_.copyFile(source, inMnt("a(1).txt"), CopyTo::Replace); }},
        {"text", [&] { fs_.writeText(inMnt("Log.txt"), "a(1).txt\r\n"); }},
        {"folder", [&] { fs_.makeDir(inMnt("sub")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(numberOf(c.operation), kPermissionDenied);
    }
    EXPECT_EQ(namesIn(mnt()), Names{"a(1).txt"});
    EXPECT_EQ(readFile(inMnt("a(1).txt")), "old");
}

TEST_F(ReadOnly, RunStopsWithTheWriteProtectedMessage) {
    const std::string source = folder_ / "a.txt";
    writeFile(source, "new");
    disk_->remountReadOnly();
    test::RealRun run(folder_.path(), mnt());
    run.messageBox.alwaysAnswer(Answer::Yes);
    run.addRowPath(source, "1");

    run.click();

    EXPECT_EQ(run.texts(), Names{expected::kWriteProtected});
    EXPECT_EQ(run.messageBox.shown.back().buttons, Buttons::Ok);
    EXPECT_TRUE(namesIn(mnt()).empty());
}

// Some containers and sandboxes have no /proc: copies are named by their descriptor, or written
// under a name of their own from the start, never through /proc/self/fd.
TEST_F(NoProc, CopiesAndTheLogAreMadeWithoutProc) {
    const std::string source = folder_ / "a.txt";
    writeFile(source, "new");
    ASSERT_EQ(::mount("none", "/proc", "tmpfs", 0, "size=64k"), 0) << "hiding /proc";
    struct ShowProc {
        ~ShowProc() { ::umount2("/proc", MNT_DETACH); }
    } showProc;
    ASSERT_FALSE(std::ifstream("/proc/self/status").is_open());
    int folder = 0;
    for (const auto& way : test::kPublishWays) {
        SCOPED_TRACE(way.name);
        const std::string dest = inMnt(std::to_string(++folder));
        test::makeFolder(dest);
        writeFile(test::join(dest, "a(1).txt"), "old");
        // Without its capabilities, as the program's users run it.
        test::asOrdinaryUser([&] {
            RealFileSystem fs(way.options());
            fs.copyFile(source, test::join(dest, "a(2).txt"), CopyTo::NewFile);
            fs.copyFile(source, test::join(dest, "a(3).txt"), CopyTo::NewFile);
            fs.copyFile(source, test::join(dest, "a(1).txt"), CopyTo::Replace);
            fs.writeText(test::join(dest, "Log.txt"), "a(2).txt\r\n");
        });
        for (const char* name : {"a(1).txt", "a(2).txt", "a(3).txt"}) {
            EXPECT_EQ(readFile(test::join(dest, name)), "new") << name;
        }
        EXPECT_EQ(readFile(test::join(dest, "Log.txt")), "a(2).txt\r\n");
        EXPECT_EQ(namesIn(dest), (Names{"Log.txt", "a(1).txt", "a(2).txt", "a(3).txt"}));
    }
}

// The log is renamed over the old one: its data must be on the disk first, or after a crash
// the rename may be there and the data not, leaving an empty log. XFS's shutdown stops the
// disk as a power cut would, once the rename is in its journal.
TEST_F(PowerCut, TheLogIsTheOldOrTheNewNeverEmpty) {
    const std::string image = folder_ / "xfs.img";
    const std::string xfs = folder_ / "xfs";
    test::makeFolder(xfs);
    writeFile(image, "");
    std::filesystem::resize_file(image, 320 << 20);
    const std::string mount = "mount -t xfs -o loop " + image + " " + xfs + " 2>/dev/null";
    if (std::system(("mkfs.xfs -q -f " + image + " 2>/dev/null").c_str()) != 0 ||
        std::system(mount.c_str()) != 0) {
        GTEST_SKIP() << "no XFS in a loop image here: " << mount;
    }
    const std::string log = test::join(xfs, "Log.txt");
    fs_.writeText(log, "old(1).txt\r\n");
    ::sync();
    fs_.writeText(log, "new(1).txt\r\nnew(2).txt\r\n");
    const int folder = ::open(xfs.c_str(), O_RDONLY | O_DIRECTORY);
    EXPECT_EQ(::fsync(folder), 0);
    ::close(folder);
    EXPECT_EQ(std::system(("xfs_io -x -c shutdown " + xfs).c_str()), 0);
    EXPECT_EQ(std::system(("umount " + xfs).c_str()), 0);
    ASSERT_EQ(std::system(mount.c_str()), 0);
    EXPECT_EQ(readFile(log), "new(1).txt\r\nnew(2).txt\r\n");
    EXPECT_EQ(std::system(("umount " + xfs).c_str()), 0);
}

}  // namespace
}  // namespace vantrel
