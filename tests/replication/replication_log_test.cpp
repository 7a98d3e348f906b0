#include <gtest/gtest.h>

#include "platform/failure.h"
#include "replication/replication_log.h"
#include "replication/replication_run.h"
#include "support/expected.h"
#include "support/run_harness.h"

namespace vantrel::test {
namespace {

class LogButton : public ::testing::TestWithParam<Flavour> {};

TEST_P(LogButton, RefusesWhileTheListIsEmptyEvenIfALogExists) {
    RunHarness h(GetParam());
    h.fs.addFile(h.conventions.logPath, "a(1).txt\r\n");
    LogBtn_Click(h.text1, h.services);
    EXPECT_EQ(h.texts(), std::vector<std::string>{expected::kNoCopiedFiles});
    EXPECT_TRUE(h.launcher.launched.empty());
}

TEST_P(LogButton, OpensTheViewerWheneverTheListHasRows) {
    RunHarness h(GetParam());
    h.addRow("a.txt", "1");
    LogBtn_Click(h.text1, h.services);
    ASSERT_EQ(h.launcher.launched.size(), 1u);
    const auto& launched = h.launcher.launched[0];
    EXPECT_EQ(launched.commandLine(), h.conventions.openLog.commandLine());
    EXPECT_EQ(launched.style, WindowStyle::Minimized);
    EXPECT_TRUE(h.messageBox.shown.empty());
}

TEST_P(LogButton, AViewerThatCannotStartIsReported) {
    RunHarness h(GetParam());
    h.addRow("a.txt", "1");
    h.launcher.failWith = kFileNotFound;
    LogBtn_Click(h.text1, h.services);
    EXPECT_EQ(h.texts(),
              std::vector<std::string>{"Could not start " + h.conventions.openLog.commandLine() +
                                       ".\r\nNo such file or directory"});
}

INSTANTIATE_TEST_SUITE_P(Flavours, LogButton, ::testing::ValuesIn(flavours()),
                         [](const auto& info) { return info.param.name; });

using Op = FakeFileSystem::Op;
const std::string kUserLog = "C:\\Users\\u\\AppData\\Local\\Vantrel\\Log.txt";

Flavour withUserLog() {
    return {"windows", Conventions::windows("C:\\Users\\u\\AppData\\Local"), "C:\\data", "D:\\out"};
}

// Where a two-row run leaves its log, the c:\ root refusing or failing as each case says.
TEST(LogPlace, TheUserLogTakesOverOnlyWhereTheSystemDeniesTheUsualOne) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, int>> writeFailures;
        std::string usual;
        std::string user;
        std::vector<std::string> boxes;
    };
    const std::string names = "a(1).txt\r\nb(1).txt\r\n";
    const Case cases[] = {
        {"writable", {}, names, "(none)", {}},
        {"denied", {{"c:\\Log.txt", kPermissionDenied}}, "(none)", names, {}},
        {"full",
         {{"c:\\Log.txt", kDiskFull}},
         "(none)",
         "(none)",
         {"Could not write the log file c:\\Log.txt.\r\ninjected failure 61"}},
        {"both denied",
         {{"c:\\Log.txt", kPermissionDenied}, {kUserLog, kPermissionDenied}},
         "(none)",
         "(none)",
         {"Could not write the log file " + kUserLog + ".\r\ninjected failure 70"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h(withUserLog());
        h.fs.addDir("D:\\out");
        h.fs.addDir("C:\\Users");
        h.addRow("a.txt", "1");
        h.addRow("b.txt", "1");
        for (const auto& [path, number] : c.writeFailures) {
            h.fs.failOn(Op::Write, path, number);
        }
        ReplicateBtn_Click(h.controls, h.services);
        const auto content = [&](const std::string& path) {
            return h.fs.isFile(path) ? h.fs.content(path) : "(none)";
        };
        EXPECT_EQ(content("c:\\Log.txt"), c.usual);
        EXPECT_EQ(content(kUserLog), c.user);
        EXPECT_EQ(h.texts(), c.boxes);
    }
}

// "Log File" opens the log this user's runs write: the usual one while the user may write it.
TEST(LogPlace, TheLogButtonOpensTheLogTheRunsWrite) {
    struct Case {
        const char* name;
        bool usualThere;
        bool usualWritable;
        bool userThere;
        std::string opened;
    };
    const Case cases[] = {
        {"no log yet", false, false, false, "c:\\Log.txt"},
        {"usual only", true, true, false, "c:\\Log.txt"},
        {"user only", false, false, true, kUserLog},
        {"usual writable again", true, true, true, "c:\\Log.txt"},
        {"usual read-only", true, false, true, kUserLog},
        {"usual read-only, no user log", true, false, false, "c:\\Log.txt"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunHarness h(withUserLog());
        h.addRow("a.txt", "1");
        if (c.usualThere) {
            h.fs.addFile("c:\\Log.txt", "a(1).txt\r\n");
        }
        if (!c.usualWritable) {
            h.fs.failOn(Op::Open, "c:\\Log.txt", kPermissionDenied);
        }
        if (c.userThere) {
            h.fs.addDir("C:\\Users\\u\\AppData\\Local\\Vantrel");
            h.fs.addFile(kUserLog, "a(1).txt\r\n");
        }
        LogBtn_Click(h.text1, h.services);
        ASSERT_EQ(h.launcher.launched.size(), 1u);
        EXPECT_EQ(h.launcher.launched[0].commandLine(), "notepad " + c.opened);
        EXPECT_EQ(h.launcher.launched[0].style, WindowStyle::Minimized);
    }
}

TEST(LogCommands, WindowsFlavourKeepsItsCommandLines) {
    const Conventions windows = Conventions::windows();
    EXPECT_EQ(windows.logPath, "c:\\Log.txt");
    EXPECT_EQ(windows.openLog.commandLine(), "notepad c:\\Log.txt");
    EXPECT_EQ(windows.openLog.style, WindowStyle::Minimized);
    EXPECT_EQ(windows.fileSearch.commandLine(), "explorer.exe /e, C:\\");
    EXPECT_EQ(windows.fileSearch.style, WindowStyle::Normal);
    EXPECT_EQ(windows.userLogPath, "");
    EXPECT_EQ(Conventions::windows("C:\\Users\\u\\AppData\\Local\\").userLogPath, kUserLog);
    const Conventions posix = Conventions::posix("/home/u/");
    EXPECT_EQ(posix.logPath, "/home/u/Log.txt");
    EXPECT_EQ(posix.openLog.commandLine(), "xdg-open /home/u/Log.txt");
    EXPECT_EQ(posix.fileSearch.commandLine(), "xdg-open /");
    EXPECT_EQ(posix.userLogPath, "");
}

TEST(LogFolder, FollowsTheXdgStateHomeOrItsDefault) {
    struct Case {
        const char* stateHome;
        const char* home;
        const char* folder;
    };
    const Case cases[] = {
        {"", "/home/u", "/home/u/.local/state/vantrel"},
        {"", "/home/u/", "/home/u/.local/state/vantrel"},
        {"", "/", "/.local/state/vantrel"},
        {"/var/state", "/home/u", "/var/state/vantrel"},
        {"/var/state/", "/home/u", "/var/state/vantrel"},
        {"relative/state", "/home/u", "/home/u/.local/state/vantrel"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.stateHome) + " " + c.home);
        EXPECT_EQ(Conventions::posixLogFolder(c.stateHome, c.home), c.folder);
    }
    EXPECT_EQ(Conventions::posix("/var/state/vantrel").openLog.commandLine(),
              "xdg-open /var/state/vantrel/Log.txt");
}

}  // namespace
}  // namespace vantrel::test
