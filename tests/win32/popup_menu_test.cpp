#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

// The popup menu of this thread that is open now, or nullptr.
HWND openMenu() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) -> BOOL {
            wchar_t name[16] = {};
            ::GetClassNameW(hwnd, name, 16);
            if (std::wstring_view(name) == L"#32768" && ::IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Answers every popup menu that opens with keys, as a person at the keyboard would. The menu
// holds the thread in its own loop, which still runs this timer.
class MenuAnswerer {
  public:
    explicit MenuAnswerer(std::vector<WPARAM> keys) : keys_(std::move(keys)) {
        current_ = this;
        timer_ = ::SetTimer(nullptr, 0, 20, &MenuAnswerer::tick);
    }
    ~MenuAnswerer() {
        ::KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    MenuAnswerer(const MenuAnswerer&) = delete;
    MenuAnswerer& operator=(const MenuAnswerer&) = delete;

    // The items of each menu seen open, in order.
    std::vector<std::vector<std::string>> menus;
    // A menu the keys did not close; it was ended so that the test goes on.
    bool stuck = false;

  private:
    static constexpr int kPatience = 100;

    static void CALLBACK tick(HWND /*hwnd*/, UINT /*message*/, UINT_PTR /*id*/, DWORD /*time*/) {
        if (current_ != nullptr) {
            current_->look();
        }
    }

    void look() {
        const HWND menu = openMenu();
        if (menu == nullptr) {
            answered_ = nullptr;
            return;
        }
        if (menu == answered_) {
            if (++waited_ > kPatience) {
                stuck = true;
                ::EndMenu();
            }
            return;
        }
        answered_ = menu;
        waited_ = 0;
        menus.push_back(itemsOf(reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0))));
        for (const WPARAM key : keys_) {
            ::PostMessageW(menu, WM_KEYDOWN, key, 1);
            ::PostMessageW(menu, WM_KEYUP, key, 0xC0000001);
        }
    }

    static std::vector<std::string> itemsOf(HMENU menu) {
        std::vector<std::string> items;
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            wchar_t text[128] = {};
            ::GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            items.push_back(toUtf8(text));
        }
        return items;
    }

    static inline MenuAnswerer* current_ = nullptr;
    std::vector<WPARAM> keys_;
    UINT_PTR timer_ = 0;
    HWND answered_ = nullptr;
    int waited_ = 0;
};

const std::vector<std::string> kFilesMenu{"Delete File input"};

std::string pathOf(int i) {
    return "C:\\files\\f" + std::to_string(i) + ".txt";
}

class PopupMenuTest : public testing::Test {
  protected:
    static constexpr int kRows = 7;

    void SetUp() override {
        VANTREL_NEEDS_WINDOWS();
        window_ = std::make_unique<Window>(painter_);
        window_->open();
        std::vector<std::string> paths;
        for (int i = 1; i <= kRows; ++i) {
            paths.push_back(pathOf(i));
        }
        dropOn(window_->child("Picture1"), paths);
        // Counts of their own, to see that each row's count goes with its path.
        for (int i = 1; i <= kRows; ++i) {
            window_->controls().CopyTimes.item(i).setText(std::to_string(10 * i));
        }
        ASSERT_TRUE(::IsWindowVisible(window_->child("VScrollFiles")));
    }

    // The rows' paths and counts, each as "path|count".
    std::vector<std::string> rows() const {
        const Form1Controls& controls = window_->controls();
        std::vector<std::string> rows;
        for (int i = 1; i < controls.Text1.count(); ++i) {
            rows.push_back(controls.Text1.item(i).text() + "|" + controls.CopyTimes.item(i).text());
        }
        return rows;
    }

    NoPainting painter_;
    std::unique_ptr<Window> window_;
};

struct LeftPress {
    const char* name;
    int row;
    std::vector<WPARAM> keys;
    bool deletes;
};

void PrintTo(const LeftPress& c, std::ostream* out) {
    *out << c.name;
}

class LeftPressTest : public PopupMenuTest, public testing::WithParamInterface<LeftPress> {};

// A left press on a path box opens the files menu; its one item deletes that row, and the rows
// below move up, each with its count. A menu closed without a choice deletes nothing.
TEST_P(LeftPressTest, OpensTheFilesMenu) {
    const LeftPress& press = GetParam();
    const HWND box = window_->form.pathEditor(press.row);
    ASSERT_NE(box, nullptr);
    std::vector<std::string> wanted = rows();
    if (press.deletes) {
        wanted.erase(wanted.begin() + (press.row - 1));
    }
    {
        const MenuAnswerer answerer(press.keys);
        ::SendMessageW(box, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageW(box, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
        EXPECT_FALSE(answerer.stuck);
        EXPECT_EQ(answerer.menus, std::vector<std::vector<std::string>>{kFilesMenu});
    }
    pumpMessages(window_->form);

    EXPECT_EQ(rows(), wanted);
    const Form1Controls& controls = window_->controls();
    const int entries = static_cast<int>(wanted.size());
    EXPECT_EQ(controls.FrameSlide.height(), (entries + 1) * expected::kRowHeight);
    // Seven rows need the bar, six fit the list's frame.
    EXPECT_EQ(::IsWindowVisible(window_->child("VScrollFiles")) != FALSE, !press.deletes);
    // What the boxes in view show follows the rows.
    for (int i = 1; i <= 6; ++i) {
        const HWND path = window_->form.pathEditor(i);
        const HWND count = window_->form.countEditor(i);
        ASSERT_TRUE(path != nullptr && count != nullptr) << i;
        EXPECT_EQ(toUtf8(windowText(path)) + "|" + toUtf8(windowText(count)),
                  wanted[static_cast<std::size_t>(i - 1)]);
    }
    EXPECT_TRUE(window_->messageBox.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, LeftPressTest,
                         testing::Values(LeftPress{"FirstRow", 1, {VK_DOWN, VK_RETURN}, true},
                                         LeftPress{"MiddleRow", 4, {VK_DOWN, VK_RETURN}, true},
                                         LeftPress{"LastRowInView", 6, {VK_DOWN, VK_RETURN}, true},
                                         LeftPress{"MenuClosedWithEscape", 4, {VK_ESCAPE}, false}),
                         [](const testing::TestParamInfo<LeftPress>& info) {
                             return std::string(info.param.name);
                         });

struct OtherPress {
    const char* name;
    UINT message;
    WPARAM keys;
};

void PrintTo(const OtherPress& c, std::ostream* out) {
    *out << c.name;
}

class OtherPressTest : public PopupMenuTest, public testing::WithParamInterface<OtherPress> {};

TEST_P(OtherPressTest, OpensNoMenu) {
    const HWND box = window_->form.pathEditor(2);
    ASSERT_NE(box, nullptr);
    const std::vector<std::string> before = rows();
    {
        const MenuAnswerer answerer({VK_ESCAPE});
        ::SendMessageW(box, GetParam().message, GetParam().keys, MAKELPARAM(5, 5));
        pumpMessages(window_->form);
        EXPECT_TRUE(answerer.menus.empty());
    }
    EXPECT_EQ(rows(), before);
}

INSTANTIATE_TEST_SUITE_P(Buttons, OtherPressTest,
                         testing::Values(OtherPress{"Right", WM_RBUTTONDOWN, MK_RBUTTON},
                                         OtherPress{"Middle", WM_MBUTTONDOWN, MK_MBUTTON}),
                         [](const testing::TestParamInfo<OtherPress>& info) {
                             return std::string(info.param.name);
                         });

// Clear List empties a scrolled list: no rows, no bar, the frame back to its template's row
// and to its start place.
// Once empty, it says there is nothing to delete.
TEST_F(PopupMenuTest, ClearListEmptiesTheList) {
    ::SendMessageW(window_->form.hwnd(), WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0),
                   reinterpret_cast<LPARAM>(window_->child("VScrollFiles")));
    const HWND clear = window_->child("ClearBtn");
    ::SendMessageW(clear, BM_CLICK, 0, 0);
    pumpMessages(window_->form);

    const Form1Controls& controls = window_->controls();
    EXPECT_EQ(controls.Text1.count(), 1);
    EXPECT_EQ(controls.CopyTimes.count(), 1);
    EXPECT_EQ(controls.FrameSlide.height(), expected::kRowHeight);
    EXPECT_FALSE(::IsWindowVisible(window_->child("VScrollFiles")));
    EXPECT_EQ(controls.VScrollFiles.value(), 0);
    EXPECT_EQ(controls.FrameSlide.top(), expected::kFrameSlide.top);
    for (int i = 1; i <= kRows; ++i) {
        EXPECT_EQ(window_->form.pathEditor(i), nullptr) << i;
    }
    EXPECT_TRUE(window_->messageBox.shown.empty());

    ::SendMessageW(clear, BM_CLICK, 0, 0);
    EXPECT_EQ(window_->messageBox.texts(), std::vector<std::string>{expected::kNoFilesToDelete});
}

}  // namespace
}  // namespace vantrel::test
