#include <gtest/gtest.h>

#include "replication/replication_run.h"
#include "support/expected.h"
#include "support/run_harness.h"

namespace vantrel::test {
namespace {

class DestinationFolder : public ::testing::TestWithParam<Flavour> {};

std::vector<std::string> madeDirs(const FakeFileSystem& fs) {
    std::vector<std::string> dirs;
    for (const auto& call : fs.calls) {
        if (call.rfind("mkdir ", 0) == 0) {
            dirs.push_back(call.substr(6));
        }
    }
    return dirs;
}

TEST_P(DestinationFolder, AnExistingFolderIsTakenWithoutAQuestion) {
    RunHarness h(GetParam());
    h.fs.addDir(h.flavour.destination);
    h.addRow("a.txt", "1");
    ReplicateBtn_Click(h.controls, h.services);
    EXPECT_TRUE(madeDirs(h.fs).empty());
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_TRUE(h.fs.isFile(h.target("a(1).txt")));
}

TEST_P(DestinationFolder, MissingLevelsAreCreatedFromTheTopDown) {
    struct Case {
        std::vector<std::string> existing;
        std::vector<std::string> created;
    };
    const Case cases[] = {{{}, {"new", "new/deeper"}}, {{"new"}, {"new/deeper"}}};
    for (const auto& c : cases) {
        RunHarness h(GetParam());
        const std::string root = GetParam().destination;  // exists: the drive or /out
        h.fs.addDir(root);
        auto join = [&](const std::string& rel) {
            std::string p = root;
            for (char ch : "/" + rel) {
                p += ch == '/' ? h.conventions.separator : ch;
            }
            return p;
        };
        for (const auto& dir : c.existing) {
            h.fs.addDir(join(dir));
        }
        h.saveTo.text_ = join("new/deeper");
        h.addRow("a.txt", "1");
        h.messageBox.script({Answer::Yes});
        ReplicateBtn_Click(h.controls, h.services);

        ASSERT_GE(h.messageBox.shown.size(), 1u);
        EXPECT_EQ(h.messageBox.shown[0].text,
                  "The folder " + h.saveTo.text_ + " doesn't exist.\r\nCreate the folder ?");
        EXPECT_EQ(h.messageBox.shown[0].buttons, Buttons::YesNo);
        std::vector<std::string> expected;
        for (const auto& dir : c.created) {
            expected.push_back(join(dir) + h.conventions.separator);
        }
        EXPECT_EQ(madeDirs(h.fs), expected);
        EXPECT_TRUE(h.fs.isFile(h.target("a(1).txt")));
    }
}

TEST_P(DestinationFolder, DecliningEndsTheRunSilently) {
    RunHarness h(GetParam());
    h.saveTo.text_ = h.path(GetParam().destination, "missing");
    h.addRow("a.txt", "1");
    h.labelProgress.caption_ = "before";
    h.messageBox.script({Answer::No});
    ReplicateBtn_Click(h.controls, h.services);
    EXPECT_EQ(h.messageBox.shown.size(), 1u);
    EXPECT_TRUE(madeDirs(h.fs).empty());
    EXPECT_TRUE(h.labelProgress.history.empty());
    EXPECT_TRUE(h.shapeProgress.history.empty());
    EXPECT_EQ(h.fs.files().size(), 1u);  // the source alone
}

TEST_P(DestinationFolder, IsCreatedEvenForAnEmptyList) {
    RunHarness h(GetParam());
    h.saveTo.text_ = h.path(GetParam().destination, "new");
    h.messageBox.script({Answer::Yes});
    ReplicateBtn_Click(h.controls, h.services);
    EXPECT_TRUE(h.fs.isDir(h.saveTo.text_));
    ASSERT_EQ(h.messageBox.shown.size(), 2u);
    EXPECT_EQ(h.messageBox.shown[1].text, expected::kNoFilesToCopy);
}

TEST_P(DestinationFolder, AFolderThatCannotBeMadeIsReportedAndEndsTheRun) {
    RunHarness h(GetParam());
    h.fs.addDir(GetParam().destination);
    h.saveTo.text_ = h.path(GetParam().destination, "new");
    h.addRow("a.txt", "1");
    const std::string prefix = h.saveTo.text_ + h.conventions.separator;
    h.fs.failOn(FakeFileSystem::Op::MakeDir, prefix, kPermissionDenied);
    h.messageBox.script({Answer::Yes});
    ReplicateBtn_Click(h.controls, h.services);
    ASSERT_EQ(h.messageBox.shown.size(), 2u);
    EXPECT_EQ(h.messageBox.shown[1].text,
              "Could not create the folder " + prefix + ".\r\ninjected failure 70");
    EXPECT_EQ(h.fs.files().size(), 1u);
    EXPECT_TRUE(h.labelProgress.history.empty());
}

TEST_P(DestinationFolder, AFailingExistenceTestIsReported) {
    RunHarness h(GetParam());
    h.addRow("a.txt", "1");
    h.fs.failOn(FakeFileSystem::Op::Exists, h.saveTo.text_, kDiskNotReady);
    ReplicateBtn_Click(h.controls, h.services);
    EXPECT_EQ(h.texts(), std::vector<std::string>{"Could not check " + h.saveTo.text_ +
                                                  ".\r\ninjected failure 71"});
}

INSTANTIATE_TEST_SUITE_P(Flavours, DestinationFolder, ::testing::ValuesIn(flavours()),
                         [](const auto& info) { return info.param.name; });

// Prefixes keep doubled separators as typed; a prefix of separators alone is the root.
TEST(DestinationFolderPrefixes, EmptyPartsArePassedOnUnchanged) {
    struct Case {
        Flavour flavour;
        std::string destination;
        std::vector<std::string> tested;
    };
    const auto windows = flavours()[0];
    const auto posix = flavours()[1];
    const Case cases[] = {
        {windows, "D:\\a\\\\b", {"D:\\", "D:\\a\\", "D:\\a\\\\", "D:\\a\\\\b\\"}},
        {windows, "D:\\a\\", {"D:\\", "D:\\a\\", "D:\\a\\\\"}},
        {windows, "\\\\srv\\share", {"\\\\srv\\", "\\\\srv\\share\\"}},
        {posix, "/a//b", {"/a/", "/a//", "/a//b/"}},
        {posix, "rel/x", {"rel/", "rel/x/"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination);
        RunHarness h(c.flavour);
        h.fs.addDir("D:\\");
        h.saveTo.text_ = c.destination;
        h.messageBox.script({Answer::Yes});
        ReplicateBtn_Click(h.controls, h.services);
        std::vector<std::string> tested;
        for (const auto& call : h.fs.calls) {
            if (call.rfind("exists 16 ", 0) == 0) {
                tested.push_back(call.substr(10));
            }
        }
        ASSERT_FALSE(tested.empty());
        tested.erase(tested.begin());  // the destination itself
        EXPECT_EQ(tested, c.tested);
        EXPECT_TRUE(h.fs.isDir(c.destination));
    }
}

}  // namespace
}  // namespace vantrel::test
