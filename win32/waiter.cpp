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
        auto nextTick = std::chrono::steady_clock::now() + kTick;
        HANDLE done = worker.done.get();
        for (;;) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= nextTick) {
                tick();
                nextTick = std::chrono::steady_clock::now() + kTick;
                dispatchWaiting(filter);
                continue;
            }
            const auto patience =
                std::chrono::ceil<std::chrono::milliseconds>(nextTick - now).count();
            const DWORD woke = ::MsgWaitForMultipleObjectsEx(1, &done, static_cast<DWORD>(patience),
                                                             QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            if (woke == WAIT_OBJECT_0) {
                break;
            }
            if (woke == WAIT_OBJECT_0 + 1) {
                dispatchWaiting(filter);
            }
        }
    }
    worker.thread.rethrow();
}

}  // namespace vantrel::win32
