// What a small Linux tmpfs alone shows: holes that need no room, a file system remounted
// read-only. The disk-full cases every system has are in small_disk_test.cpp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "support/expected.h"
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

}  // namespace
}  // namespace vantrel
