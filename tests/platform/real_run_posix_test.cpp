// A whole run on the real file system, where a POSIX system alone can put something at the
// target; the cases every system has are in real_run_test.cpp.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <functional>
#include <string>
#include <vector>

#include "support/real_folder.h"
#include "support/real_run_fixture.h"

namespace vantrel {
namespace {

using test::namesIn;
using Names = std::vector<std::string>;
using RealRunTest = test::RealRunTest;

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
        test::RealRun run(folder_.path(), dest());
        run.messageBox.alwaysAnswer(Answer::Yes);
        run.addRowPath(folder_ / "a.txt", "1");

        run.click();

        EXPECT_EQ(run.texts(), Names{"Could not copy " + folder_ / "a.txt" + " to " + target +
                                     ".\r\n" + target + " is not a regular file."});
        struct stat after {};
        ASSERT_EQ(::lstat(target.c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_mode, before.st_mode);
        EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
        EXPECT_EQ(::access((folder_ / "Log.txt").c_str(), F_OK), -1);
        ASSERT_EQ(::unlink(target.c_str()), 0);
    }
}

}  // namespace
}  // namespace vantrel
