#include <gtest/gtest.h>

#include "replication/replication_log.h"
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

TEST(LogCommands, WindowsFlavourKeepsItsCommandLines) {
    const Conventions windows = Conventions::windows();
    EXPECT_EQ(windows.logPath, "c:\\Log.txt");
    EXPECT_EQ(windows.openLog.commandLine(), "notepad c:\\Log.txt");
    EXPECT_EQ(windows.openLog.style, WindowStyle::Minimized);
    EXPECT_EQ(windows.fileSearch.commandLine(), "explorer.exe /e, C:\\");
    EXPECT_EQ(windows.fileSearch.style, WindowStyle::Normal);
    const Conventions posix = Conventions::posix("/home/u/");
    EXPECT_EQ(posix.logPath, "/home/u/Log.txt");
    EXPECT_EQ(posix.openLog.commandLine(), "xdg-open /home/u/Log.txt");
    EXPECT_EQ(posix.fileSearch.commandLine(), "xdg-open /");
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
