#include "win32/own_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

// A window that notes each message its object is handed, and whether it knew its window then.
class Recording : public win32::OwnWindow {
  public:
    struct Seen {
        UINT message;
        bool knowsWindow;
    };

    explicit Recording(std::vector<Seen>& seen) : seen_(seen) {
        create(0, WS_OVERLAPPED, L"Recording", nullptr, 0, 0, 100, 100);
    }

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override {
        seen_.push_back({message, hwnd() != nullptr});
        return standard(message, wParam, lParam);
    }

  private:
    std::vector<Seen>& seen_;
};

TEST(OwnWindow, TheObjectAnswersItsWindowFromItsCreationOn) {
    VANTREL_NEEDS_WINDOWS();
    std::vector<Recording::Seen> seen;
    const Recording window(seen);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front().message, static_cast<UINT>(WM_NCCREATE));
    EXPECT_TRUE(
        std::ranges::any_of(seen, [](const Recording::Seen& s) { return s.message == WM_CREATE; }));
    EXPECT_TRUE(std::ranges::all_of(seen, &Recording::Seen::knowsWindow));
}

}  // namespace
}  // namespace vantrel::test
