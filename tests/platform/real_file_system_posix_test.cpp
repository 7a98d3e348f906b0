// What the POSIX file system alone has: symbolic links, FIFOs, pseudo files, holes, permission
// bits that root passes over. The cases every system has are in real_file_system_test.cpp.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "support/real_file_system_fixture.h"
#include "support/real_folder.h"

namespace vantrel {
namespace {

using test::namesIn;
using test::numberOf;
using test::patterned;
using test::permissionsOf;
using test::readFile;
using test::removeFile;
using test::writeFile;
using Names = std::vector<std::string>;
using RealFileSystemTest = test::RealFileSystemTest;

TEST_F(RealFileSystemTest, ExistsFollowsLinks) {
    ASSERT_EQ(::mkdir((folder_ / "dir").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(source().c_str(), (folder_ / "to-file").c_str()), 0);
    ASSERT_EQ(::symlink((folder_ / "dir").c_str(), (folder_ / "to-dir").c_str()), 0);
    ASSERT_EQ(::symlink((folder_ / "gone").c_str(), (folder_ / "dangling").c_str()), 0);
    struct Case {
        std::string path;
        bool file;
        bool anything;
    };
    const Case cases[] = {
        {folder_ / "to-file", true, true},
        {folder_ / "to-dir", false, true},
        {folder_ / "dangling", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fs_.exists(c.path, Attributes::File), c.file);
        EXPECT_EQ(fs_.exists(c.path, Attributes::Directory), c.anything);
    }
}

TEST_F(RealFileSystemTest, ExistsRaisesWhatIsNotAbsence) {
    ASSERT_EQ(::symlink((folder_ / "loop").c_str(), (folder_ / "loop").c_str()), 0);
    const std::string paths[] = {folder_ / "loop", folder_ / std::string(300, 'x')};
    for (const auto& path : paths) {
        EXPECT_EQ(numberOf([&] { fs_.exists(path, Attributes::File); }), kPathFileAccessError);
        EXPECT_EQ(numberOf([&] { fs_.exists(path, Attributes::Directory); }), kPathFileAccessError);
    }
}

// A link to nothing holds its name like a file: a new copy leaves it for the user to answer
// about, and a replacing one takes its place without making the file it names.
TEST_F(RealFileSystemTest, ADanglingLinkIsTakenLikeAFile) {
    for (const auto& way : test::kPublishWays) {
        SCOPED_TRACE(way.name);
        RealFileSystem fs(way.options());
        ASSERT_EQ(::symlink((folder_ / "gone").c_str(), target().c_str()), 0);

        EXPECT_EQ(numberOf([&] { fs.copyFile(source(), target(), CopyTo::NewFile); }),
                  kFileAlreadyExists);
        struct stat status {};
        EXPECT_EQ(::lstat(target().c_str(), &status), 0);
        EXPECT_TRUE(S_ISLNK(status.st_mode));

        fs.copyFile(source(), target(), CopyTo::Replace);
        EXPECT_EQ(readFile(target()), "source content");
        EXPECT_EQ(::lstat(target().c_str(), &status), 0);
        EXPECT_TRUE(S_ISREG(status.st_mode));
        EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
        EXPECT_FALSE(fs.exists(folder_ / "gone", Attributes::Directory));
        ASSERT_EQ(::unlink(target().c_str()), 0);
    }
}

// The user agreed to replace the file that had the name when asked: whatever is moved to the
// name before the copy is published stays, and the copy fails as for a name newly taken.
TEST_F(RealFileSystemTest, AReplacingCopyReplacesOnlyTheFileAskedAbout) {
    struct Racer {
        const char* what;
        std::function<void(const std::string& at)> move;
        int number;
    };
    const std::string theirs = folder_ / "theirs.txt";
    const Racer racers[] = {
        {"a file of the user's",
         [&](const std::string& at) {
             writeFile(theirs, "theirs");
             ASSERT_EQ(::rename(theirs.c_str(), at.c_str()), 0);
         },
         kFileAlreadyExists},
        {"a FIFO",
         [&](const std::string& at) {
             ASSERT_EQ(::mkfifo(theirs.c_str(), 0644), 0);
             ASSERT_EQ(::rename(theirs.c_str(), at.c_str()), 0);
         },
         kPathFileAccessError},
        {"a link to /dev/null",
         [&](const std::string& at) {
             ASSERT_EQ(::symlink("/dev/null", theirs.c_str()), 0);
             ASSERT_EQ(::rename(theirs.c_str(), at.c_str()), 0);
         },
         kPathFileAccessError},
    };
    for (const auto& way : test::kPublishWays) {
        for (const auto& racer : racers) {
            SCOPED_TRACE(std::string(way.name) + ", " + racer.what);
            writeFile(target(), "old");
            const auto asked = fs_.identify(target());
            ASSERT_TRUE(asked);
            RealFileSystem fs(way.options(racer.move));
            EXPECT_EQ(
                numberOf([&] { fs.copyFile(source(), target(), CopyTo::Replace, {}, asked, {}); }),
                racer.number);
            struct stat status {};
            ASSERT_EQ(::lstat(target().c_str(), &status), 0);
            EXPECT_NE(FileIdentity(status.st_dev, status.st_ino), *asked);
            if (S_ISREG(status.st_mode)) {
                EXPECT_EQ(readFile(target()), "theirs");
            }
            EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
            removeFile(target());
        }
    }
}

// A copy has the source's modification time, and the permission bits a new file of the
// source's mode gets in its folder, as cp gives it: the umask's, or the folder's default ACL's.
TEST_F(RealFileSystemTest, ACopyHasTheSourcesTimeAndTheModeANewFileGets) {
    const struct timespec modified[2] = {{0, UTIME_OMIT}, {1000000000, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source().c_str(), modified, 0), 0);
    const mode_t umask = ::umask(022);
    ::umask(umask);
    test::makeFolder(folder_ / "acl");
    const bool withAcl =
        std::system(("setfacl -d -m u::rwx,g::---,o::--- " + (folder_ / "acl")).c_str()) == 0;
    struct Folder {
        std::string path;
        mode_t kept;
    };
    std::vector<Folder> folders = {{dest(), static_cast<mode_t>(0777 & ~umask)}};
    if (withAcl) {
        folders.push_back({folder_ / "acl", 0700});
    }
    // 0666 has bits the umask takes from a new file; 0200 and 0004 keep its owner from reading
    // it, which a temporary must not: the clean-up must be able to open one a kill left.
    for (const mode_t mode : {0640, 0666, 0444, 0200, 0004}) {
        test::setPermissions(source(), mode);
        for (const auto& folder : folders) {
            for (const auto& way : test::kPublishWays) {
                SCOPED_TRACE(std::string(way.name) + ", mode " + std::to_string(mode) + " in " +
                             folder.path);
                RealFileSystem fs(way.options([&](const std::string&) {
                    for (const std::string& name : namesIn(folder.path)) {
                        if (name.starts_with(".vantrel-")) {
                            EXPECT_NE(permissionsOf(test::join(folder.path, name)) & S_IRUSR, 0u)
                                << name;
                        }
                    }
                }));
                const std::string copies[] = {test::join(folder.path, "a(1).txt"),
                                              test::join(folder.path, "b(1).txt")};
                writeFile(copies[1], "old", 0600);
                fs.copyFile(source(), copies[0], CopyTo::NewFile);
                fs.copyFile(source(), copies[1], CopyTo::Replace);
                for (const std::string& copy : copies) {
                    struct stat status {};
                    ASSERT_EQ(::stat(copy.c_str(), &status), 0);
                    EXPECT_EQ(status.st_mtim.tv_sec, modified[1].tv_sec) << copy;
                    EXPECT_EQ(status.st_mtim.tv_nsec, modified[1].tv_nsec) << copy;
                    EXPECT_EQ(status.st_mode & 0777, mode & folder.kept) << copy;
                    EXPECT_EQ(readFile(copy), "source content");
                    ASSERT_EQ(::unlink(copy.c_str()), 0);
                }
            }
        }
    }
    if (!withAcl) {
        GTEST_SKIP() << "setfacl could not give a folder a default ACL here";
    }
}

// Opening a FIFO lets a writer blocked on it go on, into a pipe whose data would be lost, and
// opening a device may do something of its own: neither is opened, and the message names it.
TEST_F(RealFileSystemTest, ASourceThatIsNoPlainFileIsRefusedUnopened) {
    const std::string fifo = folder_ / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    ASSERT_EQ(::symlink(fifo.c_str(), (folder_ / "to-fifo").c_str()), 0);
    ASSERT_EQ(::symlink("/dev/null", (folder_ / "to-null").c_str()), 0);
    const auto previous = std::signal(SIGPIPE, SIG_IGN);
    std::atomic<bool> released = false;
    std::thread writer([&] {
        const int fd = ::open(fifo.c_str(), O_WRONLY);
        released = true;
        EXPECT_EQ(::write(fd, "data", 4), 4);
        ::close(fd);
    });
    for (const std::string& source :
         {fifo, folder_ / "to-fifo", std::string("/dev/null"), folder_ / "to-null"}) {
        for (const CopyTo mode : {CopyTo::NewFile, CopyTo::Replace}) {
            SCOPED_TRACE(source);
            try {
                fs_.copyFile(source, target(), mode);
                ADD_FAILURE() << "copied";
            } catch (const Failure& failure) {
                EXPECT_EQ(failure.number(), kPathFileAccessError);
                EXPECT_EQ(failure.reason(), source + " is not a regular file.");
            }
        }
    }
    // Time for a writer the copy let go to get on.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(released);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    writer.join();
    char got[8] = {};
    EXPECT_EQ(::read(reader, got, sizeof got), 4);
    EXPECT_EQ(std::string(got), "data");
    ::close(reader);
    std::signal(SIGPIPE, previous);
    EXPECT_TRUE(namesIn(dest()).empty());
}

// A copy whose own path fits PATH_MAX is made, however little room that leaves for the name
// of its temporary beside it.
TEST_F(RealFileSystemTest, ACopyWhosePathFitsIsMadeHoweverDeepItsFolder) {
    const std::string name = "a(1).txt";
    const std::size_t targetLength = PATH_MAX - 6;
    std::string deep = dest();
    while (deep.size() < targetLength - name.size() - 1) {
        const std::size_t room = targetLength - name.size() - 2 - deep.size();
        deep += '/';
        deep.append(std::min<std::size_t>(room, 200), 'd');
        test::makeFolder(deep);
    }
    const std::string copy = test::join(deep, name);
    ASSERT_EQ(copy.size(), targetLength);
    for (const auto& way : test::kPublishWays) {
        SCOPED_TRACE(way.name);
        RealFileSystem fs(way.options());
        fs.copyFile(source(), copy, CopyTo::NewFile);
        writeFile(folder_ / "b.txt", "replacing content");
        fs.copyFile(folder_ / "b.txt", copy, CopyTo::Replace);
        EXPECT_TRUE(fs.exists(copy, Attributes::File));
        EXPECT_EQ(readFile(copy), "replacing content");
        EXPECT_EQ(namesIn(deep), Names{name});
        removeFile(copy);
    }
}

// The system would see only the part before the NUL: "a.txt\0/cat.jpg" would copy a.txt.
// A pseudo file reports no size, or more than it holds: it is read to its end.
TEST_F(RealFileSystemTest, CopyTakesFilesThatReportNoSize) {
    const std::string version = readFile("/proc/version");
    ASSERT_FALSE(version.empty());
    fs_.copyFile("/proc/version", target("version"), CopyTo::NewFile);
    EXPECT_EQ(readFile(target("version")), version);

    // Files of sysfs report a size of a page, and hold less.
    const std::string online = "/sys/devices/system/cpu/online";
    if (::access(online.c_str(), R_OK) == 0) {
        fs_.copyFile(online, target("online"), CopyTo::NewFile);
        EXPECT_EQ(readFile(target("online")), readFile(online));
    }
}

TEST_F(RealFileSystemTest, CopyKeepsHolesAsHoles) {
    constexpr off_t kMiB = 1024 * 1024;
    constexpr off_t kSize = 16 * kMiB;
    struct Piece {
        off_t at;
        std::string data;
    };
    struct Case {
        std::string what;
        std::vector<Piece> pieces;
        // Blocks allocated beyond the end (fallocate -n), which the size does not show.
        off_t allocatedPastEnd = 0;
    };
    const Case cases[] = {
        {"data at the start, in the middle and at the end",
         {{0, "head"}, {8 * kMiB, patterned(5000, 'm')}, {kSize - 4, "tail"}}},
        {"a hole at the start and at the end", {{kMiB, patterned(70000, 'd')}}},
        {"nothing but a hole", {}},
        {"more blocks past the end than the size", {{kMiB, "data"}}, 2 * kSize},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string sparse = folder_ / "sparse.bin";
        {
            const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ASSERT_GE(fd, 0);
            for (const auto& piece : c.pieces) {
                ASSERT_EQ(::pwrite(fd, piece.data.data(), piece.data.size(), piece.at),
                          static_cast<ssize_t>(piece.data.size()));
            }
            ASSERT_EQ(::ftruncate(fd, kSize), 0);
            if (c.allocatedPastEnd > 0) {
                ASSERT_EQ(::fallocate(fd, FALLOC_FL_KEEP_SIZE, kSize, c.allocatedPastEnd), 0);
            }
            ::close(fd);
        }
        const std::string copy = target("sparse(1).bin");

        fs_.copyFile(sparse, copy, CopyTo::NewFile);

        struct stat status {};
        ASSERT_EQ(::stat(copy.c_str(), &status), 0);
        EXPECT_EQ(status.st_size, kSize);
        EXPECT_LE(status.st_blocks * 512, kMiB);
        EXPECT_TRUE(readFile(copy) == readFile(sparse));
        ASSERT_EQ(::unlink(copy.c_str()), 0);
    }
}

TEST_F(RealFileSystemTest, WriteTextWritesTheFileALinkNamesAndKeepsTheLink) {
    ASSERT_EQ(::mkdir((folder_ / "real").c_str(), 0755), 0);
    writeFile(folder_ / "real/old.txt", "old names\r\n", 0600);
    ASSERT_EQ(::symlink("old.txt", (folder_ / "real/chained").c_str()), 0);
    struct Case {
        std::string what;
        std::string linkTo;
        std::string file;
    };
    const Case cases[] = {
        {"absolute link to a file", folder_ / "real/old.txt", folder_ / "real/old.txt"},
        {"relative link", "../real/old.txt", folder_ / "real/old.txt"},
        {"link to a link", folder_ / "real/chained", folder_ / "real/old.txt"},
        {"link to a missing file", "../real/new.txt", folder_ / "real/new.txt"},
    };
    const std::string log = target("Log.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::symlink(c.linkTo.c_str(), log.c_str()), 0);

        fs_.writeText(log, c.what + "\r\n");

        std::string linkTo(c.linkTo.size() + 1, '\0');
        ASSERT_EQ(::readlink(log.c_str(), linkTo.data(), linkTo.size()),
                  static_cast<ssize_t>(c.linkTo.size()));
        EXPECT_EQ(linkTo.substr(0, c.linkTo.size()), c.linkTo);
        EXPECT_EQ(readFile(c.file), c.what + "\r\n");
        ASSERT_EQ(::unlink(log.c_str()), 0);
    }
    EXPECT_EQ(permissionsOf(folder_ / "real/old.txt"), 0600u);
    EXPECT_EQ(namesIn(folder_ / "real"), (Names{"chained", "new.txt", "old.txt"}));
}

TEST_F(RealFileSystemTest, WriteTextRewritesAWritableFileInAFolderItCannotWriteTo) {
    const std::string locked = folder_ / "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    writeFile(locked + "/Log.txt", "old names, longer than the new\r\n", 0666);
    writeFile(locked + "/Other.txt", "old names\r\n", 0444);
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);
    test::asOrdinaryUser([&] {
        fs_.writeText(locked + "/Log.txt", "a(1).txt\r\n");
        EXPECT_EQ(numberOf([&] { fs_.writeText(locked + "/Other.txt", "a(1).txt\r\n"); }),
                  kPermissionDenied);
    });
    ASSERT_EQ(::chmod(locked.c_str(), 0755), 0);
    EXPECT_EQ(readFile(locked + "/Log.txt"), "a(1).txt\r\n");
    EXPECT_EQ(readFile(locked + "/Other.txt"), "old names\r\n");
    EXPECT_EQ(namesIn(locked), (Names{"Log.txt", "Other.txt"}));
}

TEST_F(RealFileSystemTest, AnAppendedFileFollowsALinkAndNoticesAFilePutInItsPlace) {
    const std::string log = target("Log.txt");
    writeFile(log, "a(1).txt\r\n");
    ASSERT_EQ(::symlink(log.c_str(), target("link").c_str()), 0);
    ASSERT_EQ(::mkfifo(target("fifo").c_str(), 0644), 0);
    EXPECT_EQ(fs_.openAppended(target("fifo")), nullptr);

    const auto file = fs_.openAppended(target("link"));
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->append("b(1).txt\r\n", 10));
    EXPECT_TRUE(file->append("c(1).txt\r\n", 20));
    EXPECT_EQ(readFile(log), "a(1).txt\r\nb(1).txt\r\nc(1).txt\r\n");

    // Another program puts a file of the same length in its place.
    writeFile(target("edited"), std::string(30, 'e'));
    ASSERT_EQ(::rename(target("edited").c_str(), log.c_str()), 0);
    EXPECT_FALSE(file->append("d(1).txt\r\n", 30));
    EXPECT_EQ(readFile(log), std::string(30, 'e'));
    EXPECT_EQ(namesIn(dest()), (Names{"Log.txt", "fifo", "link"}));
}

}  // namespace
}  // namespace vantrel
