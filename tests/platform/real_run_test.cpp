// A whole run on the real file system, as every system has it; real_run_posix_test.cpp holds
// what POSIX systems alone have.
#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/fs/temporary_names.h"
#include "support/expected.h"
#include "support/real_folder.h"
#include "support/real_run_fixture.h"

namespace vantrel {
namespace {

using expected::replacePrompt;
using test::join;
using test::namesIn;
using test::permissionsOf;
using test::readFile;
using test::shownPermissions;
using test::writeFile;
using Names = std::vector<std::string>;
using RealRunTest = test::RealRunTest;

TEST_F(RealRunTest, ReplacesAndSkipsAsAnsweredAndLogsTheCopiesMade) {
    writeFile(inDest("photo(1).jpg"), "old 1", 0600);
    writeFile(inDest("photo(2).jpg"), "old 2");
    test::RealRun run(folder_.path(), dest());
    run.messageBox.script({Answer::Yes, Answer::No});
    run.addRowPath(photo(), "3");

    run.click();

    EXPECT_EQ(run.texts(), (Names{replacePrompt("photo(1).jpg"), replacePrompt("photo(2).jpg")}));
    EXPECT_EQ(namesIn(dest()), (Names{"photo(1).jpg", "photo(2).jpg", "photo(3).jpg"}));
    EXPECT_EQ(readFile(inDest("photo(1).jpg")), "new photo");
    EXPECT_EQ(permissionsOf(inDest("photo(1).jpg")), shownPermissions(0640));
    EXPECT_EQ(readFile(inDest("photo(2).jpg")), "old 2");
    EXPECT_EQ(readFile(inDest("photo(3).jpg")), "new photo");
    EXPECT_EQ(logFile(), "photo(1).jpg\r\nphoto(3).jpg\r\n");
    EXPECT_EQ(run.labelProgress.caption(), expected::kDone);
}

// A killed copy's temporary goes at the next run into the folder, which here copies nothing.
TEST_F(RealRunTest, ARunRemovesLeftoversEvenWhenEveryAnswerIsNo) {
    writeFile(inDest("photo(1).jpg"), "old 1");
    writeFile(inDest(freshTemporaryName()), "left over");
    test::RealRun run(folder_.path(), dest());
    run.messageBox.script({Answer::No});
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_EQ(run.texts(), Names{replacePrompt("photo(1).jpg")});
    EXPECT_EQ(namesIn(dest()), Names{"photo(1).jpg"});
}

TEST_F(RealRunTest, CancelKeepsTheEarlierRowsAndTheirLog) {
    writeFile(inDest("photo(1).jpg"), "old 1");
    test::RealRun run(folder_.path(), dest());
    run.messageBox.script({Answer::Cancel});
    run.addRowPath(folder_ / "a.txt", "1");
    run.addRowPath(photo(), "3");

    run.click();

    EXPECT_EQ(run.texts(), Names{replacePrompt("photo(1).jpg")});
    EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "photo(1).jpg"}));
    EXPECT_EQ(readFile(inDest("a(1).txt")), "text a");
    EXPECT_EQ(readFile(inDest("photo(1).jpg")), "old 1");
    EXPECT_EQ(run.labelProgress.caption(), expected::kCancelled);
    EXPECT_EQ(logFile(), "a(1).txt\r\n");
}

TEST_F(RealRunTest, ANameTakenMeanwhileIsAskedAboutAndReplacedOnYes) {
    RealFileSystem::Options options;
    bool appeared = false;
    options.beforePublish = [&](const std::string& target) {
        if (!appeared && target == inDest("photo(1).jpg")) {
            appeared = true;
            writeFile(target, "theirs");
        }
    };
    test::RealRun run(folder_.path(), dest(), options);
    run.messageBox.script({Answer::Yes});
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_EQ(run.texts(), Names{replacePrompt("photo(1).jpg")});
    EXPECT_EQ(namesIn(dest()), Names{"photo(1).jpg"});
    EXPECT_EQ(readFile(inDest("photo(1).jpg")), "new photo");
    EXPECT_EQ(logFile(), "photo(1).jpg\r\n");
}

// Not "write protected" nor "drive full": those would send the user to the destination.
TEST_F(RealRunTest, ASourceThatCannotBeReadIsNotBlamedOnTheDestination) {
    const test::Unreadable unreadable(photo());
    test::asOrdinaryUser([&] {
        test::RealRun run(folder_.path(), dest());
        run.addRowPath(photo(), "1");

        run.click();

#ifdef _WIN32
        // Held open by another program: waited for, then named as in use.
        const std::string reason = "The file " + photo() + " is in use by another program.";
#else
        const std::string reason = unreadable.reason();
#endif
        EXPECT_EQ(run.texts(), Names{"Could not copy " + photo() + " to " + inDest("photo(1).jpg") +
                                     ".\r\n" + reason});
    });
    EXPECT_TRUE(namesIn(dest()).empty());
}

// On Linux names are bytes and kept byte for byte, UTF-8 or not; on Windows they are UTF-8
// text, which crosses to UTF-16 and back, beyond its first 65536 characters too.
TEST_F(RealRunTest, NamesBeyondAsciiAreKept) {
#ifdef _WIN32
    const std::string e = "\xc3\xa9";
    const std::string camera = " \xf0\x9f\x93\xb7";
#else
    const std::string e = "\xe9";
    const std::string camera;
#endif
    const std::string name = "caf" + e + camera;
    const std::string source = folder_ / (name + ".txt");
    writeFile(source, "caf" + e + " content");
    const std::string destination = folder_ / ("d" + e + "st");
    test::RealRun run(folder_.path(), destination);
    run.messageBox.script({Answer::Yes});
    run.addRowPath(source, "2");

    run.click();

    EXPECT_EQ(run.texts(),
              Names{"The folder " + destination + " doesn't exist.\r\nCreate the folder ?"});
    EXPECT_EQ(namesIn(destination), (Names{name + "(1).txt", name + "(2).txt"}));
    EXPECT_EQ(readFile(join(destination, name + "(2).txt")), "caf" + e + " content");
    EXPECT_EQ(logFile(), name + "(1).txt\r\n" + name + "(2).txt\r\n");
}

TEST_F(RealRunTest, ALogChangedByAnotherProgramDuringTheRunIsWrittenInFull) {
    RealFileSystem::Options options;
    options.beforePublish = [&](const std::string& target) {
        if (target == inDest("photo(1).jpg")) {
            writeFile(folder_ / "Log.txt", "edited meanwhile\r\n");
        }
    };
    test::RealRun run(folder_.path(), dest(), options);
    run.addRowPath(folder_ / "a.txt", "1");
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_TRUE(run.texts().empty());
    EXPECT_EQ(logFile(), "a(1).txt\r\nphoto(1).jpg\r\n");
}

TEST_F(RealRunTest, MakesAMissingDestinationLevelByLevel) {
    const std::string deeper = join(folder_ / "new", "deeper");
    test::RealRun run(folder_.path(), deeper);
    run.messageBox.script({Answer::Yes});
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_EQ(run.texts(),
              Names{"The folder " + deeper + " doesn't exist.\r\nCreate the folder ?"});
    EXPECT_EQ(readFile(join(deeper, "photo(1).jpg")), "new photo");
    EXPECT_EQ(logFile(), "photo(1).jpg\r\n");
}

TEST_F(RealRunTest, TheLogsMissingFoldersAreMadeWhenItIsWritten) {
    writeFile(folder_ / "plain", "plain");
    // Making a folder below a file: POSIX finds "plain/" there, Windows no path to it.
#ifdef _WIN32
    const std::string belowAFile = test::systemText(ERROR_PATH_NOT_FOUND);
#else
    const std::string belowAFile = test::systemText(EEXIST);
#endif
    struct Case {
        std::string logFolder;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {join(folder_ / "state", "vantrel"), {}},
        {join(folder_ / "plain", "vantrel"),
         {"Could not write the log file " + join(join(folder_ / "plain", "vantrel"), "Log.txt") +
          ".\r\n" + belowAFile}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logFolder);
        test::RealRun run(c.logFolder, dest());
        run.messageBox.alwaysAnswer(Answer::Yes);
        run.addRowPath(folder_ / "a.txt", "1");

        run.click();

        EXPECT_EQ(run.texts(), c.messages);
        EXPECT_EQ(readFile(inDest("a(1).txt")), "text a");
        test::removeFile(inDest("a(1).txt"));
    }
    EXPECT_EQ(readFile(join(join(folder_ / "state", "vantrel"), "Log.txt")), "a(1).txt\r\n");
    EXPECT_EQ(readFile(folder_ / "plain"), "plain");
}

}  // namespace
}  // namespace vantrel
