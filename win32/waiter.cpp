#include "win32/waiter.h"

#include <windows.h>

#include <chrono>
#include <memory>

#include "platform/handle_win32.h"
#include "platform/worker_thread.h"

namespace vantrel::win32 {

namespace {

// Most copies end within a few milliseconds: a wait that short dispatches nothing, so a run of
// small files costs little more than the copies themselves.
constexpr std::chrono::microseconds kQuietWait{2000};
constexpr std::chrono::milliseconds kTick{33};

// What the window's thread dispatches while it waits: everything but keyboard input and mouse
// input in the client areas. Mouse input on the frames (moving the window, the title bar's
// buttons) goes on, so the window can be moved and minimised; a close it asks for is held back
// by the window itself.
constexpr UINT kDispatched[][2] = {
    {0, WM_KEYFIRST - 1},
    {WM_KEYLAST + 1, WM_MOUSEFIRST - 1},
    {WM_MOUSELAST + 1, 0xFFFF},
};

// Dispatches what is waiting; a WM_QUIT taken meanwhile is posted again for the caller's loop.
void dispatchWaiting(int& quitCode, bool& quit) {
    MSG message;
    for (const auto& range : kDispatched) {
        while (::PeekMessageW(&message, nullptr, range[0], range[1], PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                quitCode = static_cast<int>(message.wParam);
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

}  // namespace

struct Win32Waiter::Worker {
    // Signalled when a piece of work has ended, so that the window's thread can wait for it
    // and for messages at once. Closed after the thread, which sets it, has ended.
    Handle done{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
    WorkerThread thread{[this] { ::SetEvent(done.get()); }};
};

Win32Waiter::Win32Waiter() : worker_(std::make_unique<Worker>()) {}

Win32Waiter::~Win32Waiter() = default;

void Win32Waiter::await(const std::function<void()>& work, const std::function<void()>& tick) {
    Worker& worker = *worker_;
    ::ResetEvent(worker.done.get());
    worker.thread.start(work);
    if (!worker.thread.finishedWithin(kQuietWait)) {
        int quitCode = 0;
        bool quit = false;
        auto nextTick = std::chrono::steady_clock::now() + kTick;
        HANDLE done = worker.done.get();
        for (;;) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= nextTick) {
                tick();
                nextTick = std::chrono::steady_clock::now() + kTick;
                continue;
            }
            const auto patience =
                std::chrono::ceil<std::chrono::milliseconds>(nextTick - now).count();
            const DWORD woke = ::MsgWaitForMultipleObjectsEx(
                1, &done, static_cast<DWORD>(patience),
                QS_POSTMESSAGE | QS_SENDMESSAGE | QS_PAINT | QS_TIMER, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0) {
                break;
            }
            if (woke == WAIT_OBJECT_0 + 1) {
                dispatchWaiting(quitCode, quit);
            }
        }
        if (quit) {
            ::PostQuitMessage(quitCode);
        }
    }
    worker.thread.rethrow();
}

}  // namespace vantrel::win32
