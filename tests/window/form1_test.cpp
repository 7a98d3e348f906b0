#include "window/form1.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "support/expected.h"
#include "support/fake_form1.h"
#include "support/listed_files.h"
#include "window/form1_layout.h"

namespace vantrel::test {
namespace {

using Strings = std::vector<std::string>;

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override { w_.form.Form_Load(); }

    Strings paths() {
        Strings result;
        for (int i = 1; i < w_.text1.count(); ++i) {
            result.push_back(w_.text1.item(i).text_);
        }
        return result;
    }

    FakeForm1 w_;
};

TEST(Form1Load, LeavesTheWindowAsTheOtherHandlersExpectIt) {
    FakeForm1 w;
    w.shapeProgress.width_ = 675;
    w.form.Form_Load();

    EXPECT_EQ(w.picture1.dropMode(), DropMode::Manual);
    EXPECT_EQ(w.text1.item(0).top(), expected::kFirstRowTop - expected::kRowHeight);
    EXPECT_EQ(w.copyTimes.item(0).top(), expected::kFirstRowTop - expected::kRowHeight);
    EXPECT_FALSE(w.text1.item(0).visible());
    EXPECT_FALSE(w.bar.visible());
    EXPECT_EQ(w.bar.min(), -30);
    EXPECT_EQ(w.bar.value(), 0);
    EXPECT_EQ(w.frameSlide.top(), expected::kFrameSlide.top);
    EXPECT_EQ(w.shapeProgress.width(), 0.0);
    EXPECT_EQ(w.labelProgress.caption(), "");
    EXPECT_TRUE(w.messageBox.shown.empty());
}

TEST_F(Form1Test, TheFirstDroppedRowsGoWhereTheTemplateSaysEachOneRowLower) {
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/pics/a.jpg", "/docs/b.txt", "/c"}));

    EXPECT_EQ(paths(), (Strings{"/pics/a.jpg", "/docs/b.txt", "/c"}));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(w_.text1.item(i).top(), expected::rowTop(i)) << i;
        EXPECT_EQ(w_.copyTimes.item(i).top(), expected::rowTop(i)) << i;
        EXPECT_EQ(w_.copyTimes.item(i).text(), "1");
        EXPECT_TRUE(w_.text1.item(i).visible() && w_.copyTimes.item(i).visible());
    }
}

struct PickerCase {
    std::string what;
    std::string typed;
    std::string chosenDrive;
    std::string expectedDir;
    std::string expectedSaveTo;
    Strings messages;
};

class Picker : public Form1Test, public ::testing::WithParamInterface<PickerCase> {};

// Choosing a drive opens it in the directory list, which puts it into the destination box;
// a drive that cannot be opened leaves both as they were and goes back to the last drive.
TEST_P(Picker, ChoosingADrive) {
    const PickerCase& c = GetParam();
    w_.drive1.drive_ = "/";
    w_.dir1.setPath("/home/user");
    w_.saveTo.setText(c.typed);
    w_.dir1.unreadable["/media/cd"] = kDiskNotReady;

    w_.drive1.choose(c.chosenDrive);

    EXPECT_EQ(w_.dir1.path(), c.expectedDir);
    EXPECT_EQ(w_.saveTo.text(), c.expectedSaveTo);
    EXPECT_EQ(w_.messageBox.texts(), c.messages);
    EXPECT_EQ(w_.drive1.drive(), c.messages.empty() ? c.chosenDrive : "/");
}

INSTANTIATE_TEST_SUITE_P(
    Form1, Picker,
    ::testing::Values(PickerCase{"ready", "typed", "/media/usb", "/media/usb", "/media/usb", {}},
                      PickerCase{"not ready",
                                 "typed",
                                 "/media/cd",
                                 "/home/user",
                                 "typed",
                                 {"Could not open the drive /media/cd.\r\nDevice unavailable"}}),
    [](const auto& info) { return info.param.what == "ready" ? "Ready" : "NotReady"; });

TEST_F(Form1Test, OpeningAFolderReplacesTheDestinationAndReopeningTheSameOneDoesNot) {
    w_.dir1.setPath("/data/out");
    EXPECT_EQ(w_.saveTo.text(), "/data/out");

    w_.saveTo.setText("/typed");
    w_.dir1.setPath("/data/out");
    EXPECT_EQ(w_.saveTo.text(), "/typed");
    EXPECT_EQ(w_.dir1.path(), "/data/out");
}

TEST_F(Form1Test, FileSearchLaunchesTheSameCommandEachTimeAndChangesNothingElse) {
    w_.addRowPath("/a.txt", "3");
    w_.saveTo.setText("/out");

    w_.form.OpenWEBtn_Click();
    w_.form.OpenWEBtn_Click();

    ASSERT_EQ(w_.launcher.launched.size(), 2U);
    for (const LaunchCommand& command : w_.launcher.launched) {
        EXPECT_EQ(command.commandLine(), "xdg-open /");
        EXPECT_EQ(command.style, WindowStyle::Normal);
    }
    EXPECT_EQ(paths(), Strings{"/a.txt"});
    EXPECT_EQ(w_.saveTo.text(), "/out");
    EXPECT_EQ(w_.labelProgress.caption(), "");
    EXPECT_TRUE(w_.messageBox.shown.empty());
}

TEST(Form1FileSearch, OnWindowsOpensTheExplorerAtTheRootOfC) {
    FakeForm1 w(Conventions::windows());
    w.form.OpenWEBtn_Click();
    ASSERT_EQ(w.launcher.launched.size(), 1U);
    EXPECT_EQ(w.launcher.launched[0].commandLine(), "explorer.exe /e, C:\\");
    EXPECT_EQ(w.launcher.launched[0].style, WindowStyle::Normal);
}

// A left press on a path box opens the popup menu; choosing its item deletes that entry. Other
// buttons only record the entry, which the item then deletes when chosen another way.
TEST_F(Form1Test, APressOnAPathAndTheMenuItemDeleteThatEntry) {
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/a", "/b", "/c"}));
    w_.popup.choose = [this] { w_.form.PUMenu_DeleteFile_Click(); };

    w_.form.Text1_MouseDown(2, 1);
    EXPECT_EQ(w_.popup.shown, 1);
    EXPECT_EQ(paths(), (Strings{"/a", "/c"}));

    w_.form.Text1_MouseDown(1, 2);
    EXPECT_EQ(w_.popup.shown, 1);
    EXPECT_EQ(paths(), (Strings{"/a", "/c"}));
    w_.form.PUMenu_DeleteFile_Click();
    EXPECT_EQ(paths(), Strings{"/c"});
}

// What a handler lets escape is shown in a box and the window goes on; nothing reaches the
// toolkit's event loop.
TEST_F(Form1Test, EveryFailureInAHandlerBecomesAMessage) {
    w_.form.Text1_MouseDown(40000, 1);
    w_.form.handle([] { throw Failure(kPathNotFound, "Path not found"); });
    w_.form.handle([] { throw std::runtime_error("broken"); });
    w_.form.handle([] { throw 42; });

    EXPECT_EQ(w_.messageBox.texts(), (Strings{"Overflow", "Path not found", "broken",
                                              "An unexpected failure ended the last action."}));
    EXPECT_EQ(w_.popup.shown, 0);
}

TEST_F(Form1Test, KeysAScrollAndTheButtonsReachTheirHandlers) {
    std::int16_t digit = '7';
    std::int16_t letter = 'x';
    w_.form.CopyTimes_KeyPress(1, digit);
    w_.form.CopyTimes_KeyPress(1, letter);
    EXPECT_EQ(digit, '7');
    EXPECT_EQ(letter, 0);

    w_.form.Picture1_OLEDragDrop(ListedFiles(Strings(10, "/f")));
    EXPECT_TRUE(w_.bar.visible());
    w_.bar.value_ = 5;
    w_.form.VScrollFiles_Change();
    EXPECT_EQ(w_.frameSlide.top(), -50.0);

    w_.form.ClearBtn_Click();
    EXPECT_TRUE(paths().empty());
    w_.form.LogBtn_Click();
    EXPECT_TRUE(w_.launcher.launched.empty());

    EXPECT_EQ(w_.messageBox.texts(),
              (Strings{expected::kNumberEntryOnly, expected::kNoCopiedFiles}));
}

// A click reaches the handler of the role clicked and no other; a role without one does
// nothing. Row 2 is the entry last pressed.
struct ClickCase {
    std::string what;
    layout::Role role;
    Strings launched;
    Strings rows;
    bool copied;
};

class Clicks : public Form1Test, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(Clicks, ReachTheHandlerOfTheRoleClicked) {
    const ClickCase& c = GetParam();
    w_.fs.addFile("/src/a.txt", "a");
    w_.fs.addFile("/src/b.txt", "b");
    w_.fs.addDir("/out");
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/src/a.txt", "/src/b.txt"}));
    w_.saveTo.setText("/out");
    w_.form.Text1_MouseDown(2, 2);

    w_.form.Click(c.role);

    Strings launched;
    for (const LaunchCommand& command : w_.launcher.launched) {
        launched.push_back(command.commandLine());
    }
    EXPECT_EQ(launched, c.launched);
    EXPECT_EQ(paths(), c.rows);
    EXPECT_EQ(w_.fs.isFile("/out/b(1).txt"), c.copied);
    EXPECT_TRUE(w_.messageBox.shown.empty());
}

const Strings kBoth{"/src/a.txt", "/src/b.txt"};

INSTANTIATE_TEST_SUITE_P(
    Form1, Clicks,
    ::testing::Values(
        ClickCase{"FileSearch", layout::Role::FileSearch, {"xdg-open /"}, kBoth, false},
        ClickCase{"Replicate", layout::Role::Replicate, {}, kBoth, true},
        ClickCase{"ClearList", layout::Role::ClearList, {}, {}, false},
        ClickCase{"OpenLog", layout::Role::OpenLog, {"xdg-open /home/user/Log.txt"}, kBoth, false},
        ClickCase{"DeleteFile", layout::Role::DeleteFile, {}, {"/src/a.txt"}, false},
        ClickCase{"NoHandler", layout::Role::Destination, {}, kBoth, false}),
    [](const auto& info) { return info.param.what; });

TEST_F(Form1Test, ReplicateCopiesTheListIntoTheDestination) {
    w_.fs.addFile("/src/a.txt", "a");
    w_.fs.addDir("/out");
    w_.fs.addDir("/home/user");
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/src/a.txt"}));
    w_.copyTimes.item(1).setText("2");
    w_.saveTo.setText("/out");

    w_.form.ReplicateBtn_Click();

    EXPECT_EQ(w_.fs.content("/out/a(1).txt"), "a");
    EXPECT_EQ(w_.fs.content("/out/a(2).txt"), "a");
    EXPECT_EQ(w_.labelProgress.caption(), expected::kDone);
    EXPECT_TRUE(w_.messageBox.shown.empty());
}

struct DuringARun {
    std::string what;
    std::function<void(FakeForm1&)> act;
};

class RefusedDuringARun : public Form1Test, public ::testing::WithParamInterface<DuringARun> {};

// What would change what a run reads or start something is refused during a run: it acts
// neither then nor after the run; the drop area takes drops again afterwards.
TEST_P(RefusedDuringARun, ActsNeitherThenNorAfter) {
    w_.fs.addFile("/src/a.txt", "a");
    w_.fs.addDir("/out");
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/src/a.txt"}));
    w_.saveTo.setText("/out");
    w_.waiter.meanwhile = [&] {
        EXPECT_EQ(w_.picture1.dropMode(), DropMode::None);
        GetParam().act(w_);
    };

    w_.form.ReplicateBtn_Click();

    EXPECT_EQ(paths(), Strings{"/src/a.txt"});
    EXPECT_EQ(w_.saveTo.text(), "/out");
    EXPECT_TRUE(w_.messageBox.shown.empty());
    EXPECT_EQ(w_.waiter.waits, 1);
    EXPECT_EQ(w_.labelProgress.caption(), expected::kDone);
    EXPECT_EQ(w_.picture1.dropMode(), DropMode::Manual);
}

INSTANTIATE_TEST_SUITE_P(
    Form1, RefusedDuringARun,
    ::testing::Values(
        DuringARun{"SecondReplicate", [](FakeForm1& w) { w.form.ReplicateBtn_Click(); }},
        DuringARun{"ClearList", [](FakeForm1& w) { w.form.ClearBtn_Click(); }},
        DuringARun{
            "Drop",
            [](FakeForm1& w) { w.form.Picture1_OLEDragDrop(ListedFiles({"/src/late.txt"})); }},
        DuringARun{"MenuDelete",
                   [](FakeForm1& w) {
                       w.form.Text1_MouseDown(1, 1);
                       w.form.PUMenu_DeleteFile_Click();
                   }},
        DuringARun{"FolderOpened",
                   [](FakeForm1& w) { w.form.handle([&w] { w.saveTo.setText("/elsewhere"); }); }},
        DuringARun{"CountKey",
                   [](FakeForm1& w) {
                       std::int16_t KeyAscii = 'x';
                       w.form.CopyTimes_KeyPress(1, KeyAscii);
                       EXPECT_EQ(KeyAscii, 0);
                   }}),
    [](const auto& info) { return info.param.what; });

// Yes to a close request stops the copy under way, and the window goes once the run has ended,
// not at a press of "Replicate " refused meanwhile.
TEST_F(Form1Test, AStoppedRunClosesTheWindowOnlyAtItsEnd) {
    w_.fs.addFile("/src/a.txt", "a");
    w_.fs.addDir("/out");
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/src/a.txt"}));
    w_.saveTo.setText("/out");
    std::vector<bool> unloadsWhileRunning;
    w_.form.unload = [&] { unloadsWhileRunning.push_back(w_.form.running()); };
    w_.messageBox.script({Answer::Yes});
    w_.waiter.meanwhile = [&] {
        bool Cancel = false;
        w_.form.Form_QueryUnload(Cancel);
        EXPECT_TRUE(Cancel);
        w_.form.ReplicateBtn_Click();
    };

    w_.form.ReplicateBtn_Click();

    EXPECT_EQ(unloadsWhileRunning, std::vector<bool>{false});
    EXPECT_EQ(w_.messageBox.texts(), Strings{expected::kStopQuestion});
    EXPECT_EQ(w_.labelProgress.caption(), expected::kCancelled);
    EXPECT_FALSE(w_.fs.isFile("/out/a(1).txt"));
}

// The bar follows the bytes of the copy under way, and ends each step at the run's own width.
TEST_F(Form1Test, TheBarFollowsTheCopyAndEndsEachStepExactly) {
    w_.fs.addFile("/src/a.txt", "0123456789");
    w_.fs.addDir("/out");
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/src/a.txt"}));
    w_.copyTimes.item(1).setText("4");
    w_.saveTo.setText("/out");

    w_.form.ReplicateBtn_Click();

    // Each step: a tick once its bytes are all copied, then the step's end; the row's end.
    const double step = expected::kFullBar / 4;
    const std::vector<double> widths{0,        step,     step,     2 * step, 2 * step,
                                     3 * step, 3 * step, 4 * step, 4 * step, 0};
    EXPECT_EQ(w_.shapeProgress.history, widths);
    EXPECT_EQ(w_.waiter.waits, 4);
}

// Files come in without a drag: a paste key that no text box took, or Enter, Space or a
// double-click on the drop area, which open the file dialog. Each goes through the drop's intake.
struct NoDragCase {
    std::string what;
    // The key handed to Form_KeyDown (code, shift) or to Picture1_KeyPress (ascii); 0: a
    // double-click.
    std::int16_t keyCode;
    std::int16_t shift;
    std::int16_t keyAscii;
    std::optional<Strings> clipboard;
    Strings chosen;
    Strings rows;
    int dialogs;
    Strings messages;
    bool keyUsed;
};

class NoDrag : public Form1Test, public ::testing::WithParamInterface<NoDragCase> {};

TEST_P(NoDrag, FilesComeInAsADropOfThemWould) {
    const NoDragCase& c = GetParam();
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/first"}));
    w_.clipboard.files_ = c.clipboard;
    w_.commonDialog1.chosen_ = c.chosen;
    bool used = false;
    if (c.keyCode != 0) {
        std::int16_t KeyCode = c.keyCode;
        w_.form.Form_KeyDown(KeyCode, c.shift);
        used = KeyCode == 0;
    } else if (c.keyAscii != 0) {
        std::int16_t KeyAscii = c.keyAscii;
        w_.form.Picture1_KeyPress(KeyAscii);
        used = KeyAscii == 0;
    } else {
        w_.form.Picture1_DblClick();
        used = true;
    }

    Strings rows{"/first"};
    rows.insert(rows.end(), c.rows.begin(), c.rows.end());
    EXPECT_EQ(paths(), rows);
    EXPECT_EQ(w_.commonDialog1.titles, Strings(c.dialogs, "Choose files to copy"));
    EXPECT_EQ(w_.messageBox.texts(), c.messages);
    EXPECT_EQ(used, c.keyUsed);
    EXPECT_EQ(w_.copyTimes.count(), w_.text1.count());
    EXPECT_EQ(w_.frameSlide.height(), w_.text1.count() * expected::kRowHeight);
}

const Strings kNoMessage;
const Strings kNoFileName{"No File name from Explorer"};
const Strings kCopied{"/home/u/a b.txt", "/home/u/c.txt"};
const std::string kNul("/x\0y", 4);

INSTANTIATE_TEST_SUITE_P(
    Form1Test, NoDrag,
    ::testing::Values(
        NoDragCase{"CtrlV", 86, 2, 0, kCopied, {}, kCopied, 0, kNoMessage, true},
        NoDragCase{"ShiftInsert", 45, 1, 0, kCopied, {}, kCopied, 0, kNoMessage, true},
        NoDragCase{"CtrlShiftV", 86, 3, 0, kCopied, {}, {}, 0, kNoMessage, false},
        NoDragCase{"CtrlInsertCopies", 45, 2, 0, kCopied, {}, {}, 0, kNoMessage, false},
        NoDragCase{"PlainV", 86, 0, 0, kCopied, {}, {}, 0, kNoMessage, false},
        NoDragCase{"TextOnTheClipboard", 86, 2, 0, std::nullopt, {}, {}, 0, kNoFileName, true},
        NoDragCase{"NothingThatNamesAFile", 86, 2, 0, Strings{kNul}, {}, {}, 0, kNoFileName, true},
        NoDragCase{"AnEmptyFileList", 45, 1, 0, Strings{}, {}, {}, 0, kNoMessage, true},
        NoDragCase{"Enter", 0, 0, 13, {}, {"/b", "/a"}, {"/b", "/a"}, 1, kNoMessage, true},
        NoDragCase{"Space", 0, 0, 32, {}, {"/a"}, {"/a"}, 1, kNoMessage, true},
        NoDragCase{"OtherKeysOpenNothing", 0, 0, 'a', {}, {"/a"}, {}, 0, kNoMessage, false},
        NoDragCase{"DoubleClick", 0, 0, 0, {}, {"/a", "/a"}, {"/a", "/a"}, 1, kNoMessage, true},
        NoDragCase{"Cancelled", 0, 0, 13, {}, {}, {}, 1, kNoMessage, true}),
    [](const auto& info) { return info.param.what; });

// During a run the list is the run's: a paste and the dialog are refused, as a drop is.
TEST_F(Form1Test, NoFileComesInDuringARun) {
    w_.fs.addFile("/src/a.txt", "a");
    w_.fs.addDir("/out");
    w_.form.Picture1_OLEDragDrop(ListedFiles({"/src/a.txt"}));
    w_.saveTo.setText("/out");
    w_.clipboard.files_ = Strings{"/src/late.txt"};
    w_.commonDialog1.chosen_ = {"/src/late.txt"};
    w_.waiter.meanwhile = [&] {
        w_.waiter.meanwhile = nullptr;
        std::int16_t KeyCode = 86;
        w_.form.Form_KeyDown(KeyCode, 2);
        std::int16_t KeyAscii = 13;
        w_.form.Picture1_KeyPress(KeyAscii);
        w_.form.Picture1_DblClick();
        EXPECT_EQ(KeyCode, 0);
        EXPECT_EQ(KeyAscii, 0);
    };

    w_.form.ReplicateBtn_Click();

    EXPECT_EQ(paths(), Strings{"/src/a.txt"});
    EXPECT_TRUE(w_.commonDialog1.titles.empty());
    EXPECT_TRUE(w_.messageBox.shown.empty());
}

}  // namespace
}  // namespace vantrel::test
