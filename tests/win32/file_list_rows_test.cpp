#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

std::vector<std::string> files(int count) {
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) {
        paths.push_back("C:\\files\\f" + std::to_string(i) + ".txt");
    }
    return paths;
}

class FileListRowsTest : public testing::Test {
  protected:
    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        window_ = std::make_unique<Window>(painter_);
        window_->open();
    }

    void scroll(int request) {
        ::SendMessageW(window_->form.hwnd(), WM_VSCROLL, MAKEWPARAM(request, 0),
                       reinterpret_cast<LPARAM>(window_->child("VScrollFiles")));
    }

    int editorsInView(int rows) {
        int editors = 0;
        for (int i = 1; i <= rows; ++i) {
            editors += window_->form.pathEditor(i) != nullptr ? 1 : 0;
        }
        return editors;
    }

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

// A dropped list longer than the view gets edit controls only for the rows the view shows;
// scrolling lends them to the rows that come into view.
TEST_F(FileListRowsTest, OnlyTheRowsInViewHaveEditControls) {
    const int rows = 40;
    dropOn(window_->child("Picture1"), files(rows));
    const Form1Controls& controls = window_->controls();
    ASSERT_EQ(controls.Text1.count(), rows + 1);
    EXPECT_EQ(controls.FrameSlide.height(), (rows + 1) * expected::kRowHeight);
    EXPECT_TRUE(::IsWindowVisible(window_->child("VScrollFiles")));

    const HWND first = window_->form.pathEditor(1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(toUtf8(windowText(first)), "C:\\files\\f1.txt");
    EXPECT_EQ(toUtf8(windowText(window_->form.countEditor(1))), "1");
    const RECT place = placeOf(first);
    const RECT wanted = pixels({expected::kPathTemplate.left, expected::rowTop(1),
                                expected::kPathTemplate.width, expected::kRowHeight});
    EXPECT_TRUE(::EqualRect(&place, &wanted));
    EXPECT_EQ(window_->form.pathEditor(rows), nullptr);
    // Rows whose top lies above the list frame's bottom edge, in its pixels: 1 to 6.
    int shown = 0;
    while (pixels(expected::kFrameSlide.top) + pixels(expected::rowTop(shown + 1)) <
           pixels(expected::kFrameFix.height)) {
        ++shown;
    }
    EXPECT_EQ(shown, 6);
    EXPECT_EQ(editorsInView(rows), shown);

    scroll(SB_BOTTOM);
    EXPECT_EQ(controls.FrameSlide.top(), -10.0 * controls.VScrollFiles.max());
    EXPECT_EQ(window_->form.pathEditor(1), nullptr);
    const HWND last = window_->form.pathEditor(rows);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(toUtf8(windowText(last)), "C:\\files\\f40.txt");
    EXPECT_LE(editorsInView(rows), shown + 1);
}

// A list far taller than a window may be (16 bits of pixels) scrolls to its last row, which
// shows where the list frame's bottom edge is.
TEST_F(FileListRowsTest, AListTallerThanAnyWindowScrollsToItsEnd) {
    const int rows = 2000;
    dropOn(window_->child("Picture1"), files(rows));
    scroll(SB_BOTTOM);
    const Form1Controls& controls = window_->controls();
    ASSERT_EQ(controls.VScrollFiles.value(), controls.VScrollFiles.max());
    const double slideTop = -10.0 * controls.VScrollFiles.max();
    EXPECT_LT(pixels(slideTop), -32768);

    const HWND last = window_->form.pathEditor(rows);
    ASSERT_NE(last, nullptr);
    EXPECT_TRUE(::IsWindowVisible(last));
    RECT place;
    ::GetWindowRect(last, &place);
    ::MapWindowPoints(nullptr, window_->child("FrameFix"), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(controls.FrameSlide.top(), slideTop);
    EXPECT_EQ(place.top, pixels(slideTop) + pixels(expected::rowTop(rows)));
    EXPECT_GT(place.bottom, pixels(expected::kFrameFix.height) - pixels(expected::kRowHeight));
    EXPECT_LE(place.top, pixels(expected::kFrameFix.height));
    EXPECT_EQ(toUtf8(windowText(last)), "C:\\files\\f2000.txt");
}

// The list follows the thumb once it is released, not while it is dragged.
TEST_F(FileListRowsTest, DraggingTheThumbMovesTheListOnlyOnRelease) {
    dropOn(window_->child("Picture1"), files(40));
    const Form1Controls& controls = window_->controls();
    const double top = controls.FrameSlide.top();
    scroll(SB_THUMBTRACK);
    EXPECT_EQ(controls.VScrollFiles.value(), 0);
    EXPECT_EQ(controls.FrameSlide.top(), top);
    scroll(SB_LINEDOWN);
    EXPECT_EQ(controls.VScrollFiles.value(), controls.VScrollFiles.smallChange());
    EXPECT_EQ(controls.FrameSlide.top(), -10.0 * controls.VScrollFiles.value());
    scroll(SB_PAGEUP);
    EXPECT_EQ(controls.VScrollFiles.value(), controls.VScrollFiles.min());
    EXPECT_EQ(controls.FrameSlide.top(), 300.0);
}

// A shorter list lowers the bar's maximum under its value: the list moves with the value, so
// that no gap opens below the last row.
TEST_F(FileListRowsTest, DeletingAtTheBottomKeepsTheListAtTheBarsValue) {
    const int rows = 40;
    dropOn(window_->child("Picture1"), files(rows));
    scroll(SB_BOTTOM);
    const Form1Controls& controls = window_->controls();
    const int before = controls.VScrollFiles.value();
    const HWND last = window_->form.pathEditor(rows);
    ASSERT_NE(last, nullptr);
    // The right button only picks the entry; the menu's item deletes it. (Its release would
    // open the box's own context menu.)
    ::SendMessageW(last, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, 5));
    window_->form.logic().PUMenu_DeleteFile_Click();
    pumpMessages(window_->form);

    EXPECT_EQ(controls.Text1.count(), rows);
    EXPECT_LT(controls.VScrollFiles.value(), before);
    EXPECT_EQ(controls.VScrollFiles.value(), controls.VScrollFiles.max());
    EXPECT_EQ(controls.FrameSlide.top(), -10.0 * controls.VScrollFiles.value());
    EXPECT_EQ(toUtf8(windowText(window_->form.pathEditor(rows - 1))), "C:\\files\\f39.txt");
}

}  // namespace
}  // namespace vantrel::test
