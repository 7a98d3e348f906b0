// The Win32 window against the table both windows pass (support/window_conformance.h), and
// what only the Win32 window has.

#include "support/win32/window_probe.h"

namespace vantrel::conformance {
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, WindowConformance, test::Win32WindowProbe);
}  // namespace vantrel::conformance

namespace vantrel::test {
namespace {

class Win32Window : public testing::Test {
  protected:
    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        window_ = std::make_unique<Window>(painter_);
    }

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

TEST_F(Win32Window, IsAnOverlappedWindowWithIcons) {
    const HWND form = window_->form.hwnd();
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE));
    for (const DWORD part :
         {WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) {
        EXPECT_EQ(style & part, part) << std::hex << part;
    }
    EXPECT_NE(::SendMessageW(form, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageW(form, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(Win32Window, StartsWithoutRowEditorsAndPlacesTheSlidingFrame) {
    window_->open();
    EXPECT_EQ(window_->form.pathEditor(0), nullptr);
    EXPECT_EQ(placeOf(window_->child("FrameSlide")).top, pixels(expected::kFrameSlide.top));
}

TEST_F(Win32Window, ClosingDestroysTheWindowAndTellsTheProgram) {
    bool told = false;
    window_->form.destroyed = [&told] { told = true; };
    window_->open();
    ::SendMessageW(window_->form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(told);
    EXPECT_EQ(window_->form.hwnd(), nullptr);
}

}  // namespace
}  // namespace vantrel::test
