#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

namespace fs = std::filesystem;

fs::path pathOf(const std::string& utf8) {
    return fs::path(toUtf16(utf8));
}

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

// Every file in the folder by name, with what it holds: the name in `known` of its bytes, or
// else its size.
std::map<std::string, std::string> filesIn(const fs::path& folder,
                                           const std::map<std::string, std::string>& known) {
    std::map<std::string, std::string> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        const std::string bytes = bytesOf(entry.path());
        std::string held = std::to_string(bytes.size()) + " other bytes";
        for (const auto& [name, content] : known) {
            if (content == bytes) {
                held = name;
            }
        }
        files.emplace(utf8Of(entry.path().filename()), held);
    }
    return files;
}

void type(HWND edit, const std::wstring& text) {
    for (const wchar_t c : text) {
        ::SendMessageW(edit, WM_CHAR, c, 1);
    }
}

// Replaces the box's text by typing over it.
void typeOver(HWND edit, const std::wstring& text) {
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    type(edit, text);
}

// "Übersicht 2.dat": a name beyond ASCII, with a blank.
const std::string kSecondName =
    "\xc3\x9c"
    "bersicht 2.dat";
const std::string kSecondCopy =
    "\xc3\x9c"
    "bersicht 2(1).dat";

// The whole road of a user on real files: drop two files, type a count and a destination
// that does not exist yet, replicate; then replicate again over the copies.
TEST(Replication, OfTwoDroppedFilesIntoANewFolderAndAgainOverTheCopies) {
    VANTREL_NEEDS_WINDOWS();
    NoPainting painter;
    Window window(painter);
    window.open();
    const TemporaryFolder work;
    // Bytes a text conversion would change: CR LF, a lone LF, NUL, a byte above 127.
    const std::string firstBytes = std::string("one\r\ntwo\nthree\0four\xff", 19);
    const std::string secondBytes(70000, '\x5a');
    const fs::path first = work.path() / "notes.v2.txt";
    const fs::path second = work.path() / pathOf(kSecondName);
    write(first, firstBytes);
    write(second, secondBytes);
    dropOn(window.child("Picture1"), {utf8Of(first), utf8Of(second)});
    ASSERT_EQ(window.controls().Text1.count(), 3);

    const HWND count = window.form.countEditor(1);
    ASSERT_NE(count, nullptr);
    typeOver(count, L"3");
    EXPECT_EQ(window.controls().CopyTimes.item(1).text(), "3");
    const fs::path destination = work.path() / "out" / "copies";
    typeOver(window.child("SaveTo"), destination.native());
    ASSERT_EQ(window.controls().SaveTo.text(), utf8Of(destination));

    window.messageBox.script({Answer::Yes});
    const HWND replicate = window.child("ReplicateBtn");
    ::SendMessageW(replicate, BM_CLICK, 0, 0);
    pumpMessages(window.form);

    EXPECT_EQ(window.messageBox.texts(),
              std::vector<std::string>{expected::createFolderPrompt(utf8Of(destination))});
    EXPECT_EQ(window.messageBox.unusedAnswers(), 0U);
    const std::map<std::string, std::string> contents{
        {"first", firstBytes}, {"second", secondBytes}, {"kept", "kept"}};
    const std::map<std::string, std::string> copies{{"notes.v2(1).txt", "first"},
                                                    {"notes.v2(2).txt", "first"},
                                                    {"notes.v2(3).txt", "first"},
                                                    {kSecondCopy, "second"}};
    EXPECT_EQ(filesIn(destination, contents), copies);
    EXPECT_EQ(toUtf8(windowText(window.child("LabelProgress"))), expected::kDone);
    EXPECT_EQ(window.controls().ShapeProgress.width(), 0);
    const fs::path log = pathOf(window.conventions.logPath);
    const std::string crlf = expected::kCrLf;
    EXPECT_EQ(bytesOf(log), "notes.v2(1).txt" + crlf + "notes.v2(2).txt" + crlf +
                                "notes.v2(3).txt" + crlf + kSecondCopy + crlf);

    // Marks on the copies tell which were replaced.
    for (const auto& [name, source] : copies) {
        write(destination / pathOf(name), "kept");
    }
    window.messageBox.shown.clear();
    window.messageBox.script({Answer::No, Answer::Yes, Answer::Cancel});
    ::SendMessageW(replicate, BM_CLICK, 0, 0);
    pumpMessages(window.form);

    EXPECT_EQ(window.messageBox.texts(), (std::vector<std::string>{
                                             expected::replacePrompt("notes.v2(1).txt"),
                                             expected::replacePrompt("notes.v2(2).txt"),
                                             expected::replacePrompt("notes.v2(3).txt"),
                                         }));
    EXPECT_EQ(window.messageBox.unusedAnswers(), 0U);
    EXPECT_EQ(filesIn(destination, contents),
              (std::map<std::string, std::string>{{"notes.v2(1).txt", "kept"},
                                                  {"notes.v2(2).txt", "first"},
                                                  {"notes.v2(3).txt", "kept"},
                                                  {kSecondCopy, "kept"}}));
    EXPECT_EQ(toUtf8(windowText(window.child("LabelProgress"))), expected::kCancelled);
    EXPECT_EQ(window.controls().ShapeProgress.width(), 0);
    // The log lists what this run copied, and only that.
    EXPECT_EQ(bytesOf(log), "notes.v2(2).txt" + crlf);
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
