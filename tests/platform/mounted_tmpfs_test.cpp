#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "tests/platform/real_folder.h"

namespace vantrel {
namespace {

using testing::namesIn;
using testing::numberOf;
using testing::patterned;
using testing::readFile;
using testing::writeFile;
using Names = std::vector<std::string>;

// A small tmpfs in the test's folder; the source files and the log stay outside it.
class MountedTmpfs : public ::testing::Test {
  protected:
    static constexpr std::size_t kDiskSize = 512 * 1024;

    void SetUp() override {
        mount_.emplace(mnt(), "size=512k,mode=0755");
        if (!mount_->whyNot().empty()) {
            GTEST_SKIP() << "no tmpfs for this test: " << mount_->whyNot();
        }
    }

    std::string mnt() const { return folder_ / "mnt"; }
    std::string inMnt(const std::string& name) const { return mnt() + "/" + name; }

    unsigned long freeBlocks() const {
        struct statvfs status {};
        EXPECT_EQ(::statvfs(mnt().c_str(), &status), 0);
        return status.f_bfree;
    }

    testing::TempFolder folder_;
    std::optional<testing::TmpfsMount> mount_;
    RealFileSystem fs_;
};

using DiskFull = MountedTmpfs;
using ReadOnly = MountedTmpfs;

TEST_F(DiskFull, WritesFailWithoutLeavingAnythingAndKeepTheOldFile) {
    const std::string big = folder_ / "big.bin";
    const std::string bigText = patterned(2 * kDiskSize, 'b');
    writeFile(big, bigText);
    const std::string kept = patterned(1000, 'k');
    writeFile(inMnt("kept.bin"), kept);
    const unsigned long freeBefore = freeBlocks();
    struct Case {
        std::string what;
        std::function<void()> operation;
    };
    const Case cases[] = {
        {"copy to a new target", [&] { fs_.copyFile(big, inMnt("big(1).bin"), CopyTo::NewFile); }},
        {"copy over a target", [&] { fs_.copyFile(big, inMnt("kept.bin"), CopyTo::Replace); }},
        {"text to a new file", [&] { fs_.writeText(inMnt("Log.txt"), bigText); }},
        {"text over a file", [&] { fs_.writeText(inMnt("kept.bin"), bigText); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(numberOf(c.operation), kDiskFull);
        EXPECT_EQ(namesIn(mnt()), Names{"kept.bin"});
        EXPECT_EQ(readFile(inMnt("kept.bin")), kept);
        // Space held by an unnamed temporary file would show here.
        EXPECT_EQ(freeBlocks(), freeBefore);
    }
}

TEST_F(DiskFull, RunStopsWithItsMessageAndKeepsTheFinishedCopy) {
    const std::string source = folder_ / "photo.jpg";
    const std::string content = patterned(kDiskSize * 3 / 5, 'p');
    writeFile(source, content);
    testing::RealRun run(folder_.path(), mnt());
    run.messageBox.alwaysAnswer(Answer::Yes);
    run.addRowPath(source, "2");

    run.click();

    EXPECT_EQ(run.texts(), Names{"Destination drive is full."});
    EXPECT_EQ(run.messageBox.shown.back().buttons, Buttons::Ok);
    EXPECT_EQ(run.labelProgress.caption(), "Progress : 1/2");
    EXPECT_EQ(namesIn(mnt()), Names{"photo(1).jpg"});
    EXPECT_EQ(readFile(inMnt("photo(1).jpg")), content);
}

TEST_F(DiskFull, AnAppendThatDoesNotFitLeavesTheFileAsItWas) {
    const std::string log = inMnt("Log.txt");
    writeFile(log, "a(1).txt\r\n");
    const auto file = fs_.openAppended(log);
    ASSERT_NE(file, nullptr);
    const unsigned long freeBefore = freeBlocks();

    EXPECT_EQ(numberOf([&] { file->append(patterned(2 * kDiskSize, 'l'), 10); }), kDiskFull);

    EXPECT_EQ(readFile(log), "a(1).txt\r\n");
    EXPECT_EQ(freeBlocks(), freeBefore);
}

TEST_F(DiskFull, ASparseFileNeedsRoomOnlyForItsData) {
    const std::string source = folder_ / "sparse.bin";
    const std::string data = patterned(4096, 's');
    {
        std::ofstream out(source, std::ios::binary);
        out << data;
    }
    ASSERT_EQ(::truncate(source.c_str(), 16 * kDiskSize), 0);
    testing::RealRun run(folder_.path(), mnt());
    run.addRowPath(source, "2");

    run.click();

    EXPECT_TRUE(run.texts().empty());
    EXPECT_EQ(run.labelProgress.caption(), "Files successfully replicated.");
    for (const char* name : {"sparse(1).bin", "sparse(2).bin"}) {
        EXPECT_TRUE(readFile(inMnt(name)) == readFile(source)) << name;
    }
}

TEST_F(ReadOnly, WritesAndFoldersAreRefusedAsWriteProtected) {
    const std::string source = folder_ / "a.txt";
    writeFile(source, "new");
    writeFile(inMnt("a(1).txt"), "old");
    mount_->remountReadOnly();
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
    mount_->remountReadOnly();
    testing::RealRun run(folder_.path(), mnt());
    run.messageBox.alwaysAnswer(Answer::Yes);
    run.addRowPath(source, "1");

    run.click();

    EXPECT_EQ(run.texts(), Names{"Permission Denied. The Memory Device is write protected."});
    EXPECT_EQ(run.messageBox.shown.back().buttons, Buttons::Ok);
    EXPECT_TRUE(namesIn(mnt()).empty());
}

}  // namespace
}  // namespace vantrel
