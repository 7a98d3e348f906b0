#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/win32/window_fixture.h"

namespace vantrel::test {
namespace {

// A message box at which the user closes the window instead of answering; it answers OK, and
// Yes to the question the close request asks.
class ClosingMessageBox : public MessageBox {
  public:
    Answer show(const std::string& text, Buttons buttons) override {
        texts.push_back(text);
        if (buttons == Buttons::YesNo) {
            return Answer::Yes;
        }
        if (window != nullptr) {
            ::SendMessageW(window, WM_CLOSE, 0, 0);
            stillThere = ::IsWindow(window) != FALSE;
        }
        return Answer::Ok;
    }

    HWND window = nullptr;
    bool stillThere = false;
    std::vector<std::string> texts;
};

// A close request that comes while a run holds the window asks whether to stop; after Yes the
// run goes on to its end with its controls, and the window goes once it is over.
TEST(Closing, DuringARunTheWindowGoesOnlyAfterTheRun) {
    VANTREL_NEEDS_WINDOWS();
    ClosingMessageBox box;
    RealFileSystem fileSystem;
    FakeLauncher launcher;
    const TemporaryFolder home;
    const Conventions conventions = Window::conventionsIn(home);
    NoPainting painter;
    NoWaiting waiter;
    Services services{box, fileSystem, launcher, conventions, painter, waiter};
    win32::Form1Window form(services);
    bool destroyed = false;
    form.destroyed = [&destroyed] { destroyed = true; };
    form.open();
    box.window = form.hwnd();

    // No destination: the run stops at its first question.
    form.logic().ReplicateBtn_Click();

    EXPECT_EQ(box.texts,
              (std::vector<std::string>{expected::kSpecifyDestination, expected::kStopQuestion}));
    EXPECT_TRUE(box.stillThere);
    EXPECT_TRUE(destroyed);
    EXPECT_EQ(form.hwnd(), nullptr);
}

}  // namespace
}  // namespace vantrel::test
