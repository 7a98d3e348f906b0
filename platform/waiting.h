#pragma once

#include <functional>

namespace vantrel {

// Keeps the window alive through long work. The work runs off the window's thread while the
// window's thread goes on painting and answering the window system; input that arrives
// meanwhile waits until the work is over, so no other handler runs in between.
class Waiter {
  public:
    virtual ~Waiter() = default;
    // Runs `work` to its end and raises what it raised. Meanwhile `tick` runs on the window's
    // thread now and then, about 30 times a second, to show how far the work has come.
    virtual void await(const std::function<void()>& work, const std::function<void()>& tick) = 0;
};

}  // namespace vantrel
