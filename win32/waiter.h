#pragma once

#include <memory>

#include "platform/waiting.h"

namespace vantrel::win32 {

// Runs the work on a thread of its own while the window's thread goes on dispatching what the
// system sends and posts (painting, timers, activation); keyboard and mouse input stays queued
// until the work is over.
class Win32Waiter : public Waiter {
  public:
    Win32Waiter();
    ~Win32Waiter() override;
    void await(const std::function<void()>& work, const std::function<void()>& tick) override;

  private:
    struct Worker;
    std::unique_ptr<Worker> worker_;
};

}  // namespace vantrel::win32
