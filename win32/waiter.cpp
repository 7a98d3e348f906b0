#include "win32/waiter.h"

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

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
    std::mutex mutex;
    std::condition_variable changed;
    const std::function<void()>* job = nullptr;
    bool finished = false;
    bool stopping = false;
    std::exception_ptr failure;
    // Signalled when a job has finished, so that the window's thread can wait for it and for
    // messages at once.
    HANDLE done = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    std::thread thread;

    void serve() {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [this] { return stopping || job != nullptr; });
            if (job == nullptr) {
                return;
            }
            const std::function<void()>& work = *job;
            lock.unlock();
            std::exception_ptr caught;
            try {
                work();
            } catch (...) {
                caught = std::current_exception();
            }
            lock.lock();
            job = nullptr;
            failure = caught;
            finished = true;
            changed.notify_all();
            ::SetEvent(done);
        }
    }

    bool finishedWithin(std::chrono::microseconds patience) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, patience, [this] { return finished; });
    }
};

Win32Waiter::Win32Waiter() : worker_(std::make_unique<Worker>()) {}

Win32Waiter::~Win32Waiter() {
    {
        const std::lock_guard lock(worker_->mutex);
        worker_->stopping = true;
    }
    worker_->changed.notify_all();
    if (worker_->thread.joinable()) {
        worker_->thread.join();
    }
    ::CloseHandle(worker_->done);
}

void Win32Waiter::await(const std::function<void()>& work, const std::function<void()>& tick) {
    Worker& worker = *worker_;
    {
        const std::lock_guard lock(worker.mutex);
        worker.job = &work;
        worker.finished = false;
        worker.failure = nullptr;
        ::ResetEvent(worker.done);
        if (!worker.thread.joinable()) {
            worker.thread = std::thread([&worker] { worker.serve(); });
        }
    }
    worker.changed.notify_all();

    if (!worker.finishedWithin(kQuietWait)) {
        int quitCode = 0;
        bool quit = false;
        auto nextTick = std::chrono::steady_clock::now() + kTick;
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
                1, &worker.done, static_cast<DWORD>(patience),
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

    std::exception_ptr failure;
    {
        const std::lock_guard lock(worker.mutex);
        failure = worker.failure;
        worker.failure = nullptr;
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace vantrel::win32
