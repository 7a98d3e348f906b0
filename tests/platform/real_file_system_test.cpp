// The real file system as every system has it; real_file_system_posix_test.cpp and
// real_file_system_win32_test.cpp hold what one system alone has.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <algorithm>
#include <filesystem>
#include <functional>
#include <stop_token>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "platform/fs/temporary_names.h"
#include "support/real_file_system_fixture.h"
#include "support/real_folder.h"

namespace vantrel {
namespace {

using test::join;
using test::kPublishWays;
using test::namesIn;
using test::numberOf;
using test::patterned;
using test::permissionsOf;
using test::readFile;
using test::removeFile;
using test::shownPermissions;
using test::writeFile;
using Names = std::vector<std::string>;
using RealFileSystemTest = test::RealFileSystemTest;

TEST_F(RealFileSystemTest, ExistsTellsFilesFromFoldersAndAbsence) {
    test::makeFolder(folder_ / "dir");
    struct Case {
        std::string path;
        bool file;
        bool anything;
    };
    const Case cases[] = {
        {source(), true, true},
        {folder_ / "dir", false, true},
        {join(folder_ / "dir", ""), false, true},
        {folder_ / "missing", false, false},
        {join(source(), "below-a-file"), false, false},
        {"", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(fs_.exists(c.path, Attributes::File), c.file);
        EXPECT_EQ(fs_.exists(c.path, Attributes::Directory), c.anything);
    }
}

TEST_F(RealFileSystemTest, MakeDirMakesOneLevelOnly) {
    fs_.makeDir(folder_ / "new");
    EXPECT_TRUE(fs_.exists(folder_ / "new", Attributes::Directory));

    EXPECT_EQ(numberOf([&] { fs_.makeDir(join(folder_ / "missing", "deeper")); }),
              test::kFolderMissing);
    EXPECT_FALSE(fs_.exists(folder_ / "missing", Attributes::Directory));
    EXPECT_EQ(numberOf([&] { fs_.makeDir(folder_ / "new"); }), kFileAlreadyExists);
}

TEST_F(RealFileSystemTest, CopyMakesAnExactCopyWithTheSourcesPermissions) {
    // Larger than one read buffer and not a multiple of it, with zero bytes inside.
    const std::string content = patterned(600 * 1024 + 7, 'a');
    writeFile(source(), content, 0751);
    fs_.copyFile(source(), target(), CopyTo::NewFile);
    // A read-only source makes a read-only copy, Windows too.
    test::setPermissions(source(), 0444);
    fs_.copyFile(source(), target("a(2).txt"), CopyTo::NewFile);

    EXPECT_EQ(readFile(target()), content);
    EXPECT_EQ(permissionsOf(target()), shownPermissions(0751));
    EXPECT_EQ(readFile(target("a(2).txt")), content);
    EXPECT_EQ(permissionsOf(target("a(2).txt")), shownPermissions(0444));
    EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "a(2).txt"}));
}

TEST_F(RealFileSystemTest, CopyReplacesAnExistingTarget) {
    writeFile(target(), std::string(10000, 'o'), 0600);

    fs_.copyFile(source(), target(), CopyTo::Replace);

    EXPECT_EQ(readFile(target()), "source content");
    EXPECT_EQ(permissionsOf(target()), shownPermissions(0640));
    EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
}

// A stop abandons the copy: nothing at its name, no temporary, a replaced file as it was. Asked
// before the copy, or (where the system reports progress) half way through a large one.
TEST_F(RealFileSystemTest, AStoppedCopyLeavesNothingAndReplacesNothing) {
    const std::uint64_t size = 24 * 1024 * 1024;
    writeFile(source(), patterned(size, 's'), 0644);
    struct Case {
        const char* what;
        CopyTo mode;
        bool halfWay;
    };
    for (const Case& c : {Case{"new, before", CopyTo::NewFile, false},
                          Case{"replace, before", CopyTo::Replace, false},
                          Case{"new, half way", CopyTo::NewFile, true},
                          Case{"replace, half way", CopyTo::Replace, true}}) {
        SCOPED_TRACE(c.what);
        if (c.halfWay && test::underWine()) {
            continue;  // Wine's CopyFileExW calls no progress routine
        }
        const bool replacing = c.mode == CopyTo::Replace;
        if (replacing) {
            writeFile(target(), "kept", 0644);
        }
        std::stop_source stop;
        if (!c.halfWay) {
            stop.request_stop();
        }
        const auto halfWay = [&](std::uint64_t copied, std::uint64_t) {
            if (copied >= size / 2) {
                stop.request_stop();
            }
        };
        EXPECT_EQ(
            numberOf([&] { fs_.copyFile(source(), target(), c.mode, halfWay, stop.get_token()); }),
            kUserInterrupt);
        EXPECT_EQ(namesIn(dest()), replacing ? Names{"a(1).txt"} : Names{});
        if (replacing) {
            EXPECT_EQ(readFile(target()), "kept");
            removeFile(target());
        }
    }
}

// A large copy tells how far it has come in pieces, rising to the whole size.
TEST_F(RealFileSystemTest, ACopyReportsItsBytesAsItGoes) {
    if (test::underWine()) {
        GTEST_SKIP() << "Wine's CopyFileExW calls no progress routine";
    }
    const std::uint64_t size = 20 * 1024 * 1024 + 5;
    writeFile(source(), patterned(size, 'p'), 0644);
    std::vector<std::pair<std::uint64_t, std::uint64_t>> reports;

    fs_.copyFile(source(), target(), CopyTo::NewFile,
                 [&](std::uint64_t copied, std::uint64_t of) { reports.emplace_back(copied, of); },
                 {});

    ASSERT_GE(reports.size(), 3U);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), std::make_pair(size, size));
    EXPECT_LT(reports.front().first, size);
}

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
        removeFile(target());
        removeFile(target("a(2).txt"));
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
    const std::string ours = freshTemporaryName();
    // Another name of ours with its check code changed, as a person might copy one by hand.
    std::string altered = freshTemporaryName();
    altered.back() = altered.back() == '0' ? '1' : '0';
    enum Kind { File, ReadOnly, Held, Folder, Link };
    struct Case {
        std::string name;
        Kind kind;
        bool removed;
    };
    std::vector<Case> cases = {
        {ours, File, true},
        // Read-only, as a copy of a read-only source is once finished.
        {freshTemporaryName(), ReadOnly, true},
        {freshTemporaryName(), Held, false},  // being written: its writer holds it
        {freshTemporaryName(), Folder, false},
        {".vantrel-Notes1", File, false},
        {".vantrel-backup", File, false},
        {".vantrel-0123456789ab", File, false},
        {altered, File, false},
        {ours.substr(1), File, false},
        {ours + ".txt", File, false},
    };
#ifndef _WIN32
    cases.push_back({freshTemporaryName(), Link, false});  // a link to a file
#endif
    Names expected = {"a(1).txt"};
    for (const auto& c : cases) {
        if (c.kind == Folder) {
            test::makeFolder(target(c.name));
        } else if (c.kind == Link) {
            std::filesystem::create_symlink(test::toPath(source()), test::toPath(target(c.name)));
        } else {
            writeFile(target(c.name), "a file", c.kind == ReadOnly ? 0444 : 0644);
        }
        if (!c.removed) {
            expected.push_back(c.name);
        }
    }
    {
        const test::HeldOpen writing(target(cases[2].name));
        fs_.copyFile(source(), target(), CopyTo::NewFile);
    }

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
        removeFile(target());
        removeFile(target("b(1).txt"));
    }
}

TEST_F(RealFileSystemTest, TemporariesOfAKilledCopyGoAtTheNextCopyIntoTheFolder) {
    writeFile(target(), "old");
    struct Case {
        const char* what;
        const char* mode;
        const char* name;
    };
    // Killed as the finished copy is about to take its name (killed_copy.cpp): a replacing
    // copy has given its temporary file a name by then, and one without O_TMPFILE, or on
    // Windows, had it from the start.
    const Case cases[] = {
        {"replacing", "replace", "unnamed"},
        {"named from the start", "new", "named"},
    };
    const std::string killedCopy = test::besideThisProgram("killed_copy");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string copy = std::string(c.mode) == "replace" ? target() : target("a(2).txt");
        ASSERT_TRUE(test::endsKilled(killedCopy, {source(), copy, c.mode, c.name}));
        const Names afterKill = namesIn(dest());
        ASSERT_EQ(afterKill.size(), 2u);
        EXPECT_TRUE(afterKill[0].starts_with(".vantrel-")) << afterKill[0];

        RealFileSystem().copyFile(source(), target("b(1).txt"), CopyTo::NewFile);

        EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "b(1).txt"}));
        EXPECT_EQ(readFile(target()), "old");
        removeFile(target("b(1).txt"));
    }
}

// The system would read a path only up to a NUL: "secret.key\0/cat.jpg" would name secret.key.
TEST_F(RealFileSystemTest, APathWithANulByteNamesNoFile) {
    const auto cut = [](const std::string& path, const char* rest) { return path + '\0' + rest; };
    const std::function<void()> operations[] = {
        [&] { fs_.exists(cut(source(), "/cat.jpg"), Attributes::File); },
        [&] { fs_.copyFile(cut(source(), "/cat.jpg"), target(), CopyTo::NewFile); },
        [&] { fs_.copyFile(source(), cut(target(), ".jpg"), CopyTo::NewFile); },
        [&] { fs_.copyFile(source(), cut(target(), ".jpg"), CopyTo::Replace); },
        [&] { fs_.writeText(cut(target("Log.txt"), ".bak"), "x"); },
        [&] { fs_.makeDir(cut(target("folder"), "/more")); },
        [&] { fs_.openAppended(cut(source(), ".log")); },
    };
    for (const auto& operation : operations) {
        EXPECT_EQ(numberOf(operation), kFileNotFound);
    }
    EXPECT_TRUE(namesIn(dest()).empty());
    EXPECT_EQ(readFile(source()), "source content");
}

TEST_F(RealFileSystemTest, CopyOfAFileOntoItselfKeepsIt) {
    fs_.copyFile(source(), source(), CopyTo::Replace);
    EXPECT_EQ(readFile(source()), "source content");
}

TEST_F(RealFileSystemTest, CopyTakesEmptyFiles) {
    writeFile(source(), "", 0644);
    fs_.copyFile(source(), target("empty"), CopyTo::NewFile);
    EXPECT_EQ(readFile(target("empty")), "");
}

TEST_F(RealFileSystemTest, FailedCopyLeavesTheTargetFolderAsItWas) {
    test::makeFolder(folder_ / "adir");
    writeFile(target("plain"), "plain", 0644);
    test::makeFolder(target());
    writeFile(join(target(), "inside"), "inside", 0644);
    const Names before = namesIn(dest());
    struct Case {
        std::string what;
        std::string source;
        std::string target;
        int number;
    };
    std::vector<Case> cases = {
        {"source missing", folder_ / "missing.txt", target("b(1).txt"), kFileNotFound},
        {"source is a folder", folder_ / "adir", target("b(1).txt"), kPathFileAccessError},
        {"target folder missing", source(), join(target("nowhere"), "a(1).txt"),
         test::kFolderMissing},
        {"target folder is a file", source(), join(target("plain"), "a(1).txt"), kPathNotFound},
        {"target is a folder", source(), target(), kPathFileAccessError},
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo((folder_ / "fifo").c_str(), 0644), 0);
    cases.push_back(
        {"source is a fifo", folder_ / "fifo", target("b(1).txt"), kPathFileAccessError});
#endif
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(numberOf([&] { fs_.copyFile(c.source, c.target, CopyTo::NewFile); }), c.number);
        EXPECT_EQ(numberOf([&] { fs_.copyFile(c.source, c.target, CopyTo::Replace); }), c.number);
        EXPECT_EQ(namesIn(dest()), before);
    }
    EXPECT_EQ(namesIn(target()), Names{"inside"});
    EXPECT_EQ(readFile(join(target(), "inside")), "inside");
    EXPECT_EQ(readFile(target("plain")), "plain");
}

TEST_F(RealFileSystemTest, WriteTextWritesExactlyTheText) {
    const std::string log = target("Log.txt");
    fs_.writeText(log, "a(1).txt\r\na(2).txt\r\n");
    EXPECT_EQ(readFile(log), "a(1).txt\r\na(2).txt\r\n");
    EXPECT_EQ(permissionsOf(log), shownPermissions(0644));

    test::setPermissions(log, 0600);
    fs_.writeText(log, "b(1).txt\r\n");
    EXPECT_EQ(readFile(log), "b(1).txt\r\n");
    EXPECT_EQ(permissionsOf(log), shownPermissions(0600));

    fs_.writeText(log, "");
    EXPECT_EQ(readFile(log), "");
    EXPECT_EQ(namesIn(dest()), Names{"Log.txt"});
}

TEST_F(RealFileSystemTest, AnAppendedFileTakesTextOnlyAsItWasLeft) {
    const std::string log = target("Log.txt");
    writeFile(log, "a(1).txt\r\n");
    EXPECT_EQ(fs_.openAppended(target("gone.txt")), nullptr);
    EXPECT_EQ(fs_.openAppended(dest()), nullptr);

    const auto file = fs_.openAppended(log);
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->append("b(1).txt\r\n", 5));
    EXPECT_EQ(readFile(log), "a(1).txt\r\n");
    EXPECT_TRUE(file->append("b(1).txt\r\n", 10));
    EXPECT_TRUE(file->append("c(1).txt\r\n", 20));
    EXPECT_EQ(readFile(log), "a(1).txt\r\nb(1).txt\r\nc(1).txt\r\n");

    // Another program writes the file anew, shorter.
    writeFile(log, "edited\r\n");
    EXPECT_FALSE(file->append("d(1).txt\r\n", 30));
    EXPECT_EQ(readFile(log), "edited\r\n");
    EXPECT_EQ(namesIn(dest()), Names{"Log.txt"});
}

TEST_F(RealFileSystemTest, WriteTextLeavesAFolderInItsPlaceAlone) {
    test::makeFolder(target("Log.txt"));
    EXPECT_EQ(numberOf([&] { fs_.writeText(target("Log.txt"), "x"); }), kPathFileAccessError);
    EXPECT_EQ(namesIn(dest()), Names{"Log.txt"});
    EXPECT_TRUE(namesIn(target("Log.txt")).empty());
}

}  // namespace
}  // namespace vantrel
