#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"
#include "win32/dpi.h"

namespace vantrel::expected {

// Failures name the control rather than dump its bytes.
void PrintTo(const Control& control, std::ostream* out) {
    *out << control.name;
}

}  // namespace vantrel::expected

namespace vantrel::test {
namespace {

// The template boxes of the two arrays are rows of the sliding frame, not windows.
bool isWindow(const expected::Control& control) {
    return control.name != "Text1" && control.name != "CopyTimes";
}

std::vector<expected::Control> windowControls() {
    std::vector<expected::Control> controls;
    for (const expected::Control& control : expected::controls()) {
        if (isWindow(control)) {
            controls.push_back(control);
        }
    }
    return controls;
}

// Controls that draw no text of their own, so that their font is never seen.
const std::set<std::string> kWithoutText{"ShapeProgress", "ShapeProgressBack", "VScrollFiles",
                                         "Picture1"};

// Controls whose window text is their caption (a list's text is its current item).
bool showsCaption(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    const std::wstring className = name;
    return className == L"VantrelWindow" || className == L"Button" || className == L"Edit";
}

bool shown(HWND hwnd) {
    return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

class WindowTest : public testing::Test {
  protected:
    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        window_ = std::make_unique<Window>(painter_);
    }

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

TEST_F(WindowTest, TheScreenHas96Dpi) {
    EXPECT_EQ(win32::screenDpi(), 96);
}

class ControlTest : public WindowTest, public testing::WithParamInterface<expected::Control> {};

// Container, place, caption, font and visibility as the window is built; visibility once loaded.
TEST_P(ControlTest, IsWhereTheLayoutPutsIt) {
    const expected::Control& control = GetParam();
    const HWND hwnd = window_->child(control.name);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(::GetParent(hwnd), window_->child(control.container));
    const RECT place = placeOf(hwnd);
    const RECT wanted = pixels(control.rect);
    EXPECT_EQ(place.left, wanted.left);
    EXPECT_EQ(place.top, wanted.top);
    EXPECT_EQ(place.right, wanted.right);
    EXPECT_EQ(place.bottom, wanted.bottom);
    if (showsCaption(hwnd)) {
        EXPECT_EQ(toUtf8(windowText(hwnd)), control.caption);
    }
    if (!kWithoutText.contains(control.name)) {
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        LOGFONTW look{};
        ASSERT_NE(::GetObjectW(font, sizeof look, &look), 0);
        EXPECT_EQ(std::wstring(look.lfFaceName), L"MS Sans Serif");
        // 8.25 points at 96 dpi: 11 pixels of character height.
        EXPECT_EQ(look.lfHeight, -11);
        EXPECT_EQ(look.lfWeight, control.bold ? 700 : 400);
    }
    EXPECT_EQ(shown(hwnd), control.shown);
    window_->form.logic().Form_Load();
    // Form_Load hides the bar until the list outgrows its view.
    EXPECT_EQ(shown(hwnd), control.shown && control.name != "VScrollFiles");
}

INSTANTIATE_TEST_SUITE_P(Form1, ControlTest, testing::ValuesIn(windowControls()),
                         [](const testing::TestParamInfo<expected::Control>& info) {
                             return info.param.name;
                         });

TEST_F(WindowTest, TheWindowItself) {
    const HWND form = window_->form.hwnd();
    EXPECT_EQ(toUtf8(windowText(form)), expected::kTitle);
    RECT client;
    ::GetClientRect(form, &client);
    EXPECT_EQ(client.right, pixels(expected::kFormWidth));
    EXPECT_EQ(client.bottom, pixels(expected::kFormHeight));
    EXPECT_EQ(client.right, 566);
    EXPECT_EQ(client.bottom, 484);
    const auto style = static_cast<DWORD>(::GetWindowLongPtrW(form, GWL_STYLE));
    for (const DWORD part :
         {WS_CAPTION, WS_SYSMENU, WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX}) {
        EXPECT_EQ(style & part, part) << std::hex << part;
    }
    EXPECT_EQ(::GetMenu(form), nullptr);
    EXPECT_NE(::SendMessageW(form, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(::SendMessageW(form, WM_GETICON, ICON_SMALL, 0), 0);
}

TEST_F(WindowTest, TheFilesMenuOnlyPopsUp) {
    EXPECT_EQ(::GetMenu(window_->form.hwnd()), nullptr);
    const HMENU menu = window_->form.popupMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(::GetMenuItemCount(menu), 1);
    wchar_t caption[64] = {};
    ::GetMenuStringW(menu, 0, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(caption), L"Delete File input");
    EXPECT_EQ(::GetMenuState(menu, 0, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED | MF_CHECKED), 0u);
}

class StackingTest : public WindowTest, public testing::WithParamInterface<std::string> {};

// Siblings are drawn by their z-order: the first of the layout's list is on top.
TEST_P(StackingTest, FirstListedIsInFront) {
    std::vector<std::string> frontToBack;
    std::map<HWND, std::string> names;
    for (const expected::Control& control : windowControls()) {
        if (control.container == GetParam()) {
            frontToBack.push_back(control.name);
        }
        names[window_->child(control.name)] = control.name;
    }
    ASSERT_GT(frontToBack.size(), 2u);
    std::vector<std::string> stacked;
    for (HWND child = ::GetWindow(window_->child(GetParam()), GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (names.contains(child)) {
            stacked.push_back(names[child]);
        }
    }
    EXPECT_EQ(stacked, frontToBack);
}

INSTANTIATE_TEST_SUITE_P(Form1, StackingTest, testing::Values("Form1", "CopyDestFrame"));

void pressTab(win32::Form1Window& form, bool shift) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    ::SetKeyboardState(keys);
    const MSG tab{::GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
    EXPECT_TRUE(form.translate(tab));
    keys[VK_SHIFT] = 0;
    ::SetKeyboardState(keys);
}

std::string focusName(const Window& window) {
    const HWND focus = ::GetFocus();
    for (const expected::Control& control : expected::controls()) {
        if (window.child(control.name) == focus) {
            return control.name;
        }
    }
    return "(none)";
}

class TabTest : public WindowTest, public testing::WithParamInterface<bool> {};

// Tab passes the hidden bar by; once a long list shows it, the bar has its turn. Shift+Tab
// goes the other way.
TEST_P(TabTest, FocusStartsOnDrive1AndTabFollowsTheOrder) {
    const bool barShown = GetParam();
    window_->open();
    EXPECT_EQ(focusName(*window_), expected::kTabOrder.front());
    if (barShown) {
        window_->controls().VScrollFiles.setVisible(true);
    }
    std::vector<std::string> order;
    for (const std::string& name : expected::kTabOrder) {
        if (barShown || name != "VScrollFiles") {
            order.push_back(name);
        }
    }
    order.push_back(order.front());

    std::vector<std::string> visited{focusName(*window_)};
    for (std::size_t i = 1; i < order.size(); ++i) {
        pressTab(window_->form, false);
        visited.push_back(focusName(*window_));
    }
    EXPECT_EQ(visited, order);

    std::vector<std::string> back{focusName(*window_)};
    for (std::size_t i = 1; i < order.size(); ++i) {
        pressTab(window_->form, true);
        back.push_back(focusName(*window_));
    }
    EXPECT_EQ(back, std::vector<std::string>(order.rbegin(), order.rend()));
}

INSTANTIATE_TEST_SUITE_P(Form1, TabTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "BarShown" : "BarHidden";
                         });

TEST_F(WindowTest, ResizingMovesNothing) {
    window_->open();
    std::map<HWND, RECT> before;
    for (const expected::Control& control : windowControls()) {
        before[window_->child(control.name)] = placeOf(window_->child(control.name));
    }
    ASSERT_EQ(before.size(), 19u);
    ::SetWindowPos(window_->form.hwnd(), nullptr, 0, 0, 1000, 900, SWP_NOMOVE | SWP_NOZORDER);
    pumpMessages(window_->form);
    for (const auto& [hwnd, place] : before) {
        const RECT after = placeOf(hwnd);
        EXPECT_TRUE(::EqualRect(&place, &after));
    }
}

TEST_F(WindowTest, StartUpState) {
    const Form1Controls& controls = window_->controls();
    EXPECT_EQ(controls.Picture1.dropMode(), DropMode::None);
    window_->open();

    EXPECT_EQ(controls.Picture1.dropMode(), DropMode::Manual);
    for (TextBoxArray* array : {&controls.Text1, &controls.CopyTimes}) {
        EXPECT_EQ(array->count(), 1);
        EXPECT_EQ(array->item(0).top(), expected::kFirstRowTop - expected::kRowHeight);
        EXPECT_FALSE(array->item(0).visible());
        EXPECT_EQ(array->item(0).text(), "");
    }
    const HWND bar = window_->child("VScrollFiles");
    EXPECT_FALSE(::IsWindowVisible(bar));
    SCROLLINFO info{sizeof info, SIF_ALL, 0, 0, 0, 0, 0};
    ASSERT_TRUE(::GetScrollInfo(bar, SB_CTL, &info));
    EXPECT_EQ(info.nMin, -30);
    EXPECT_EQ(info.nMax, 32767);
    EXPECT_EQ(info.nPos, 0);
    EXPECT_EQ(info.nPage, 1u);
    EXPECT_EQ(controls.VScrollFiles.smallChange(), 1);
    EXPECT_EQ(controls.VScrollFiles.largeChange(), 1);
    EXPECT_EQ(controls.FrameSlide.top(), expected::kFrameSlide.top);
    EXPECT_EQ(placeOf(window_->child("FrameSlide")).top, pixels(expected::kFrameSlide.top));
    EXPECT_EQ(controls.ShapeProgress.width(), 0.0);
    const RECT bar0 = placeOf(window_->child("ShapeProgress"));
    EXPECT_EQ(bar0.right - bar0.left, 0);
    EXPECT_EQ(controls.ShapeProgressBack.width(), expected::kFullBar);
    EXPECT_EQ(controls.LabelProgress.caption(), "");
    EXPECT_EQ(controls.SaveTo.text(), "");
    EXPECT_EQ(window_->form.pathEditor(0), nullptr);
    EXPECT_TRUE(window_->messageBox.shown.empty());
}

TEST_F(WindowTest, ClosingDestroysTheWindowAndTellsTheProgram) {
    bool told = false;
    window_->form.destroyed = [&told] { told = true; };
    window_->open();
    ::SendMessageW(window_->form.hwnd(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(told);
    EXPECT_EQ(window_->form.hwnd(), nullptr);
}

}  // namespace
}  // namespace vantrel::test
