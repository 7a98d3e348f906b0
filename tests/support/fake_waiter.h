#pragma once

#include <functional>

#include "platform/waiting.h"

namespace vantrel::test {

// Runs the work on the calling thread, where no window needs keeping alive.
class NoWaiting : public Waiter {
  public:
    void await(const std::function<void()>& work, const std::function<void()>& /*tick*/) override {
        work();
    }
};

// Waits without a thread: `meanwhile` stands for what reaches the window while it waits, then
// the work runs and the window ticks once.
class FakeWaiter : public Waiter {
  public:
    void await(const std::function<void()>& work, const std::function<void()>& tick) override {
        ++waits;
        if (meanwhile) {
            meanwhile();
        }
        work();
        tick();
    }
    int waits = 0;
    std::function<void()> meanwhile;
};

}  // namespace vantrel::test
