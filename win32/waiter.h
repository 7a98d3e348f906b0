#pragma once

#include <memory>

#include "platform/waiting.h"
#include "win32/message_pump.h"

namespace vantrel::win32 {

// Runs the work on a thread of its own while the window's thread reads its queue at least once
// a tick and dispatches what comes: painting, timers, activation, and the input the filter
// leaves, so that the system never takes the window for hung and no input waits for the end.
class Win32Waiter : public Waiter {
  public:
    Win32Waiter();
    ~Win32Waiter() override;
    void await(const std::function<void()>& work, const std::function<void()>& tick) override;

    // What the window refuses while it waits.
    MessageFilter filter;

  private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace vantrel::win32
