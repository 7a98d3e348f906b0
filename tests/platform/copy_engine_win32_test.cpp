// What a copy made by the system's copy engine keeps. Under Wine the engine keeps the
// last-write time and the attributes; the streams, EFS encryption and sparseness only Windows
// shows, so those tests skip themselves there.
#include <windows.h>

#include <winioctl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/copy_engine_win32.h"
#include "platform/fs/real_file_system.h"
#include "platform/fs/win32_path.h"
#include "support/real_file_system_fixture.h"
#include "support/real_folder.h"

namespace vantrel {
namespace {

using test::namesIn;
using test::numberOf;
using test::readFile;
using test::toPath;
using test::writeFile;
using Names = std::vector<std::string>;
using RealFileSystemTest = test::RealFileSystemTest;

constexpr DWORD kShownMarks = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;

ULONGLONG lastWriteOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExW(toPath(path).c_str(), GetFileExInfoStandard, &data));
    return (ULONGLONG{data.ftLastWriteTime.dwHighDateTime} << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void setLastWrite(const std::string& path, ULONGLONG time) {
    const HANDLE file = ::CreateFileW(toPath(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const FILETIME written{static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &written));
    ::CloseHandle(file);
}

DWORD attributesOf(const std::string& path) {
    return ::GetFileAttributesW(toPath(path).c_str());
}

TEST_F(RealFileSystemTest, ACopyKeepsTheSourcesLastWriteTimeAndMarks) {
    // 3 February 2001, 04:05:06 UTC.
    const ULONGLONG written = 126254343060000000ULL;
    struct Case {
        const char* what;
        DWORD marks;
        CopyTo mode;
    };
    const Case cases[] = {
        {"plain, new", FILE_ATTRIBUTE_NORMAL, CopyTo::NewFile},
        {"hidden and system, new", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, CopyTo::NewFile},
        {"read-only, replacing", FILE_ATTRIBUTE_READONLY, CopyTo::Replace},
        {"hidden, replacing", FILE_ATTRIBUTE_HIDDEN, CopyTo::Replace},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(target(), "old");
        if (c.mode == CopyTo::NewFile) {
            test::removeFile(target());
        }
        ASSERT_TRUE(::SetFileAttributesW(toPath(source()).c_str(), FILE_ATTRIBUTE_NORMAL));
        setLastWrite(source(), written);
        ASSERT_TRUE(::SetFileAttributesW(toPath(source()).c_str(), c.marks));

        fs_.copyFile(source(), target(), c.mode);

        EXPECT_EQ(readFile(target()), "source content");
        EXPECT_EQ(lastWriteOf(target()), written);
        EXPECT_EQ(attributesOf(target()) & kShownMarks,
                  (c.marks & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE);
        EXPECT_EQ(namesIn(dest()), Names{"a(1).txt"});
        ::SetFileAttributesW(toPath(target()).c_str(), FILE_ATTRIBUTE_NORMAL);
        test::removeFile(target());
    }
}

// The engine's copy goes to a fresh temporary name; should another program take that name
// first, what it put there stays.
TEST_F(RealFileSystemTest, TheEngineNeverWritesOverANameTakenMeanwhile) {
    writeFile(target(".vantrel-taken"), "theirs");
    EngineCopy made;
    BOOL cancel = FALSE;
    EXPECT_FALSE(copyWithEngine(win32Path(source()), win32Path(target(".vantrel-taken")), true, {},
                                &cancel, made));
    EXPECT_EQ(readFile(target(".vantrel-taken")), "theirs");
}

// Windows would read "a.txt\0x" as a.txt.
TEST_F(RealFileSystemTest, TheMarkOfTheWebGoesWithTheCopy) {
    if (test::underWine()) {
        GTEST_SKIP() << "Wine has no alternate data streams: a stream written here would be a "
                        "file of its own";
    }
    const std::string zone = "[ZoneTransfer]\r\nZoneId=3\r\n";
    writeFile(source() + ":Zone.Identifier", zone);

    fs_.copyFile(source(), target(), CopyTo::NewFile);

    EXPECT_EQ(readFile(target() + ":Zone.Identifier"), zone);
}

TEST_F(RealFileSystemTest, AnEncryptedSourceMakesAnEncryptedCopy) {
    if (test::underWine()) {
        GTEST_SKIP() << "Wine has no EFS";
    }
    if (!::EncryptFileW(toPath(source()).c_str())) {
        GTEST_SKIP() << "EFS is not offered here: " << test::systemText(::GetLastError());
    }

    fs_.copyFile(source(), target(), CopyTo::NewFile);

    EXPECT_NE(attributesOf(target()) & FILE_ATTRIBUTE_ENCRYPTED, 0u);
    EXPECT_EQ(readFile(target()), "source content");
}

TEST_F(RealFileSystemTest, ASparseSourceMakesASparseCopy) {
    if (test::underWine()) {
        GTEST_SKIP() << "Wine keeps no sparse files";
    }
    const auto version =
        reinterpret_cast<LONG(WINAPI*)(OSVERSIONINFOW*)>(reinterpret_cast<void (*)()>(
            ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (version == nullptr || version(&info) != 0 || info.dwBuildNumber < 22621) {
        GTEST_SKIP() << "the copy engine keeps holes from Windows 11 22H2 on";
    }
    const HANDLE file = ::CreateFileW(toPath(source()).c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD returned = 0;
    ASSERT_TRUE(
        ::DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr));
    LARGE_INTEGER end{};
    end.QuadPart = 64LL << 20;
    ASSERT_TRUE(::SetFilePointerEx(file, end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(file));
    ::CloseHandle(file);

    fs_.copyFile(source(), target(), CopyTo::NewFile);

    EXPECT_NE(attributesOf(target()) & FILE_ATTRIBUTE_SPARSE_FILE, 0u);
    DWORD high = 0;
    const DWORD low = ::GetCompressedFileSizeW(toPath(target()).c_str(), &high);
    EXPECT_LT((ULONGLONG{high} << 32) | low, 1ULL << 20);
}

}  // namespace
}  // namespace vantrel
