#include "win32/message_pump.h"

namespace vantrel::win32 {

void dispatchWaiting(const MessageFilter& filter) {
    MSG message;
    bool quit = false;
    int quitCode = 0;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quit = true;
            quitCode = static_cast<int>(message.wParam);
            continue;
        }
        if (filter && filter(message)) {
            continue;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    if (quit) {
        ::PostQuitMessage(quitCode);
    }
}

}  // namespace vantrel::win32
