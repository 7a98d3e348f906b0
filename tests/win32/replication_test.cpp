#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

std::string utf8Of(const fs::path& path) {
    return toUtf8(path.native());
}

std::string bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

// Replaces the box's text by typing over it.
void typeOver(HWND edit, const std::wstring& text) {
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const wchar_t c : text) {
        ::SendMessageW(edit, WM_CHAR, c, 1);
    }
}

// The log's usual place writable, and denied as the root of C: is to a standard user on Windows
// 10 and 11 (drive R:, a read-only tmpfs that tests/platform/small_disk.sh maps): the run writes
// the usual log or the user's own, tells nothing of it, and "Log File" opens the one written.
TEST(Replication, WritesTheLogWhereTheUserMayAndLogFileOpensIt) {
    VANTREL_NEEDS_WINDOWS();
    const fs::path readOnly = L"R:\\";
    if (fs::exists(readOnly / "why-not.txt")) {
        GTEST_SKIP() << bytesOf(readOnly / "why-not.txt");
    }
    for (const bool denied : {false, true}) {
        SCOPED_TRACE(denied ? "denied" : "writable");
        NoPainting painter;
        Window window(painter);
        window.open();
        const fs::path userLog = window.home.path() / "Local" / "Vantrel" / "Log.txt";
        const fs::path usual = denied ? readOnly / "Log.txt" : window.home.path() / "Log.txt";
        window.conventions.logPath = utf8Of(usual);
        window.conventions.openLog.arguments = {window.conventions.logPath};
        window.conventions.userLogPath = utf8Of(userLog);
        const TemporaryFolder work;
        write(work.path() / "a.txt", "a");
        dropOn(window.child("Picture1"), {utf8Of(work.path() / "a.txt")});
        typeOver(window.child("SaveTo"), work.path().native());
        ::SendMessageW(window.child("ReplicateBtn"), BM_CLICK, 0, 0);
        pumpMessages(window.form);
        ::SendMessageW(window.child("LogBtn"), BM_CLICK, 0, 0);
        pumpMessages(window.form);

        EXPECT_EQ(window.messageBox.texts(), std::vector<std::string>{});
        const fs::path written = denied ? userLog : usual;
        EXPECT_EQ(bytesOf(written), "a(1).txt" + std::string(expected::kCrLf));
        EXPECT_FALSE(fs::exists(denied ? usual : userLog));
        ASSERT_EQ(window.launcher.launched.size(), 1u);
        EXPECT_EQ(window.launcher.launched[0].commandLine(), "notepad " + utf8Of(written));
    }
}

}  // namespace
}  // namespace vantrel::test
