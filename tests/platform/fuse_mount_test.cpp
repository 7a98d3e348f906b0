// Copies on a FUSE mount that offers neither RENAME_NOREPLACE, hard links nor O_TMPFILE, as many
// do (sshfs, rclone): plain_fuse.cpp, mounted for each test where FUSE can be mounted.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "support/real_folder.h"

namespace vantrel {
namespace {

using Names = std::vector<std::string>;

class FuseMountTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string program = test::besideThisProgram("plain_fuse");
        if (::access(program.c_str(), X_OK) != 0) {
            GTEST_SKIP() << "plain_fuse is not built: libfuse3-dev was missing";
        }
        if (::access("/dev/fuse", R_OK | W_OK) != 0) {
            GTEST_SKIP() << "/dev/fuse cannot be opened here";
        }
        test::makeFolder(backing());
        test::makeFolder(folder_ / "mnt");
        const std::string command = program + " " + backing() + " " + (folder_ / "mnt") + options_ +
                                    " -o default_permissions 2>/dev/null";
        if (std::system(command.c_str()) != 0) {
            GTEST_SKIP() << "FUSE cannot be mounted here: " << command;
        }
        mounted_ = true;
        test::makeFolder(dest());
        test::writeFile(source(), "source content", 0640);
    }

    void TearDown() override {
        if (mounted_) {
            EXPECT_EQ(std::system(("fusermount3 -u " + (folder_ / "mnt")).c_str()), 0)
                << "the test's FUSE mount stays mounted";
        }
    }

    std::string backing() const { return folder_ / "back"; }
    std::string dest() const { return folder_ / "mnt/dest"; }
    std::string source() const { return folder_ / "mnt/a.txt"; }
    std::string target(const std::string& name) const { return test::join(dest(), name); }
    std::string backed(const std::string& name) const {
        return test::join(backing(), "dest/" + name);
    }

    test::TempFolder folder_;
    bool mounted_ = false;
    std::string options_;
};

// A mount that answers a link with EROFS, as fusepy's default does, while it takes every other
// write: a way the mount lacks, not a write-protected disk.
class ErofsLinkFuseTest : public FuseMountTest {
  protected:
    ErofsLinkFuseTest() { options_ = " --link-erofs"; }
};

TEST_F(FuseMountTest, NewCopiesAreWrittenAndNeverTakeAFileThatAppears) {
    RealFileSystem::Options options;
    options.beforePublish = [](const std::string& target) { test::writeFile(target, "theirs"); };
    RealFileSystem racing(options);
    EXPECT_EQ(
        test::numberOf([&] { racing.copyFile(source(), target("a(1).txt"), CopyTo::NewFile); }),
        kFileAlreadyExists);
    EXPECT_EQ(test::readFile(target("a(1).txt")), "theirs");
    EXPECT_EQ(
        test::numberOf([&] { racing.copyFile(source(), target("a(2).txt"), CopyTo::NewFile); }),
        kFileAlreadyExists);
    EXPECT_EQ(test::readFile(target("a(2).txt")), "theirs");

    RealFileSystem fs;
    // The first finds that the mount cannot name a finished copy; the next know it.
    for (const char* name : {"a(3).txt", "a(4).txt"}) {
        fs.copyFile(source(), target(name), CopyTo::NewFile);
        EXPECT_EQ(test::readFile(target(name)), "source content");
    }
    fs.copyFile(source(), target("a(1).txt"), CopyTo::Replace);
    EXPECT_EQ(test::readFile(target("a(1).txt")), "source content");
    EXPECT_EQ(test::namesIn(dest()), (Names{"a(1).txt", "a(2).txt", "a(3).txt", "a(4).txt"}));
}

// A file moved to the copy's name while the copy is being named stays: the copy is never
// renamed over what holds its name.
TEST_F(FuseMountTest, AFileMovedToTheNameWhileTheCopyIsNamedStays) {
    test::writeFile(test::join(backing(), "theirs.txt"), "theirs");
    std::thread user([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        std::filesystem::rename(test::join(backing(), "theirs.txt"), backed("slow(1).txt"));
    });
    try {
        RealFileSystem().copyFile(source(), target("slow(1).txt"), CopyTo::NewFile);
    } catch (const Failure&) {
    }
    user.join();
    EXPECT_EQ(test::readFile(backed("slow(1).txt")), "theirs");
}

TEST_F(ErofsLinkFuseTest, NewCopiesAreWrittenAtTheirOwnName) {
    RealFileSystem fs;
    for (const char* name : {"a(1).txt", "a(2).txt"}) {
        fs.copyFile(source(), target(name), CopyTo::NewFile);
        EXPECT_EQ(test::readFile(target(name)), "source content");
    }
    fs.copyFile(source(), target("a(1).txt"), CopyTo::Replace);
    fs.writeText(target("Log.txt"), "a(1).txt\r\n");
    EXPECT_EQ(test::readFile(target("Log.txt")), "a(1).txt\r\n");
    EXPECT_EQ(test::namesIn(dest()), (Names{"Log.txt", "a(1).txt", "a(2).txt"}));
}

TEST_F(FuseMountTest, ASourceThatCannotBeReadIsTheSourcesFault) {
    test::writeFile(folder_ / "mnt/unreadable.txt", "secret", 0644);
    const std::string copy = target("unreadable(1).txt");
    for (const CopyTo mode : {CopyTo::NewFile, CopyTo::Replace}) {
        try {
            RealFileSystem().copyFile(folder_ / "mnt/unreadable.txt", copy, mode);
            ADD_FAILURE() << "the copy was made";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), kPathFileAccessError) << failure.reason();
        }
        EXPECT_TRUE(test::namesIn(dest()).empty());
    }
}

}  // namespace
}  // namespace vantrel
