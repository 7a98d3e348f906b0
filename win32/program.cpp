#include "win32/program.h"

#include "platform/utf16.h"
#include "win32/user_folders.h"
#include "window/form1_layout.h"

namespace vantrel::win32 {

Program::Program()
    : messageBox_(toUtf16(layout::form1().caption)),
      conventions_(Conventions::windows(localAppDataFolder())),
      services_{messageBox_, fileSystem_, launcher_, conventions_, painter_, waiter_},
      window_(services_) {
    messageBox_.setOwner(window_.hwnd());
    painter_.watch(window_.hwnd(), window_.progressArea());
    refuseThrough(window_, painter_, waiter_);
    announcer_.watch(window_.hwnd(), window_.child(layout::Role::ProgressCaption),
                     window_.child(layout::Role::ProgressFill),
                     window_.child(layout::Role::ProgressBack));
    painter_.asked = [this](bool always) { announcer_.update(always); };
    messageBox_.opening = [this](Buttons buttons) {
        announcer_.messageShown(buttons == Buttons::Ok);
    };
    messageBox_.answered = [this] { announcer_.messageAnswered(); };
    window_.destroyed = [] { ::PostQuitMessage(0); };
}

void Program::refuseThrough(Form1Window& window, ProgressRepainter& painter, Win32Waiter& waiter) {
    const MessageFilter translate = [&window](const MSG& message) {
        return window.translate(message);
    };
    painter.filter = translate;
    waiter.filter = translate;
}

int Program::run(int showCommand) {
    window_.open(showCommand);
    MSG message;
    int got = 0;
    while ((got = ::GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (!window_.translate(message)) {
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
    return got == 0 ? static_cast<int>(message.wParam) : 1;
}

}  // namespace vantrel::win32
