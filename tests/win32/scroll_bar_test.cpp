#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

enum class Part { UpArrow, PageAboveThumb, PageBelowThumb, DownArrow };

// A point in the bar's client area on that part of it, as the control lays itself out now.
POINT pointOn(HWND bar, Part part) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    ::GetScrollBarInfo(bar, OBJID_CLIENT, &info);
    const int length = info.rcScrollBar.bottom - info.rcScrollBar.top;
    const int arrow = info.dxyLineButton;
    const int x = (info.rcScrollBar.right - info.rcScrollBar.left) / 2;
    switch (part) {
        case Part::UpArrow:
            return {x, arrow / 2};
        case Part::PageAboveThumb:
            return {x, (arrow + info.xyThumbTop) / 2};
        case Part::PageBelowThumb:
            return {x, (info.xyThumbBottom + length - arrow) / 2};
        case Part::DownArrow:
            break;
    }
    return {x, length - arrow / 2};
}

// A click on the bar: the release waits in the queue for the control's own tracking loop,
// which the press starts and which sends the window what the control makes of it.
void click(HWND bar, POINT at) {
    const LPARAM where = MAKELPARAM(at.x, at.y);
    ::PostMessageW(bar, WM_LBUTTONUP, 0, where);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, where);
}

struct Click {
    const char* name;
    bool fromTheBottom;
    Part part;
    // The bar's value after the click.
    std::function<int(const ScrollBar& bar)> value;
};

void PrintTo(const Click& c, std::ostream* out) {
    *out << c.name;
}

class ScrollBarClickTest : public testing::TestWithParam<Click> {
  protected:
    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        window_ = std::make_unique<Window>(painter_);
        window_->open();
        std::vector<std::string> paths;
        for (int i = 1; i <= 40; ++i) {
            paths.push_back("C:\\files\\f" + std::to_string(i) + ".txt");
        }
        dropOn(window_->child("Picture1"), paths);
        ASSERT_TRUE(::IsWindowVisible(window_->child("VScrollFiles")));
    }

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

// The arrows move the list by the bar's SmallChange and the page areas by its LargeChange, no
// further than the ends of its range.
TEST_P(ScrollBarClickTest, MovesTheList) {
    const Click& c = GetParam();
    const HWND bar = window_->child("VScrollFiles");
    const Form1Controls& controls = window_->controls();
    if (c.fromTheBottom) {
        ::SendMessageW(window_->form.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0),
                       reinterpret_cast<LPARAM>(bar));
        ASSERT_EQ(controls.VScrollFiles.value(), controls.VScrollFiles.max());
    }
    click(bar, pointOn(bar, c.part));
    pumpMessages(window_->form);

    const int value = c.value(controls.VScrollFiles);
    EXPECT_EQ(controls.VScrollFiles.value(), value);
    EXPECT_EQ(::GetScrollPos(bar, SB_CTL), value);
    EXPECT_EQ(controls.FrameSlide.top(), -10.0 * value);
    // On screen too: the first row in view sits where the frame's new top puts it.
    int first = 1;
    while (first <= 40 && window_->form.pathEditor(first) == nullptr) {
        ++first;
    }
    ASSERT_LE(first, 40);
    RECT place;
    ::GetWindowRect(window_->form.pathEditor(first), &place);
    ::MapWindowPoints(nullptr, window_->child("FrameFix"), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(place.top, pixels(-10.0 * value) + pixels(expected::rowTop(first)));
    EXPECT_EQ(::GetCapture(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, ScrollBarClickTest,
    testing::Values(Click{"DownArrow", false, Part::DownArrow,
                          [](const ScrollBar& bar) { return bar.smallChange(); }},
                    Click{"PageBelowThumb", false, Part::PageBelowThumb,
                          [](const ScrollBar& bar) { return bar.largeChange(); }},
                    Click{"UpArrowStopsAtTheTop", false, Part::UpArrow,
                          [](const ScrollBar& bar) { return bar.min(); }},
                    Click{"UpArrowFromTheBottom", true, Part::UpArrow,
                          [](const ScrollBar& bar) { return bar.max() - bar.smallChange(); }},
                    Click{"PageAboveThumbFromTheBottom", true, Part::PageAboveThumb,
                          [](const ScrollBar& bar) { return bar.max() - bar.largeChange(); }},
                    Click{"DownArrowStopsAtTheBottom", true, Part::DownArrow,
                          [](const ScrollBar& bar) { return bar.max(); }}),
    [](const testing::TestParamInfo<Click>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::test
