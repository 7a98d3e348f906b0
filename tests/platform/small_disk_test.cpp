// A disk that fills up, on every system (small_disk.h); mounted_tmpfs_test.cpp holds what a
// Linux tmpfs alone shows.
#include <gtest/gtest.h>

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
using test::patterned;
using test::readFile;
using test::writeFile;
using Names = std::vector<std::string>;
using DiskFull = test::SmallDiskTest;

TEST_F(DiskFull, WritesFailWithoutLeavingAnythingAndKeepTheOldFile) {
    const std::string big = folder_ / "big.bin";
    const std::string bigText = patterned(2 * kDiskSize, 'b');
    writeFile(big, bigText);
    const std::string kept = patterned(1000, 'k');
    writeFile(inMnt("kept.bin"), kept);
    const std::uint64_t freeBefore = freeSpace();
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
        EXPECT_EQ(freeSpace(), freeBefore);
    }
}

TEST_F(DiskFull, RunStopsWithItsMessageAndKeepsTheFinishedCopy) {
    const std::string source = folder_ / "photo.jpg";
    const std::string content = patterned(kDiskSize * 3 / 5, 'p');
    writeFile(source, content);
    test::RealRun run(folder_.path(), mnt());
    run.messageBox.alwaysAnswer(Answer::Yes);
    run.addRowPath(source, "2");

    run.click();

    EXPECT_EQ(run.texts(), Names{expected::kDiskFull});
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
    const std::uint64_t freeBefore = freeSpace();

    EXPECT_EQ(numberOf([&] { file->append(patterned(2 * kDiskSize, 'l'), 10); }), kDiskFull);

    EXPECT_EQ(readFile(log), "a(1).txt\r\n");
    EXPECT_EQ(freeSpace(), freeBefore);
}

}  // namespace
}  // namespace vantrel
