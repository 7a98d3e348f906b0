#include "support/win32/recorded_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/utf16.h"
#include "support/win32/window_probe.h"
#include "win32/progress_announcer.h"

namespace vantrel::test {
namespace {

std::vector<HWND> renamed;

void CALLBACK onNameChange(HWINEVENTHOOK, DWORD, HWND hwnd, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT && child == CHILDID_SELF) {
        renamed.push_back(hwnd);
    }
}

// A reader keeps a name until told it changed: an editor lent to another row says so.
TEST(AccessibleNames, AnEditorLentToAnotherRowTellsReadersItsNewName) {
    VANTREL_NEEDS_WINDOWS();
    Win32WindowProbe probe;
    probe.open();
    probe.drop(std::vector<std::string>(40, probe.pathOf("f.txt")));
    const HWINEVENTHOOK hook =
        ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr, onNameChange,
                          ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    renamed.clear();
    probe.scroll(conformance::Scroll::ToEnd);
    pumpMessages(probe.window->form);
    ::UnhookWinEvent(hook);
    if (hook == nullptr) {
        GTEST_SKIP() << "the system takes no event hook";
    }
    EXPECT_NE(std::ranges::find(renamed, probe.window->form.pathEditor(40)), renamed.end());
    EXPECT_NE(std::ranges::find(renamed, probe.window->form.countEditor(40)), renamed.end());
}

// What the task-bar button was told, as the shell's ITaskbarList3 would be.
class RecordedTaskbar : public win32::TaskbarButton {
  public:
    std::vector<std::string> calls;
    void progress(HWND, ULONGLONG done, ULONGLONG total) override {
        calls.push_back(std::to_string(done) + "/" + std::to_string(total));
    }
    void error(HWND) override { calls.emplace_back("error"); }
    void clear(HWND) override { calls.emplace_back("clear"); }
};

// The caption is static text and the bar a progress bar with its share done, told as they
// change at most four times a second, and on the task bar, red while a failure is told.
TEST(ProgressAnnouncer, TellsReadersAndTheTaskBarHowFarTheRunHasCome) {
    RecordedNames service;
    DWORD registration = 0;
    ASSERT_HRESULT_SUCCEEDED(
        ::CoRegisterClassObject(CLSID_AccPropServices, static_cast<IClassFactory*>(&service),
                                CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &registration));
    const auto make = [](HWND parent, int width) {
        return ::CreateWindowExW(0, L"STATIC", L"", parent ? WS_CHILD | WS_VISIBLE : WS_POPUP, 0, 0,
                                 width, 10, parent, nullptr, nullptr, nullptr);
    };
    const HWND window = make(nullptr, 300);
    const HWND caption = make(window, 200);
    const HWND fill = make(window, 0);
    const HWND back = make(window, 200);
    {
        win32::AccessibleNames names;
        RecordedTaskbar taskbar;
        win32::ProgressAnnouncer announcer(names, taskbar);
        announcer.watch(window, caption, fill, back);
        EXPECT_EQ(service.roles[caption], ROLE_SYSTEM_STATICTEXT);
        EXPECT_EQ(service.roles[back], ROLE_SYSTEM_PROGRESSBAR);

        const auto step = [&](const wchar_t* text, int width, bool always) {
            ::SetWindowTextW(caption, text);
            ::SetWindowPos(fill, nullptr, 0, 0, width, 10, SWP_NOMOVE | SWP_NOZORDER);
            announcer.update(always);
        };
        step(L"Progress : 1/4", 50, true);
        EXPECT_EQ(service.values[caption], "Progress : 1/4");
        EXPECT_EQ(service.values[back], "25%");
        // Within a quarter second only a row's end is told.
        step(L"Progress : 2/4", 100, false);
        EXPECT_EQ(service.values[back], "25%");
        step(L"Progress : 3/4", 150, true);
        EXPECT_EQ(service.values[caption], "Progress : 3/4");
        EXPECT_EQ(service.values[back], "75%");
        announcer.messageShown(false);
        announcer.messageAnswered();
        announcer.messageShown(true);
        announcer.messageAnswered();
        step(L"Files successfully replicated.", 0, true);
        EXPECT_EQ(service.values[back], "0%");
        // A message of a run that shows no bar is no failure of it.
        announcer.messageShown(true);
        announcer.messageAnswered();
        EXPECT_EQ(taskbar.calls,
                  (std::vector<std::string>{"50/200", "150/200", "error", "clear", "clear"}));
    }
    ::DestroyWindow(window);
    ::CoRevokeClassObject(registration);
}

}  // namespace
}  // namespace vantrel::test
