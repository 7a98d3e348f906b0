// What the Win32 file system alone has: read-only files that are not replaced, paths longer
// than MAX_PATH, files that another program holds open. The cases every system has are in
// real_file_system_test.cpp.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "platform/fs/win32_path.h"
#include "platform/handle_win32.h"
#include "platform/utf16.h"
#include "support/real_file_system_fixture.h"
#include "support/real_folder.h"

namespace vantrel {
namespace {

using test::join;
using test::namesIn;
using test::numberOf;
using test::readFile;
using test::writeFile;
using Names = std::vector<std::string>;
using RealFileSystemTest = test::RealFileSystemTest;

TEST_F(RealFileSystemTest, AReadOnlyFileIsNotReplacedAsItIsWriteProtected) {
    writeFile(target(), "read-only", 0444);
    writeFile(target("Log.txt"), "old names\r\n", 0444);

    EXPECT_EQ(numberOf([&] { fs_.copyFile(source(), target(), CopyTo::Replace); }),
              kPermissionDenied);
    EXPECT_EQ(numberOf([&] { fs_.copyFile(source(), target(), CopyTo::NewFile); }),
              kFileAlreadyExists);
    EXPECT_EQ(numberOf([&] { fs_.writeText(target("Log.txt"), "a(1).txt\r\n"); }),
              kPermissionDenied);

    EXPECT_EQ(readFile(target()), "read-only");
    EXPECT_EQ(readFile(target("Log.txt")), "old names\r\n");
    EXPECT_EQ(namesIn(dest()), (Names{"Log.txt", "a(1).txt"}));
}

// Windows replaces no file that is open; what the copy wrote goes. Still held after the wait,
// the file is named as in use, not as write protected.
TEST_F(RealFileSystemTest, AFileAnotherProgramHoldsOpenIsNotReplaced) {
    writeFile(target(), "theirs");
    {
        const test::HeldOpen held(target());
        try {
            fs_.copyFile(source(), target(), CopyTo::Replace);
            ADD_FAILURE() << "the copy replaced a file held open";
        } catch (const Failure& failure) {
            EXPECT_EQ(failure.number(), kPathFileAccessError);
            EXPECT_EQ(failure.reason(), "The file " + target() + " is in use by another program.");
        }
    }
    EXPECT_EQ(readFile(target()), "theirs");
    EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
}

TEST_F(RealFileSystemTest, PathsLongerThanMaxPathWork) {
    std::string folder = dest();
    for (char letter = 'a'; folder.size() < 300; ++letter) {
        folder = join(folder, std::string(50, letter));
        fs_.makeDir(folder);
    }
    const std::string copy = join(folder, "a(1).txt");
    const std::string log = join(folder, "Log.txt");
    ASSERT_GT(copy.size(), 300u);

    fs_.copyFile(source(), copy, CopyTo::NewFile);
    EXPECT_EQ(numberOf([&] { fs_.copyFile(source(), copy, CopyTo::NewFile); }), kFileAlreadyExists);
    fs_.copyFile(source(), copy, CopyTo::Replace);
    fs_.writeText(log, "a(1).txt\r\n");
    const auto appended = fs_.openAppended(log);
    ASSERT_NE(appended, nullptr);
    EXPECT_TRUE(appended->append("a(2).txt\r\n", 10));

    EXPECT_TRUE(fs_.exists(copy, Attributes::File));
    EXPECT_TRUE(fs_.exists(folder, Attributes::Directory));
    EXPECT_FALSE(fs_.exists(folder, Attributes::File));
    // Read back through short names, as the standard library may not take long ones.
    fs_.copyFile(copy, folder_ / "copy back.txt", CopyTo::NewFile);
    fs_.copyFile(log, folder_ / "log back.txt", CopyTo::NewFile);
    EXPECT_EQ(readFile(folder_ / "copy back.txt"), "source content");
    EXPECT_EQ(readFile(folder_ / "log back.txt"), "a(1).txt\r\na(2).txt\r\n");
}

// A hand-in share takes new files but refuses their reading, renaming and removal: there a
// new copy goes straight to its name, never over another, and nothing is replaced.
TEST_F(RealFileSystemTest, InAnUploadOnlyFolderANewCopyIsWrittenAtItsNameAndNothingIsReplaced) {
    std::vector<std::string> published;
    std::vector<std::string> asked;
    RealFileSystem::Options options;
    options.beforePublish = [&](const std::string& target) { published.push_back(target); };
    options.uploadOnly = [&](const std::string& folder) {
        asked.push_back(folder);
        return true;
    };
    RealFileSystem fs(options);
    writeFile(target("a(2).txt"), "theirs");

    fs.copyFile(source(), target(), CopyTo::NewFile);
    EXPECT_EQ(numberOf([&] { fs.copyFile(source(), target("a(2).txt"), CopyTo::NewFile); }),
              kFileAlreadyExists);
    EXPECT_EQ(numberOf([&] { fs.copyFile(source(), target("a(2).txt"), CopyTo::Replace); }),
              kPermissionDenied);

    EXPECT_EQ(readFile(target()), "source content");
    EXPECT_EQ(::GetFileAttributesW(win32Path(target()).c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(readFile(target("a(2).txt")), "theirs");
    EXPECT_TRUE(published.empty());
    EXPECT_EQ(asked.size(), 1u);
    EXPECT_EQ(namesIn(dest()), (Names{"a(1).txt", "a(2).txt"}));
}

// NTFS holds names with half a surrogate pair; such a file is found and copied under its name.
TEST_F(RealFileSystemTest, ANameWithALoneSurrogateIsFoundAndCopiedUnderItsName) {
    const std::wstring name = std::wstring(L"half") + wchar_t(0xD800) + L".txt";
    const std::wstring copyName = std::wstring(L"half") + wchar_t(0xD800) + L"(1).txt";
    const std::wstring folder = win32Path(dest()) + L"\\";
    Handle made(::CreateFileW((folder + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    made.reset();
    if (::GetFileAttributesW((folder + name).c_str()) == INVALID_FILE_ATTRIBUTES) {
        GTEST_SKIP() << "this file system stores no name with a lone surrogate (Wine keeps names "
                        "as UTF-8 on Linux)";
    }
    const std::string source = join(dest(), toUtf8(name));
    EXPECT_TRUE(fs_.exists(source, Attributes::File));
    fs_.copyFile(source, join(dest(), toUtf8(copyName)), CopyTo::NewFile);
    EXPECT_NE(::GetFileAttributesW((folder + copyName).c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(Win32Path, IsAbsoluteNormalAndExtended) {
    struct Case {
        std::string path;
        std::wstring expected;
    };
    const Case cases[] = {
        {"C:\\a\\b.txt", L"\\\\?\\C:\\a\\b.txt"},
        {"C:/a/./b/../c.txt", L"\\\\?\\C:\\a\\c.txt"},
        {"C:\\a\\b\\", L"\\\\?\\C:\\a\\b"},
        {"C:\\a\\b.txt. ", L"\\\\?\\C:\\a\\b.txt"},
        {"C:\\", L"\\\\?\\C:\\"},
        {"c:\\caf\xc3\xa9", L"\\\\?\\c:\\caf\u00e9"},
        {"\\\\server\\share\\a\\b.txt", L"\\\\?\\UNC\\server\\share\\a\\b.txt"},
        {"\\\\server\\share\\", L"\\\\?\\UNC\\server\\share\\"},
        {"\\\\?\\C:\\a\\..\\b", L"\\\\?\\C:\\a\\..\\b"},
        {"\\\\.\\COM1", L"\\\\.\\COM1"},
        {"", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(win32Path(c.path), c.expected);
    }
    wchar_t current[MAX_PATH] = {};
    ASSERT_GT(::GetCurrentDirectoryW(MAX_PATH, current), 0u);
    const std::wstring here(current);
    EXPECT_EQ(win32Path("x.txt"),
              L"\\\\?\\" + here + (here.ends_with(L'\\') ? L"" : L"\\") + L"x.txt");
    EXPECT_THROW(win32Path("caf\xe9"), Failure);
}

// Starts hold_file on the path and returns once it holds it.
PROCESS_INFORMATION holdFor(const std::string& path, int milliseconds) {
    std::wstring line = L"\"" + toUtf16(test::besideThisProgram("hold_file")) + L"\" \"" +
                        toUtf16(path) + L"\" " + std::to_wstring(milliseconds);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                 &startup, &process));
    const std::wstring file = toUtf16(path);
    for (int i = 0; i < 500; ++i) {
        const HANDLE probe = ::CreateFileW(file.c_str(), GENERIC_READ,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, 0, nullptr);
        if (probe == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_SHARING_VIOLATION) {
            break;
        }
        if (probe != INVALID_HANDLE_VALUE) {
            ::CloseHandle(probe);
        }
        ::Sleep(10);
    }
    return process;
}

// A file another program holds for a moment is waited for, and the copy then succeeds; one held
// past the wait is named as in use, and the file it would have replaced stays.
TEST_F(RealFileSystemTest, AFileHeldForAMomentIsWaitedFor) {
    struct Case {
        const char* what;
        bool holdSource;
        CopyTo mode;
        int milliseconds;
    };
    const Case cases[] = {
        {"replaced target held 1 s", false, CopyTo::Replace, 1000},
        {"source of a new copy held 1 s", true, CopyTo::NewFile, 1000},
        {"replaced target held past the wait", false, CopyTo::Replace, 4000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (c.mode == CopyTo::Replace) {
            writeFile(target(), "old", 0644);
        }
        const PROCESS_INFORMATION holder =
            holdFor(c.holdSource ? source() : target(), c.milliseconds);
        std::string told;
        try {
            fs_.copyFile(source(), target(), c.mode);
        } catch (const Failure& failure) {
            told = failure.reason();
        }
        ::WaitForSingleObject(holder.hProcess, INFINITE);
        ::CloseHandle(holder.hProcess);
        ::CloseHandle(holder.hThread);

        const bool waitedOut = c.milliseconds < 3000;
        EXPECT_EQ(told, waitedOut ? "" : "The file " + target() + " is in use by another program.");
        EXPECT_EQ(readFile(target()), waitedOut ? "source content" : "old");
        EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
        test::removeFile(target());
    }
}

}  // namespace
}  // namespace vantrel
