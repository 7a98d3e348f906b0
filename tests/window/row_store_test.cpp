#include "window/row_store.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "filelist/file_list.h"
#include "platform/failure.h"
#include "support/expected.h"

namespace vantrel::test {
namespace {

using expected::kRowHeight;

int pixels(double twips) {
    return static_cast<int>(std::lround(twips / 15));
}

TwipsRect twips(const expected::Rect& rect) {
    return {rect.left, rect.top, rect.width, rect.height};
}

// An editor that remembers what it was told; typing is the user changing its text.
class FakeEditor : public RowEditor {
  public:
    void type(const std::string& text) {
        text_ = text;
        edited(text);
    }

    std::string text_;
    PixelRect box{};
    bool shown = false;
    bool focus = false;
    std::string control;
    std::string accessible;

  private:
    // A toolkit reports the change a program makes, as the user's: the row must not take it.
    void showText(const std::string& text) override { type(text); }
    void place(const PixelRect& to) override { box = to; }
    void setShown(bool show) override { shown = show; }
    bool focused() const override { return focus; }
    void name(const std::string& controlName, const std::string& accessibleName) override {
        control = controlName;
        accessible = accessibleName;
    }
};

// The list's frames as the window lays them out, the sliding frame at `frameTop` inside the
// fixed frame, 15 twips a pixel; the view is what the fixed frame shows of the sliding frame.
struct List : RowEditors {
    explicit List(int rows) {
        for (TextBoxArray* array : {&store.Text1(), &store.CopyTimes()}) {
            array->item(0).setTop(expected::kFirstRowTop - kRowHeight);
        }
        FileList list(store.Text1(), store.CopyTimes());
        for (int i = 1; i <= rows; ++i) {
            list.append("path " + std::to_string(i), std::to_string(i));
        }
    }

    std::unique_ptr<RowEditor> make(RowColumn /*column*/) override {
        auto editor = std::make_unique<FakeEditor>();
        made.push_back(editor.get());
        return editor;
    }
    void rowsChanged() override { ++changes; }

    void rebind() {
        const int top = pixels(frameTop);
        const int height = pixels(store.Text1().count() * kRowHeight);
        const int left = pixels(expected::kFrameSlide.left);
        const PixelRect view{
            std::max(0, -left), std::max(0, -top),
            std::min(pixels(expected::kFrameSlide.width), pixels(expected::kFrameFix.width) - left),
            std::min(height, pixels(expected::kFrameFix.height) - top)};
        store.rebind(view, pixels);
    }

    FakeEditor* editor(RowColumn column, int index) {
        return static_cast<FakeEditor*>(store.editor(column, index));
    }

    std::vector<int> rowsWithEditors() {
        rebind();
        std::vector<int> rows;
        for (int i = 0; i <= store.Text1().ubound(); ++i) {
            if (editor(RowColumn::Path, i) != nullptr) {
                rows.push_back(i);
            }
        }
        return rows;
    }

    int shownEditors() const {
        return static_cast<int>(std::ranges::count(made, true, &FakeEditor::shown));
    }

    std::vector<FakeEditor*> made;
    int changes = 0;
    double frameTop = expected::kFrameSlide.top;
    RowStore store{*this, twips(expected::kPathTemplate), twips(expected::kCountTemplate)};
};

std::vector<int> range(int first, int last) {
    std::vector<int> rows;
    for (int i = first; i <= last; ++i) {
        rows.push_back(i);
    }
    return rows;
}

struct InView {
    const char* name;
    double frameTop;
    std::vector<int> rows;
};

class RowsInViewTest : public testing::TestWithParam<InView> {};

TEST_P(RowsInViewTest, OnlyTheRowsInViewHaveEditors) {
    List list(20);
    list.frameTop = GetParam().frameTop;
    EXPECT_EQ(list.rowsWithEditors(), GetParam().rows);
    EXPECT_EQ(list.shownEditors(), 2 * static_cast<int>(GetParam().rows.size()));
    for (int i : GetParam().rows) {
        const FakeEditor* path = list.editor(RowColumn::Path, i);
        const FakeEditor* count = list.editor(RowColumn::Count, i);
        EXPECT_EQ(path->text_, "path " + std::to_string(i));
        EXPECT_EQ(count->text_, std::to_string(i));
        EXPECT_EQ(path->box, (PixelRect{8, 12 + 25 * (i - 1), 8 + 449, 12 + 25 * i}));
        EXPECT_EQ(count->box, (PixelRect{456, 12 + 25 * (i - 1), 456 + 57, 12 + 25 * i}));
        EXPECT_EQ(path->control, "Text1(" + std::to_string(i) + ")");
        EXPECT_EQ(count->control, "CopyTimes(" + std::to_string(i) + ")");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Frame, RowsInViewTest,
    testing::Values(
        InView{"DesignPosition", expected::kFrameSlide.top, range(1, 6)},
        InView{"BarAtItsMinimum", 300.0, range(1, 7)}, InView{"BarAt0", 0.0, range(1, 7)},
        InView{"PartlyScrolled", -2000.0, range(5, 13)},
        InView{"BottomOfTheList", -(21 * kRowHeight - expected::kFrameFix.height), range(14, 20)},
        InView{"BelowTheViewport", 3000.0, {}}, InView{"AboveTheViewport", -(21 * kRowHeight), {}}),
    [](const testing::TestParamInfo<InView>& info) { return std::string(info.param.name); });

struct Placement {
    const char* name;
    int unload;
    int moveRow;
    double moveTo;
    std::vector<int> rows;
};

class PlacementTest : public testing::TestWithParam<Placement> {};

// Rows are normally placed top to bottom without gaps; any other placement must still show
// exactly the rows in view.
TEST_P(PlacementTest, RowsPlacedOutOfOrderOrWithGaps) {
    List list(20);
    list.rebind();
    if (GetParam().unload != 0) {
        list.store.Text1().unload(GetParam().unload);
    }
    if (GetParam().moveRow != 0) {
        list.store.Text1().item(GetParam().moveRow).setTop(GetParam().moveTo);
    }
    EXPECT_EQ(list.rowsWithEditors(), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PlacementTest,
    testing::Values(
        Placement{"InOrder", 0, 0, 0.0, range(1, 6)},
        Placement{"ALateRowMovedUp", 0, 15, expected::rowTop(2), {1, 2, 3, 4, 5, 6, 15}},
        Placement{"AnEarlyRowMovedDown", 0, 2, 5000.0, {1, 3, 4, 5, 6}},
        Placement{"AGapInView", 3, 0, 0.0, {1, 2, 4, 5, 6}},
        Placement{"AGapAndAMovedRow", 9, 12, expected::rowTop(1), {1, 2, 3, 4, 5, 6, 12}}),
    [](const testing::TestParamInfo<Placement>& info) { return std::string(info.param.name); });

TEST(RowStore, EditorsAreReusedAsTheListScrolls) {
    List list(200);
    list.rebind();
    EXPECT_EQ(list.shownEditors(), 12);
    for (int value = -30; value <= 200 * 37; value += 7) {
        list.frameTop = -10.0 * value;
        list.rebind();
    }
    list.frameTop = -(201 * kRowHeight - expected::kFrameFix.height);
    EXPECT_EQ(list.rowsWithEditors(), range(194, 200));
    EXPECT_LE(list.made.size(), 2U * 9);
}

TEST(RowStore, ShownRowsThatMoveOrAppearAskForARebind) {
    List list(3);
    const int before = list.changes;
    list.store.Text1().item(0).setTop(0);
    list.store.Text1().load(4);
    list.store.Text1().item(4).setTop(expected::rowTop(4));
    EXPECT_EQ(list.changes, before);
    list.store.Text1().item(4).setVisible(true);
    list.store.Text1().item(2).setTop(expected::rowTop(5));
    EXPECT_EQ(list.changes, before + 2);
}

TEST(RowStore, HiddenRowsAndTheTemplateHaveNoEditor) {
    List list(3);
    list.store.Text1().item(0).setTop(expected::rowTop(1));
    list.store.Text1().item(0).setVisible(true);
    list.rebind();
    FakeEditor* second = list.editor(RowColumn::Path, 2);
    ASSERT_NE(second, nullptr);
    list.store.Text1().item(2).setVisible(false);
    EXPECT_FALSE(second->shown);
    EXPECT_EQ(list.rowsWithEditors(), (std::vector<int>{1, 3}));
    EXPECT_EQ(list.shownEditors(), 5);
    EXPECT_EQ(list.editor(RowColumn::Count, 0), nullptr);
    list.store.CopyTimes().load(4);
    list.store.CopyTimes().item(4).setTop(expected::rowTop(4));
    list.rebind();
    EXPECT_EQ(list.editor(RowColumn::Count, 4), nullptr);
}

// What the user types is the row's text at once; a text set on the row shows in its editor,
// without coming back as the user's.
TEST(RowStore, TextsPassBothWaysAndEditorsAreNamed) {
    List list(3);
    list.store.setAccessibleRowNames("File", "Copies of file");
    list.rebind();
    FakeEditor* count = list.editor(RowColumn::Count, 3);
    count->type("307");
    EXPECT_EQ(list.store.CopyTimes().item(3).text(), "307");
    EXPECT_EQ(count->index(), 3);
    EXPECT_EQ(count->row(), &list.store.CopyTimes().item(3));
    EXPECT_EQ(count->accessible, "Copies of file 3");
    EXPECT_EQ(list.editor(RowColumn::Path, 2)->accessible, "File 2");
    list.store.Text1().item(2).setText("/photos/a.jpg");
    EXPECT_EQ(list.editor(RowColumn::Path, 2)->text_, "/photos/a.jpg");

    list.store.CopyTimes().unload(3);
    EXPECT_EQ(count->row(), nullptr);
    EXPECT_EQ(count->index(), 0);
    count->type("9");
    EXPECT_EQ(list.store.CopyTimes().item(2).text(), "2");
}

TEST(RowStore, TheFocusedEditorStaysWithItsRow) {
    List list(30);
    list.rebind();
    FakeEditor* count = list.editor(RowColumn::Count, 2);
    count->focus = true;
    list.frameTop = -6000;
    list.rebind();
    EXPECT_EQ(list.editor(RowColumn::Count, 2), count);
    EXPECT_EQ(list.editor(RowColumn::Path, 2), nullptr);
    EXPECT_EQ(count->box.top, pixels(expected::rowTop(2)));
}

TEST(RowStore, TheEditorsInViewGoByRowPathFirst) {
    List list(2);
    list.rebind();
    const std::vector<RowEditor*> wanted{
        list.editor(RowColumn::Path, 1), list.editor(RowColumn::Count, 1),
        list.editor(RowColumn::Path, 2), list.editor(RowColumn::Count, 2)};
    EXPECT_EQ(list.store.editorsInView(), wanted);
}

int failureNumber(const std::function<void()>& step) {
    try {
        step();
    } catch (const Failure& failure) {
        return failure.number();
    }
    return 0;
}

TEST(RowStore, LoadAndUnloadKeepTheirRules) {
    List list(3);
    TextBoxArray& paths = list.store.Text1();
    EXPECT_EQ(failureNumber([&] { paths.load(2); }), kObjectAlreadyLoaded);
    EXPECT_EQ(failureNumber([&] { paths.unload(0); }), kSubscriptOutOfRange);
    EXPECT_EQ(failureNumber([&] { paths.load(32768); }), kSubscriptOutOfRange);

    list.rebind();
    const FakeEditor* first = list.editor(RowColumn::Path, 1);
    ASSERT_NE(first, nullptr);
    paths.unload(1);
    EXPECT_FALSE(first->shown);
    EXPECT_EQ(failureNumber([&] { paths.unload(1); }), kElementDoesNotExist);
    EXPECT_EQ(failureNumber([&] { paths.item(1); }), kElementDoesNotExist);
    EXPECT_EQ(paths.count(), 3);
    EXPECT_EQ(paths.ubound(), 3);
    paths.unload(3);
    EXPECT_EQ(paths.ubound(), 2);

    paths.item(0).setText("template");
    paths.load(3);
    EXPECT_EQ(paths.item(3).text(), "template");
    EXPECT_EQ(paths.item(3).top(), expected::kFirstRowTop - kRowHeight);
    EXPECT_EQ(paths.item(3).height(), kRowHeight);
    EXPECT_FALSE(paths.item(3).visible());
    list.rebind();
    EXPECT_EQ(list.editor(RowColumn::Path, 3), nullptr);
}

TEST(RowStore, TheLongestListShowsItsLastRows) {
    List list(32767);
    list.frameTop = -(12288000.0 - expected::kFrameFix.height);
    EXPECT_EQ(list.rowsWithEditors(), range(32761, 32767));
    EXPECT_EQ(list.editor(RowColumn::Path, 32767)->text_, "path 32767");
}

}  // namespace
}  // namespace vantrel::test
