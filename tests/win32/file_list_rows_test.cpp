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

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

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

// The list does not follow the thumb while it is dragged; the arrows and page areas are the
// shared table's (form1_window_test.cpp).
TEST_F(FileListRowsTest, TheListStaysWhileTheThumbIsDragged) {
    dropOn(window_->child("Picture1"), files(40));
    const Form1Controls& controls = window_->controls();
    const double top = controls.FrameSlide.top();
    scroll(SB_THUMBTRACK);
    EXPECT_EQ(controls.VScrollFiles.value(), 0);
    EXPECT_EQ(controls.FrameSlide.top(), top);
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
