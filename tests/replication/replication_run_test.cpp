#include <gtest/gtest.h>

#include "platform/failure.h"
#include "replication/replication_run.h"
#include "support/expected.h"
#include "support/run_harness.h"

namespace vantrel::test {
namespace {

using Strings = std::vector<std::string>;
using expected::kDone;
using expected::replacePrompt;

class ReplicationRun : public ::testing::TestWithParam<Flavour> {
  protected:
    ReplicationRun() : h(GetParam()) { h.fs.addDir(GetParam().destination); }

    void run() { ReplicateBtn_Click(h.controls, h.services); }
    bool logWritten() const {
        for (const auto& call : h.fs.calls) {
            if (call == "write " + h.conventions.logPath) {
                return true;
            }
        }
        return false;
    }

    RunHarness h;
};

TEST_P(ReplicationRun, AnEmptyDestinationIsRefusedBeforeAnythingElse) {
    h.saveTo.text_.clear();
    h.addRow("a.txt", "1");
    run();
    EXPECT_EQ(h.texts(), Strings{expected::kSpecifyDestination});
    EXPECT_TRUE(h.fs.calls.empty());
    EXPECT_TRUE(h.labelProgress.history.empty());
    EXPECT_TRUE(h.shapeProgress.history.empty());
}

TEST_P(ReplicationRun, AnEmptyListChangesNothing) {
    run();
    EXPECT_EQ(h.texts(), Strings{expected::kNoFilesToCopy});
    EXPECT_TRUE(h.labelProgress.history.empty());
    EXPECT_FALSE(logWritten());
}

TEST_P(ReplicationRun, MakesNumberedCopiesWithProgress) {
    h.addRow("photo.jpg", "3");
    run();
    for (const char* name : {"photo(1).jpg", "photo(2).jpg", "photo(3).jpg"}) {
        EXPECT_EQ(h.fs.content(h.target(name)), "photo.jpg data") << name;
    }
    EXPECT_EQ(h.labelProgress.history,
              (Strings{"Progress : 1/3", "Progress : 2/3", "Progress : 3/3", kDone}));
    ASSERT_EQ(h.shapeProgress.history.size(), 4u);
    EXPECT_FLOAT_EQ(h.shapeProgress.history[0], 8055.0f / 3);
    EXPECT_FLOAT_EQ(h.shapeProgress.history[1], 2 * 8055.0f / 3);
    EXPECT_FLOAT_EQ(h.shapeProgress.history[2], 8055.0f);
    EXPECT_EQ(h.shapeProgress.history[3], 0.0);
    EXPECT_EQ(h.logFile(), "photo(1).jpg\r\nphoto(2).jpg\r\nphoto(3).jpg\r\n");
    EXPECT_TRUE(h.messageBox.shown.empty());
    EXPECT_EQ(h.painter.optional, 3);
    EXPECT_EQ(h.painter.forced, 1);
}

TEST_P(ReplicationRun, TargetPathsKeepATrailingSeparatorOfTheDestination) {
    h.saveTo.text_ = GetParam().destination + h.conventions.separator;
    h.addRow("a.txt", "1");
    run();
    const std::string doubled =
        GetParam().destination + h.conventions.separator + h.conventions.separator + "a(1).txt";
    EXPECT_NE(std::find(h.fs.calls.begin(), h.fs.calls.end(), "exists 0 " + doubled),
              h.fs.calls.end());
    EXPECT_NE(std::find(h.fs.calls.begin(), h.fs.calls.end(),
                        "copy " + h.source("a.txt") + " > " + doubled),
              h.fs.calls.end());
}

TEST_P(ReplicationRun, RowsWithoutCopiesStillEndTheirRow) {
    for (const char* count : {"", "abc", "0", "-2"}) {
        SCOPED_TRACE(count);
        RunHarness fresh(GetParam());
        fresh.fs.addDir(GetParam().destination);
        fresh.fs.addFile(fresh.conventions.logPath, "old(1).txt\r\n");
        fresh.addRow("a.txt", count);
        ReplicateBtn_Click(fresh.controls, fresh.services);
        EXPECT_EQ(fresh.labelProgress.history, Strings{kDone});
        EXPECT_EQ(fresh.shapeProgress.history, std::vector<double>{0.0});
        EXPECT_EQ(fresh.logFile(), "");
        EXPECT_EQ(fresh.fs.files().size(), 2u);  // source and log
    }
}

TEST_P(ReplicationRun, AnsweringNoSkipsThatCopyOnly) {
    h.addRow("x.txt", "2");
    h.fs.addFile(h.target("x(1).txt"), "old");
    h.messageBox.script({Answer::No});
    run();
    EXPECT_EQ(h.texts(), Strings{replacePrompt("x(1).txt")});
    EXPECT_EQ(h.messageBox.shown[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(h.fs.content(h.target("x(1).txt")), "old");
    EXPECT_EQ(h.fs.content(h.target("x(2).txt")), "x.txt data");
    EXPECT_EQ(h.logFile(), "x(2).txt\r\n");
}

TEST_P(ReplicationRun, AnsweringYesReplacesAndLogs) {
    h.addRow("x.txt", "1");
    h.fs.addFile(h.target("x(1).txt"), "old");
    h.messageBox.script({Answer::Yes});
    run();
    EXPECT_EQ(h.fs.content(h.target("x(1).txt")), "x.txt data");
    EXPECT_EQ(h.logFile(), "x(1).txt\r\n");
}

// A file that takes a copy's name after the test is asked about before it is replaced: where
// nothing stood, with the question a file found there gets; where the user said Yes to
// another file, anew, and it stays unless that answer is Yes too.
TEST_P(ReplicationRun, AFileThatTakesTheNameAfterTheTestIsAskedAbout) {
    const struct {
        Answer answer;
        const char* content;
        const char* log;
        const char* caption;
    } cases[] = {
        {Answer::Yes, "x.txt data", "x(1).txt\r\nx(2).txt\r\n", kDone.c_str()},
        {Answer::No, "theirs", "x(2).txt\r\n", kDone.c_str()},
        {Answer::Cancel, "theirs", "", expected::kCancelled.c_str()},
    };
    for (const bool afterYes : {false, true}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message()
                         << static_cast<int>(c.answer) << " after Yes " << afterYes);
            RunHarness r(GetParam());
            r.fs.addDir(GetParam().destination);
            r.addRow("x.txt", "2");
            if (afterYes) {
                r.fs.addFile(r.target("x(1).txt"), "old");
                r.messageBox.script({Answer::Yes, c.answer});
            } else {
                r.messageBox.script({c.answer});
            }
            r.fs.appearBeforeCopy(r.target("x(1).txt"), "theirs");
            ReplicateBtn_Click(r.controls, r.services);
            EXPECT_EQ(r.texts(), Strings(afterYes ? 2 : 1, replacePrompt("x(1).txt")));
            EXPECT_EQ(r.fs.content(r.target("x(1).txt")), c.content);
            EXPECT_EQ(r.fs.isFile(r.target("x(2).txt")), c.answer != Answer::Cancel);
            EXPECT_EQ(r.logFile(), c.log);
            EXPECT_EQ(r.labelProgress.history.back(), c.caption);
        }
    }
}

// A Linux name may hold CR or LF: the copy keeps the name, and its log line shows each as
// U+FFFD, so that the log stays one copy's name a line.
TEST_P(ReplicationRun, ALineEndInANameShowsInTheLogAsAStandIn) {
    const std::string standIn = "\xEF\xBF\xBD";
    h.addRow("two\r\nlines.txt", "1");
    h.addRow("plain.txt", "1");
    h.addRow("cr\r.t\nxt", "1");
    run();
    for (const char* copy : {"two\r\nlines(1).txt", "plain(1).txt", "cr\r(1).t\nxt"}) {
        EXPECT_TRUE(h.fs.isFile(h.target(copy))) << copy;
    }
    EXPECT_EQ(h.logFile(), "two" + standIn + standIn + "lines(1).txt\r\nplain(1).txt\r\ncr" +
                               standIn + "(1).t" + standIn + "xt\r\n");
}

TEST_P(ReplicationRun, SkippedCopiesCountForTheProgress) {
    h.addRow("a.txt", "2");
    h.addRow("b.txt", "2");
    h.fs.addFile(h.target("b(1).txt"), "old");
    h.messageBox.script({Answer::No});
    run();
    EXPECT_EQ(h.labelProgress.history, (Strings{"Progress : 1/4", "Progress : 2/4", kDone,
                                                "Progress : 3/4", "Progress : 4/4", kDone}));
    EXPECT_EQ(h.logFile(), "a(1).txt\r\na(2).txt\r\nb(2).txt\r\n");
}

TEST_P(ReplicationRun, TheRunTotalAddsTheReadingsNotTheCounts) {
    h.addRow("a.txt", "1");
    h.addRow("b.txt", "2.5");
    run();
    EXPECT_EQ(h.labelProgress.history,
              (Strings{"Progress : 1/4", kDone, "Progress : 2/4", "Progress : 3/4", kDone}));
    EXPECT_FALSE(h.fs.isFile(h.target("b(3).txt")));
}

TEST_P(ReplicationRun, TheBarNeverPassesItsBackground) {
    h.addRow("a.txt", "-2");
    h.addRow("b.txt", "3");  // run total 1 for three copies
    run();
    EXPECT_EQ(h.labelProgress.history.back(), kDone);
    for (double width : h.shapeProgress.history) {
        EXPECT_GE(width, 0.0);
        EXPECT_LE(width, 8055.0);
    }
    RunHarness zero(GetParam());
    zero.fs.addDir(GetParam().destination);
    zero.addRow("a.txt", "-1");
    zero.addRow("b.txt", "1");  // run total 0
    ReplicateBtn_Click(zero.controls, zero.services);
    EXPECT_EQ(zero.shapeProgress.history, (std::vector<double>{0.0, 0.0, 0.0}));
}

TEST_P(ReplicationRun, CancelEndsTheRunAndTheLogListsEveryCopyMade) {
    struct Case {
        const char* name;
        std::vector<std::string> existing;
        std::string log;
    };
    // Cancel at b(1): the log holds the first row. Cancel at b(2) after b(1) was copied: the
    // log holds that copy too, so that no copy goes unlisted.
    const Case cases[] = {
        {"first copy of row 2", {"b(1).txt"}, "a(1).txt\r\n"},
        {"second copy of row 2", {"b(2).txt"}, "a(1).txt\r\nb(1).txt\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness r(GetParam());
        r.fs.addDir(GetParam().destination);
        r.addRow("a.txt", "1");
        r.addRow("b.txt", "2");
        r.addRow("c.txt", "1");
        for (const auto& name : c.existing) {
            r.fs.addFile(r.target(name), "old");
        }
        r.messageBox.script({Answer::Cancel});
        ReplicateBtn_Click(r.controls, r.services);
        EXPECT_EQ(r.labelProgress.history.back(), expected::kCancelled);
        EXPECT_EQ(r.shapeProgress.history.back(), 0.0);
        EXPECT_EQ(r.logFile(), c.log);
        EXPECT_FALSE(r.fs.isFile(r.target("c(1).txt")));
        EXPECT_EQ(r.fs.content(r.target(c.existing[0])), "old");
    }
}

TEST_P(ReplicationRun, CancelBeforeTheFirstCopyLeavesThePreviousLog) {
    h.fs.addFile(h.conventions.logPath, "old(1).txt\r\n");
    h.addRow("a.txt", "1");
    h.fs.addFile(h.target("a(1).txt"), "old");
    h.messageBox.script({Answer::Cancel});
    run();
    EXPECT_FALSE(logWritten());
    EXPECT_EQ(h.logFile(), "old(1).txt\r\n");
    EXPECT_EQ(h.labelProgress.history, Strings{expected::kCancelled});
}

TEST_P(ReplicationRun, ACancelAfterAFailedRowEndWriteLeavesOnlyThisRunsNames) {
    // The first row end's write fails; the cancel in row 2 must still replace the previous
    // run's names, also when this run has no name to list.
    const struct {
        const char* count;
        const char* log;
    } cases[] = {{"0", ""}, {"1", "a(1).txt\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.count);
        RunHarness r(GetParam());
        r.fs.addDir(GetParam().destination);
        r.fs.addFile(r.conventions.logPath, "old(1).txt\r\n");
        r.addRow("a.txt", c.count);
        r.addRow("b.txt", "1");
        r.fs.addFile(r.target("b(1).txt"), "old");
        r.fs.failOn(FakeFileSystem::Op::Write, r.conventions.logPath, kDiskFull, 1);
        r.messageBox.script({Answer::Cancel});
        ReplicateBtn_Click(r.controls, r.services);
        EXPECT_EQ(r.texts(), (Strings{"Could not write the log file " + r.conventions.logPath +
                                          ".\r\ninjected failure 61",
                                      replacePrompt("b(1).txt")}));
        EXPECT_EQ(r.logFile(), c.log);
    }
}

TEST_P(ReplicationRun, ACountOutsideTheRangeIsRefusedBeforeAnyCopy) {
    struct Case {
        const char* first;
        const char* second;
        int row;
        const char* refusal;
    };
    const char* const tooLarge = " is too large (at most 32767).";
    const char* const tooSmall = " is too small (at least -32768).";
    const Case cases[] = {{"40000", "1", 1, tooLarge},
                          {"1", "40000", 2, tooLarge},
                          {"1", "-32769", 2, tooSmall},
                          {"-32768.6", "1", 1, tooSmall},
                          {"1", "-99999999999999999999999", 2, tooSmall}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " " + c.second);
        RunHarness r(GetParam());
        r.fs.addDir(GetParam().destination);
        r.addRow("a.txt", c.first);
        r.addRow("b.txt", c.second);
        ReplicateBtn_Click(r.controls, r.services);
        EXPECT_EQ(r.texts(),
                  Strings{"The number of copies in row " + std::to_string(c.row) + c.refusal});
        EXPECT_EQ(r.fs.files().size(), 2u);
        EXPECT_TRUE(r.labelProgress.history.empty());
    }
}

TEST_P(ReplicationRun, ACopyFailureEndsTheRunWithItsMessage) {
    const struct {
        int number;
        // empty: the general message with the system's reason; null: the one naming the source
        const char* message;
    } cases[] = {
        {kDiskFull, expected::kDiskFull.c_str()},
        {kPermissionDenied, expected::kWriteProtected.c_str()},
        {kDiskNotReady, expected::kNotAvailable.c_str()},
        {kFileTooLarge, nullptr},
        {kPathFileAccessError, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        RunHarness r(GetParam());
        r.fs.addDir(GetParam().destination);
        r.addRow("a.txt", "1");
        r.addRow("b.txt", "3");
        r.fs.failOn(FakeFileSystem::Op::Copy, r.target("b(2).txt"), c.number);
        ReplicateBtn_Click(r.controls, r.services);
        const std::string message = c.message == nullptr ? expected::tooLarge(r.source("b.txt"))
                                    : *c.message != '\0'
                                        ? c.message
                                        : "Could not copy " + r.source("b.txt") + " to " +
                                              r.target("b(2).txt") + ".\r\ninjected failure 75";
        EXPECT_EQ(r.texts(), Strings{message});
        EXPECT_EQ(r.labelProgress.history.back(), "Progress : 2/4");
        EXPECT_FALSE(r.fs.isFile(r.target("b(3).txt")));
        // b(1) was copied before the failure: the log file lists it.
        EXPECT_EQ(r.logFile(), "a(1).txt\r\nb(1).txt\r\n");
    }
}

TEST_P(ReplicationRun, AMissingSourceIsReportedAndEndsTheRun) {
    h.addRowPath(h.source("gone.txt"), "1");
    h.addRow("b.txt", "1");
    run();
    EXPECT_EQ(h.texts(), Strings{"Could not copy " + h.source("gone.txt") + " to " +
                                 h.target("gone(1).txt") + ".\r\nFile not found"});
    EXPECT_FALSE(h.fs.isFile(h.target("b(1).txt")));
    EXPECT_FALSE(logWritten());
}

TEST_P(ReplicationRun, ALogThatCannotBeWrittenIsReportedOnceAndCopyingGoesOn) {
    h.addRow("a.txt", "1");
    h.addRow("b.txt", "1");
    h.fs.failOn(FakeFileSystem::Op::Write, h.conventions.logPath, kPermissionDenied);
    run();
    EXPECT_EQ(h.texts(), Strings{"Could not write the log file " + h.conventions.logPath +
                                 ".\r\ninjected failure 70"});
    EXPECT_TRUE(h.fs.isFile(h.target("b(1).txt")));
    EXPECT_EQ(h.labelProgress.history.back(), kDone);
}

TEST_P(ReplicationRun, TheLogFileIsReplacedAtTheFirstRowEndAndAddedToAfterwards) {
    h.fs.addFile(h.conventions.logPath, "old(1).txt\r\n");
    h.addRow("a.txt", "2");
    h.addRow("b.txt", "0");
    h.addRow("c.txt", "3");
    run();
    Strings logCalls;
    for (const auto& call : h.fs.calls) {
        if (call.ends_with(" " + h.conventions.logPath)) {
            logCalls.push_back(call);
        }
    }
    EXPECT_EQ(logCalls,
              (Strings{"write " + h.conventions.logPath, "append " + h.conventions.logPath}));
    EXPECT_EQ(h.labelProgress.history,
              (Strings{"Progress : 1/5", "Progress : 2/5", kDone, kDone, "Progress : 3/5",
                       "Progress : 4/5", "Progress : 5/5", kDone}));
    EXPECT_EQ(h.logFile(), "a(1).txt\r\na(2).txt\r\nc(1).txt\r\nc(2).txt\r\nc(3).txt\r\n");
}

TEST_P(ReplicationRun, NamesWhoseAppendFailedGoWithTheNextRows) {
    h.addRow("a.txt", "1");
    h.addRow("b.txt", "1");
    h.addRow("c.txt", "1");
    h.fs.failOn(FakeFileSystem::Op::Append, h.conventions.logPath, kDiskFull, 1);
    run();
    EXPECT_EQ(h.texts(), Strings{"Could not write the log file " + h.conventions.logPath +
                                 ".\r\ninjected failure 61"});
    EXPECT_EQ(h.logFile(), "a(1).txt\r\nb(1).txt\r\nc(1).txt\r\n");
}

TEST_P(ReplicationRun, EditedCountsAreReadWhenTheRunStarts) {
    h.addRow("a.txt", "1");
    h.copyTimes.item(1).setText("2");
    run();
    EXPECT_TRUE(h.fs.isFile(h.target("a(2).txt")));
}

INSTANTIATE_TEST_SUITE_P(Flavours, ReplicationRun, ::testing::ValuesIn(flavours()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace vantrel::test
