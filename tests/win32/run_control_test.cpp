// A run the user stays in charge of, driven as a user drives it: real clicks and keys through
// the system's input (SendInput), a close request posted from another thread, while the second
// of three copies is under way. The same cases as the Qt window's.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/held_file_system.h"
#include "support/run_control_cases.h"
#include "support/win32/window_fixture.h"
#include "win32/message_box.h"
#include "win32/program.h"

namespace vantrel::test {
namespace {

void press(WORD key) {
    INPUT inputs[2]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
    }
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

void clickAt(HWND control) {
    RECT place;
    ::GetWindowRect(control, &place);
    ::SetCursorPos((place.left + place.right) / 2, (place.top + place.bottom) / 2);
    INPUT inputs[2]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

// The box the run asks with, once it is shown; nullptr after a while without one.
HWND shownBox() {
    const std::wstring title = toUtf16(expected::kTitle);
    for (int i = 0; i < 250; ++i) {
        HWND box = ::FindWindowW(L"#32770", title.c_str());
        if (box != nullptr && ::IsWindowVisible(box)) {
            return box;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return nullptr;
}

std::string boxText(HWND box) {
    std::string text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[16] = {};
        ::GetClassNameW(child, name, 16);
        if (std::wstring_view(name) == L"Static" && ::GetWindowTextLengthW(child) > 0) {
            text = toUtf8(windowText(child));
        }
    }
    return text;
}

std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(toUtf8(entry.path().filename().native()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

class RunControl : public ::testing::TestWithParam<RunControlCase> {};

TEST_P(RunControl, TheUserStaysInChargeOfARun) {
    VANTREL_NEEDS_WINDOWS();
    const RunControlCase& c = GetParam();
    const TemporaryFolder home;
    const std::filesystem::path out = home.path() / "out";
    std::filesystem::create_directory(out);
    std::ofstream(home.path() / "a.txt", std::ios::binary) << std::string(1 << 20, 'a');

    win32::Win32MessageBox messageBox(toUtf16(expected::kTitle));
    RealFileSystem real;
    HeldFileSystem fileSystem(real, 2);
    FakeLauncher launcher;
    const Conventions conventions = Window::conventionsIn(home);
    win32::ProgressRepainter painter;
    win32::Win32Waiter waiter;
    Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
    win32::Form1Window form(services);
    bool destroyed = false;
    std::string caption;
    // The caption as the window goes: its controls go with it.
    form.destroyed = [&] {
        destroyed = true;
        caption = form.controls().LabelProgress.caption();
    };
    messageBox.setOwner(form.hwnd());
    painter.watch(form.hwnd(), form.progressArea());
    win32::Program::refuseThrough(form, painter, waiter);
    form.open();
    ::SetForegroundWindow(form.hwnd());
    FileList(form.controls().Text1, form.controls().CopyTimes)
        .append(toUtf8((home.path() / "a.txt").native()), "3");
    form.controls().SaveTo.setText(toUtf8(out.native()));
    const HWND window = form.hwnd();
    const HWND replicate = form.child("ReplicateBtn");

    std::atomic<bool> acted = false;
    std::string asked;
    std::thread user([&] {
        // A click the system gave another window (Wine may, while this one comes to the top)
        // is made again; one made while the run goes on is refused.
        bool held = false;
        for (int i = 0; i < 5 && !held; ++i) {
            clickAt(replicate);
            held = fileSystem.waitUntilHeld(std::chrono::seconds(4));
        }
        if (held) {
            switch (c.act) {
                case UserAct::Escape:
                    press(VK_ESCAPE);
                    break;
                case UserAct::Close:
                    ::PostMessageW(window, WM_CLOSE, 0, 0);
                    break;
                case UserAct::SecondReplicate:
                    clickAt(replicate);
                    break;
            }
            if (c.answer != Answer::Ok) {
                if (HWND box = shownBox()) {
                    asked = boxText(box);
                    ::PostMessageW(::GetDlgItem(box, c.answer == Answer::Yes ? IDYES : IDNO),
                                   BM_CLICK, 0, 0);
                    // Answered before the copy goes on.
                    for (int i = 0; i < 250 && ::IsWindow(box); ++i) {
                        std::this_thread::sleep_for(std::chrono::milliseconds(20));
                    }
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
        }
        acted = true;
        fileSystem.release();
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!(acted && (destroyed || !form.logic().running())) &&
           std::chrono::steady_clock::now() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        win32::dispatchWaiting([&form](const MSG& message) { return form.translate(message); });
    }
    user.join();
    // What a refused click or key left queued would act now.
    for (int i = 0; i < 15; ++i) {
        ::Sleep(20);
        win32::dispatchWaiting([&form](const MSG& message) { return form.translate(message); });
    }

    EXPECT_EQ(namesIn(out), c.copies);
    std::string log;
    for (const std::string& name : c.copies) {
        log += name + "\r\n";
    }
    std::ifstream logFile(home.path() / "Log.txt", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(logFile), {}), log);
    EXPECT_EQ(destroyed ? caption : form.controls().LabelProgress.caption(), c.caption);
    EXPECT_EQ(destroyed, c.windowCloses);
    EXPECT_EQ(asked, c.answer == Answer::Ok ? "" : expected::kStopQuestion);
    if (!destroyed) {
        EXPECT_TRUE(::IsWindowEnabled(replicate));
    }
}

INSTANTIATE_TEST_SUITE_P(Win32, RunControl, ::testing::ValuesIn(runControlCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::test
