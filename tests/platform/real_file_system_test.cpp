#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "tests/platform/real_folder.h"

namespace vantrel {
namespace {

using testing::namesIn;
using testing::numberOf;
using testing::patterned;
using testing::permissionsOf;
using testing::readFile;
using testing::writeFile;
using Names = std::vector<std::string>;

class RealFileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(::mkdir(dest().c_str(), 0755), 0);
        writeFile(source(), "source content", 0640);
    }

    std::string source() const { return folder_ / "a.txt"; }
    std::string dest() const { return folder_ / "dest"; }
    std::string target(const std::string& name = "a(1).txt") const { return dest() + "/" + name; }

    testing::TempFolder folder_;
    RealFileSystem fs_;
};

TEST_F(RealFileSystemTest, ExistsTellsFilesFromAnythingAndFollowsLinks) {
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
        {source(), true, true},
        {folder_ / "dir", false, true},
        {folder_ / "dir/", false, true},
        {folder_ / "missing", false, false},
        {folder_ / "to-file", true, true},
        {folder_ / "to-dir", false, true},
        {folder_ / "dangling", false, false},
        {source() + "/below-a-file", false, false},
        {"", false, false},
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

TEST_F(RealFileSystemTest, MakeDirMakesOneLevelOnly) {
    fs_.makeDir(folder_ / "new");
    EXPECT_TRUE(fs_.exists(folder_ / "new", Attributes::Directory));

    EXPECT_EQ(numberOf([&] { fs_.makeDir(folder_ / "missing/deeper"); }),
              failureFromErrno(ENOENT).number());
    EXPECT_FALSE(fs_.exists(folder_ / "missing", Attributes::Directory));
    EXPECT_EQ(numberOf([&] { fs_.makeDir(folder_ / "new"); }), kFileAlreadyExists);
}

TEST_F(RealFileSystemTest, CopyMakesAnExactCopyWithTheSourcesPermissions) {
    // Larger than one read buffer and not a multiple of it, with zero bytes inside.
    const std::string content = patterned(600 * 1024 + 7, 'a');
    writeFile(source(), content, 0751);

    fs_.copyFile(source(), target(), CopyTo::NewFile);

    EXPECT_EQ(readFile(target()), content);
    EXPECT_EQ(permissionsOf(target()), 0751u);
    EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
}

TEST_F(RealFileSystemTest, CopyReplacesAnExistingTarget) {
    writeFile(target(), std::string(10000, 'o'), 0600);

    fs_.copyFile(source(), target(), CopyTo::Replace);

    EXPECT_EQ(readFile(target()), "source content");
    EXPECT_EQ(permissionsOf(target()), 0640u);
    EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
}

// The ways a finished file takes its name, from the one most file systems offer to the last
// resort of one that has neither O_TMPFILE, renameat2(RENAME_NOREPLACE) nor hard links.
// A large copy tells how far it has come in pieces, rising to the whole size; an empty one
// that reports no size (a pseudo file) tells what it has read.
TEST_F(RealFileSystemTest, ACopyReportsItsBytesAsItGoes) {
    const std::uint64_t size = 20 * 1024 * 1024 + 5;
    writeFile(source(), patterned(size, 'p'), 0644);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

    fs_.copyFile(source(), target(), CopyTo::NewFile,
                 [&](std::uint64_t copied, std::uint64_t of) { reports.emplace_back(copied, of); });

    ASSERT_GE(reports.size(), 3U);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), std::make_pair(size, size));
    EXPECT_LT(reports.front().first, size);
}

struct PublishWay {
    const char* name;
    bool unnamedTemporaries;
    bool exclusiveRename;
    bool hardLinks;

    RealFileSystem::Options options(std::function<void(const std::string&)> hook = {}) const {
        return {unnamedTemporaries, exclusiveRename, hardLinks, std::move(hook)};
    }
};

const PublishWay kPublishWays[] = {
    {"unnamed temporary", true, true, true},
    {"named, exclusive rename", false, true, true},
    {"named, hard link", false, false, true},
    {"named, name held by an empty file", false, false, false},
};

TEST_F(RealFileSystemTest, ANewCopyNeverReplacesAFileThatAppearsMeanwhile) {
    for (const auto& way : kPublishWays) {
        SCOPED_TRACE(way.name);
        RealFileSystem racing(
            way.options([](const std::string& target) { writeFile(target, "theirs"); }));
        EXPECT_EQ(numberOf([&] { racing.copyFile(source(), target(), CopyTo::NewFile); }),
                  kFileAlreadyExists);
        EXPECT_EQ(readFile(target()), "theirs");
        EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});

        RealFileSystem fs(way.options());
        fs.copyFile(source(), target("a(2).txt"), CopyTo::NewFile);
        fs.copyFile(source(), target(), CopyTo::Replace);
        EXPECT_EQ(readFile(target()), "source content");
        EXPECT_EQ(readFile(target("a(2).txt")), "source content");
        EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "a(2).txt"}));
        ASSERT_EQ(::unlink(target().c_str()), 0);
        ASSERT_EQ(::unlink(target("a(2).txt").c_str()), 0);
    }
}

TEST_F(RealFileSystemTest, ANewCopyRefusesAFileThatIsAlreadyThereBeforeCopying) {
    writeFile(target(), "theirs");
    EXPECT_EQ(numberOf([&] { fs_.copyFile(source(), target(), CopyTo::NewFile); }),
              kFileAlreadyExists);
    EXPECT_EQ(readFile(target()), "theirs");
    EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
}

TEST_F(RealFileSystemTest, TheFirstCopyIntoAFolderRemovesOnlyTemporariesNobodyWrites) {
    const Names leftovers = {".vantrel-0123456789ab", ".vantrel-Ab3xYz"};
    for (const auto& name : leftovers) {
        writeFile(target(name), "left over");
    }
    const Names kept = {
        ".vantrel-0123456789ac",  // being written: its writer holds the lock
        ".vantrel-0123456789a",  ".vantrel-0123456789AB", ".vantrel-notes.txt",
        ".vantrel-0123456789ad",  // a folder
        ".vantrel-0123456789ae",  // a link to a file
        "vantrel-0123456789af",
    };
    for (const auto& name : kept) {
        if (name.ends_with("ad")) {
            ASSERT_EQ(::mkdir(target(name).c_str(), 0755), 0);
        } else if (name.ends_with("ae")) {
            ASSERT_EQ(::symlink(source().c_str(), target(name).c_str()), 0);
        } else {
            writeFile(target(name), "kept");
        }
    }
    const int writing = ::open(target(kept[0]).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_EQ(::flock(writing, LOCK_EX), 0);

    fs_.copyFile(source(), target(), CopyTo::NewFile);
    ::close(writing);

    Names expected = kept;
    expected.push_back("a(1).txt");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(dest()), expected);
    EXPECT_EQ(readFile(source()), "source content");
}

TEST_F(RealFileSystemTest, ATemporaryBeingWrittenIsLeftToItsWriter) {
    for (const auto& way : kPublishWays) {
        SCOPED_TRACE(way.name);
        RealFileSystem other;
        RealFileSystem writer(way.options([&](const std::string& target) {
            if (target == this->target()) {
                other.copyFile(source(), this->target("b(1).txt"), CopyTo::NewFile);
            }
        }));
        writer.copyFile(source(), target(), CopyTo::NewFile);
        EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "b(1).txt"}));
        EXPECT_EQ(readFile(target()), "source content");
        ASSERT_EQ(::unlink(target().c_str()), 0);
        ASSERT_EQ(::unlink(target("b(1).txt").c_str()), 0);
    }
}

TEST_F(RealFileSystemTest, TemporariesOfAKilledCopyGoAtTheNextCopyIntoTheFolder) {
    writeFile(target(), "old");
    struct Case {
        const char* what;
        bool unnamedTemporaries;
        CopyTo mode;
    };
    // Killed as the finished copy is about to take its name: a replacing copy has given its
    // temporary file a name by then, and one without O_TMPFILE had it from the start.
    const Case cases[] = {
        {"replacing", true, CopyTo::Replace},
        {"named from the start", false, CopyTo::NewFile},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string copy = c.mode == CopyTo::Replace ? target() : target("a(2).txt");
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            RealFileSystem::Options options;
            options.unnamedTemporaries = c.unnamedTemporaries;
            options.beforePublish = [](const std::string&) { ::raise(SIGKILL); };
            try {
                RealFileSystem(options).copyFile(source(), copy, c.mode);
            } catch (...) {
            }
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        const Names afterKill = namesIn(dest());
        ASSERT_EQ(afterKill.size(), 2u);
        EXPECT_TRUE(afterKill[0].starts_with(".vantrel-")) << afterKill[0];

        RealFileSystem().copyFile(source(), target("b(1).txt"), CopyTo::NewFile);

        EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "b(1).txt"}));
        EXPECT_EQ(readFile(target()), "old");
        ASSERT_EQ(::unlink(target("b(1).txt").c_str()), 0);
    }
}

TEST_F(RealFileSystemTest, CopyOntoADanglingLinkReplacesTheLink) {
    ASSERT_EQ(::symlink((folder_ / "gone").c_str(), target().c_str()), 0);

    fs_.copyFile(source(), target(), CopyTo::NewFile);

    EXPECT_EQ(readFile(target()), "source content");
    EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
    EXPECT_FALSE(fs_.exists(folder_ / "gone", Attributes::Directory));
}

TEST_F(RealFileSystemTest, CopyOfAFileOntoItselfKeepsIt) {
    fs_.copyFile(source(), source(), CopyTo::Replace);
    EXPECT_EQ(readFile(source()), "source content");
}

TEST_F(RealFileSystemTest, CopyTakesEmptyFilesAndFilesThatReportNoSize) {
    writeFile(source(), "", 0644);
    fs_.copyFile(source(), target("empty"), CopyTo::NewFile);
    EXPECT_EQ(readFile(target("empty")), "");

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
    };
    const Case cases[] = {
        {"data at the start, in the middle and at the end",
         {{0, "head"}, {8 * kMiB, patterned(5000, 'm')}, {kSize - 4, "tail"}}},
        {"a hole at the start and at the end", {{kMiB, patterned(70000, 'd')}}},
        {"nothing but a hole", {}},
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

TEST_F(RealFileSystemTest, FailedCopyLeavesTheTargetFolderAsItWas) {
    ASSERT_EQ(::mkdir((folder_ / "adir").c_str(), 0755), 0);
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    writeFile(target("plain"), "plain", 0644);
    ASSERT_EQ(::mkdir(target().c_str(), 0755), 0);
    writeFile(target() + "/inside", "inside", 0644);
    const Names before = namesIn(dest());
    struct Case {
        std::string what;
        std::string source;
        std::string target;
        int number;
    };
    const Case cases[] = {
        {"source missing", folder_ / "missing.txt", target("b(1).txt"), kFileNotFound},
        {"source is a folder", folder_ / "adir", target("b(1).txt"), kPathFileAccessError},
        {"source is a fifo", folder_ / "fifo", target("b(1).txt"), kPathFileAccessError},
        {"target folder missing", source(), target("nowhere/a(1).txt"),
         failureFromErrno(ENOENT).number()},
        {"target folder is a file", source(), target("plain/a(1).txt"), kPathNotFound},
        {"target is a folder", source(), target(), kPathFileAccessError},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(numberOf([&] { fs_.copyFile(c.source, c.target, CopyTo::NewFile); }), c.number);
        EXPECT_EQ(namesIn(dest()), before);
    }
    EXPECT_EQ(namesIn(target()), Names{"inside"});
    EXPECT_EQ(readFile(target() + "/inside"), "inside");
    EXPECT_EQ(readFile(target("plain")), "plain");
}

TEST_F(RealFileSystemTest, WriteTextWritesExactlyTheText) {
    const std::string log = target("Log.txt");
    fs_.writeText(log, "a(1).txt\r\na(2).txt\r\n");
    EXPECT_EQ(readFile(log), "a(1).txt\r\na(2).txt\r\n");
    EXPECT_EQ(permissionsOf(log), 0644u);

    ASSERT_EQ(::chmod(log.c_str(), 0600), 0);
    fs_.writeText(log, "b(1).txt\r\n");
    EXPECT_EQ(readFile(log), "b(1).txt\r\n");
    EXPECT_EQ(permissionsOf(log), 0600u);

    fs_.writeText(log, "");
    EXPECT_EQ(readFile(log), "");
    EXPECT_EQ(namesIn(dest()), Names{"Log.txt"});
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
    testing::asOrdinaryUser([&] {
        fs_.writeText(locked + "/Log.txt", "a(1).txt\r\n");
        EXPECT_EQ(numberOf([&] { fs_.writeText(locked + "/Other.txt", "a(1).txt\r\n"); }),
                  kPermissionDenied);
    });
    ASSERT_EQ(::chmod(locked.c_str(), 0755), 0);
    EXPECT_EQ(readFile(locked + "/Log.txt"), "a(1).txt\r\n");
    EXPECT_EQ(readFile(locked + "/Other.txt"), "old names\r\n");
    EXPECT_EQ(namesIn(locked), (Names{"Log.txt", "Other.txt"}));
}

TEST_F(RealFileSystemTest, AnAppendedFileTakesTextOnlyAsItWasLeft) {
    const std::string log = target("Log.txt");
    writeFile(log, "a(1).txt\r\n");
    ASSERT_EQ(::symlink(log.c_str(), target("link").c_str()), 0);
    ASSERT_EQ(::mkfifo(target("fifo").c_str(), 0644), 0);
    EXPECT_EQ(fs_.openAppended(target("gone.txt")), nullptr);
    EXPECT_EQ(fs_.openAppended(target("fifo")), nullptr);

    const auto file = fs_.openAppended(target("link"));
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->append("b(1).txt\r\n", 5));
    EXPECT_EQ(readFile(log), "a(1).txt\r\n");
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

TEST_F(RealFileSystemTest, WriteTextLeavesAFolderInItsPlaceAlone) {
    ASSERT_EQ(::mkdir(target("Log.txt").c_str(), 0755), 0);
    EXPECT_EQ(numberOf([&] { fs_.writeText(target("Log.txt"), "x"); }), kPathFileAccessError);
    EXPECT_EQ(namesIn(dest()), Names{"Log.txt"});
    EXPECT_TRUE(namesIn(target("Log.txt")).empty());
}

}  // namespace
}  // namespace vantrel
