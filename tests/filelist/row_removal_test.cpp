#include "filelist/row_removal.h"

#include <ostream>

#include <gtest/gtest.h>

#include "filelist/scroll_view.h"
#include "support/file_list_window.h"

namespace vantrel::test {
namespace {

using Strings = std::vector<std::string>;
using Tops = std::vector<double>;

// Entries "file1" .. "fileN" whose counts differ, so that a count moving apart from its path
// shows.
void fillCounts(FileListWindow& window) {
    for (int i = 1; i < window.copyTimes.count(); ++i) {
        window.copyTimes.item(i).setText(std::to_string(i * 11));
    }
}

struct DeleteCase {
    int entries;
    std::int16_t selected;
    Strings paths;
    Strings counts;
};

void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << "entry " << c.selected << " of " << c.entries;
}

class DeleteEntry : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteEntry, MovesLaterTextsUpAndUnloadsTheLastRow) {
    const DeleteCase& c = GetParam();
    FileListWindow window;
    window.addEntries(c.entries);
    fillCounts(window);
    PUMenu_DeleteFile_Click(window.controls, c.selected);

    EXPECT_EQ(window.texts(window.text1), c.paths);
    EXPECT_EQ(window.texts(window.copyTimes), c.counts);
    Tops expectedTops;
    for (std::size_t i = 0; i < c.paths.size(); ++i) {
        expectedTops.push_back(expected::rowTop(static_cast<int>(i) + 1));
    }
    EXPECT_EQ(window.tops(window.text1), expectedTops);
    EXPECT_EQ(window.tops(window.copyTimes), expectedTops);
    window.expectParallelAndFitted();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DeleteEntry,
    testing::Values(DeleteCase{4, 2, {"file1", "file3", "file4"}, {"11", "33", "44"}},
                    DeleteCase{4, 4, {"file1", "file2", "file3"}, {"11", "22", "33"}},
                    DeleteCase{1, 1, {}, {}},
                    DeleteCase{7,
                               1,
                               {"file2", "file3", "file4", "file5", "file6", "file7"},
                               {"22", "33", "44", "55", "66", "77"}}));

TEST(RowRemoval, SelectionNamingNoEntryChangesNothing) {
    for (const std::int16_t selected : {0, 5, -1}) {
        FileListWindow window;
        window.addEntries(4);
        fillCounts(window);
        window.frameSlide.setHeight(1234);
        PUMenu_DeleteFile_Click(window.controls, selected);

        EXPECT_EQ(window.texts(window.text1), (Strings{"file1", "file2", "file3", "file4"}));
        EXPECT_EQ(window.texts(window.copyTimes), (Strings{"11", "22", "33", "44"}));
        EXPECT_EQ(window.frameSlide.height(), 1234);
    }
}

TEST(RowRemoval, EveryButtonRecordsOnlyTheLeftOpensTheMenu) {
    std::int16_t selected = 0;
    FakePopupMenu menu;
    Text1_MouseDown(selected, menu, 3, 2);
    EXPECT_EQ(selected, 3);
    Text1_MouseDown(selected, menu, 5, 4);
    EXPECT_EQ(selected, 5);
    EXPECT_EQ(menu.shown, 0);
    Text1_MouseDown(selected, menu, 1, 1);
    EXPECT_EQ(selected, 1);
    EXPECT_EQ(menu.shown, 1);
}

TEST(RowRemoval, ClearingAnEmptyListOnlySaysSo) {
    FileListWindow window;
    ClearBtn_Click(window.controls, window.messages);

    ASSERT_EQ(window.messages.shown.size(), 1u);
    EXPECT_EQ(window.messages.shown[0].text, expected::kNoFilesToDelete);
    EXPECT_EQ(window.messages.shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(window.frameSlide.height(), 1455);
    EXPECT_EQ(window.text1.count(), 1);
}

// A list that no longer needs the bar goes back to its start place, and the bar's value with
// it: rows dropped afterwards would otherwise lie out of view with no bar to reach them.
TEST(RowRemoval, AListThatFitsAgainGoesBackToItsStart) {
    for (const bool clear : {true, false}) {
        SCOPED_TRACE(clear ? "cleared" : "one row deleted");
        FileListWindow window;
        window.addEntries(7);
        window.bar.setValue(22);
        ASSERT_EQ(window.frameSlide.top(), -220);
        if (clear) {
            ClearBtn_Click(window.controls, window.messages);
        } else {
            PUMenu_DeleteFile_Click(window.controls, 7);
        }

        EXPECT_TRUE(window.messages.shown.empty());
        EXPECT_EQ(window.copyTimes.count(), clear ? 1 : 7);
        EXPECT_FALSE(window.bar.visible());
        EXPECT_EQ(window.bar.value(), 0);
        EXPECT_EQ(window.frameSlide.top(), expected::kFrameSlide.top);
        window.expectParallelAndFitted();
    }
    FileListWindow window;
    window.addEntries(10);
    window.bar.setValue(22);
    ClearBtn_Click(window.controls, window.messages);
    window.addEntries(3);
    EXPECT_EQ(window.tops(window.text1), (Tops{180, 555, 930}));
    EXPECT_EQ(window.tops(window.copyTimes), (Tops{180, 555, 930}));
    EXPECT_EQ(window.frameSlide.top(), expected::kFrameSlide.top);
}

}  // namespace
}  // namespace vantrel::test
