#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/platform/real_folder.h"

namespace vantrel {
namespace {

using testing::namesIn;
using testing::permissionsOf;
using testing::readFile;
using testing::writeFile;
using Names = std::vector<std::string>;

std::string replacePrompt(const std::string& name) {
    return "The file " + name +
           " exist !\r\n\r\nReplace existing file? [Yes]\r\nSkip only this one ! [No]\r\n"
           "Cancel All ! [Cancel]";
}

class RealRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::mkdir(dest().c_str(), 0755), 0);
        writeFile(photo(), "new photo", 0640);
        writeFile(folder_ / "a.txt", "text a");
    }

    std::string dest() const { return folder_ / "out"; }
    std::string photo() const { return folder_ / "photo.jpg"; }
    std::string inDest(const std::string& name) const { return dest() + "/" + name; }
    std::string logFile() const { return readFile(folder_ / "Log.txt"); }

    testing::TempFolder folder_;
};

TEST_F(RealRunTest, ReplacesAndSkipsAsAnsweredAndLogsTheCopiesMade) {
    writeFile(inDest("photo(1).jpg"), "old 1", 0600);
    writeFile(inDest("photo(2).jpg"), "old 2");
    testing::RealRun run(folder_.path(), dest());
    run.messageBox.script({Answer::Yes, Answer::No});
    run.addRowPath(photo(), "3");

    run.click();

    EXPECT_EQ(run.texts(), (Names{replacePrompt("photo(1).jpg"), replacePrompt("photo(2).jpg")}));
    EXPECT_EQ(namesIn(dest()), (Names{"photo(1).jpg", "photo(2).jpg", "photo(3).jpg"}));
    EXPECT_EQ(readFile(inDest("photo(1).jpg")), "new photo");
    EXPECT_EQ(permissionsOf(inDest("photo(1).jpg")), 0640u);
    EXPECT_EQ(readFile(inDest("photo(2).jpg")), "old 2");
    EXPECT_EQ(readFile(inDest("photo(3).jpg")), "new photo");
    EXPECT_EQ(logFile(), "photo(1).jpg\r\nphoto(3).jpg\r\n");
    EXPECT_EQ(run.labelProgress.caption(), "Files successfully replicated.");
}

TEST_F(RealRunTest, CancelKeepsTheEarlierRowsAndTheirLog) {
    writeFile(inDest("photo(1).jpg"), "old 1");
    testing::RealRun run(folder_.path(), dest());
    run.messageBox.script({Answer::Cancel});
    run.addRowPath(folder_ / "a.txt", "1");
    run.addRowPath(photo(), "3");

    run.click();

    EXPECT_EQ(run.texts(), Names{replacePrompt("photo(1).jpg")});
    EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "photo(1).jpg"}));
    EXPECT_EQ(readFile(inDest("a(1).txt")), "text a");
    EXPECT_EQ(readFile(inDest("photo(1).jpg")), "old 1");
    EXPECT_EQ(run.labelProgress.caption(), "Copy Cancelled.");
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
    testing::RealRun run(folder_.path(), dest(), options);
    run.messageBox.script({Answer::Yes});
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_EQ(run.texts(), Names{replacePrompt("photo(1).jpg")});
    EXPECT_EQ(namesIn(dest()), Names{"photo(1).jpg"});
    EXPECT_EQ(readFile(inDest("photo(1).jpg")), "new photo");
    EXPECT_EQ(logFile(), "photo(1).jpg\r\n");
}

TEST_F(RealRunTest, ATargetThatIsNeitherFileNorFolderEndsTheRunAndStays) {
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    const auto makeSocket = [](const std::string& path) {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(path.size(), sizeof address.sun_path);
        path.copy(address.sun_path, path.size());
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ::close(fd);
    };
    struct Case {
        std::string what;
        std::function<void(const std::string&)> make;
    };
    const Case cases[] = {
        {"fifo", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }},
        {"socket", makeSocket},
        {"link to a fifo",
         [&](const std::string& path) {
             ASSERT_EQ(::symlink((folder_ / "fifo").c_str(), path.c_str()), 0);
         }},
        {"link to a character device",
         [](const std::string& path) { ASSERT_EQ(::symlink("/dev/null", path.c_str()), 0); }},
    };
    const std::string target = inDest("a(1).txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.make(target);
        struct stat before {};
        ASSERT_EQ(::lstat(target.c_str(), &before), 0);
        testing::RealRun run(folder_.path(), dest());
        run.messageBox.alwaysAnswer(Answer::Yes);
        run.addRowPath(folder_ / "a.txt", "1");

        run.click();

        EXPECT_EQ(run.texts(), Names{"Could not copy " + folder_ / "a.txt" + " to " + target +
                                     ".\r\nFile exists"});
        struct stat after {};
        ASSERT_EQ(::lstat(target.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
        EXPECT_EQ(::access((folder_ / "Log.txt").c_str(), F_OK), -1);
        ASSERT_EQ(::unlink(target.c_str()), 0);
    }
}

TEST_F(RealRunTest, ASourceThatCannotBeReadIsNotBlamedOnTheDestination) {
    ASSERT_EQ(::chmod(photo().c_str(), 0), 0);
    testing::asOrdinaryUser([&] {
        testing::RealRun run(folder_.path(), dest());
        run.addRowPath(photo(), "1");

        run.click();

        EXPECT_EQ(run.texts(), Names{"Could not copy " + photo() + " to " + inDest("photo(1).jpg") +
                                     ".\r\nPermission denied"});
    });
    EXPECT_TRUE(namesIn(dest()).empty());
}

TEST_F(RealRunTest, NamesThatAreNotUtf8AreKeptByteForByte) {
    const std::string source = folder_ / "caf\xe9.txt";
    writeFile(source, "caf\xe9 content");
    const std::string destination = folder_ / "d\xe9st";
    testing::RealRun run(folder_.path(), destination);
    run.messageBox.script({Answer::Yes});
    run.addRowPath(source, "2");

    run.click();

    EXPECT_EQ(run.texts(),
              Names{"The folder " + destination + " doesn't exist.\r\nCreate the folder ?"});
    EXPECT_EQ(namesIn(destination), (Names{"caf\xe9(1).txt", "caf\xe9(2).txt"}));
    EXPECT_EQ(readFile(destination + "/caf\xe9(2).txt"), "caf\xe9 content");
    EXPECT_EQ(logFile(), "caf\xe9(1).txt\r\ncaf\xe9(2).txt\r\n");
}

TEST_F(RealRunTest, ALogChangedByAnotherProgramDuringTheRunIsWrittenInFull) {
    RealFileSystem::Options options;
    options.beforePublish = [&](const std::string& target) {
        if (target == inDest("photo(1).jpg")) {
            writeFile(folder_ / "Log.txt", "edited meanwhile\r\n");
        }
    };
    testing::RealRun run(folder_.path(), dest(), options);
    run.addRowPath(folder_ / "a.txt", "1");
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_TRUE(run.texts().empty());
    EXPECT_EQ(logFile(), "a(1).txt\r\nphoto(1).jpg\r\n");
}

TEST_F(RealRunTest, MakesAMissingDestinationLevelByLevel) {
    const std::string deeper = folder_ / "new/deeper";
    testing::RealRun run(folder_.path(), deeper);
    run.messageBox.script({Answer::Yes});
    run.addRowPath(photo(), "1");

    run.click();

    EXPECT_EQ(run.texts(),
              Names{"The folder " + deeper + " doesn't exist.\r\nCreate the folder ?"});
    EXPECT_EQ(readFile(deeper + "/photo(1).jpg"), "new photo");
    EXPECT_EQ(logFile(), "photo(1).jpg\r\n");
}

TEST_F(RealRunTest, TheLogsMissingFoldersAreMadeWhenItIsWritten) {
    writeFile(folder_ / "plain", "plain");
    struct Case {
        std::string logFolder;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {folder_ / "state/vantrel", {}},
        {folder_ / "plain/vantrel",
         {"Could not write the log file " + folder_ / "plain/vantrel/Log.txt" +
          ".\r\nFile exists"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.logFolder);
        testing::RealRun run(c.logFolder, dest());
        run.messageBox.alwaysAnswer(Answer::Yes);
        run.addRowPath(folder_ / "a.txt", "1");

        run.click();

        EXPECT_EQ(run.texts(), c.messages);
        EXPECT_EQ(readFile(inDest("a(1).txt")), "text a");
        ASSERT_EQ(::unlink(inDest("a(1).txt").c_str()), 0);
    }
    EXPECT_EQ(readFile(folder_ / "state/vantrel/Log.txt"), "a(1).txt\r\n");
    EXPECT_EQ(readFile(folder_ / "plain"), "plain");
}

}  // namespace
}  // namespace vantrel
