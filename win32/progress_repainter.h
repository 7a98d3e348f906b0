#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>

#include "platform/services.h"
#include "win32/message_pump.h"

namespace vantrel::win32 {

// Shows the progress from inside a run that holds the window's thread between its copies: the
// area is repainted at once, and the queue is read: paints, timers, activation and the input
// the filter leaves are dispatched, so that input never waits for the run's end. Paints that
// come within 1/30 s of the last one are skipped unless they are asked for always.
class ProgressRepainter : public ProgressPainter {
  public:
    static constexpr std::chrono::milliseconds kInterval{33};

    // The window and the part of its client area that shows the progress.
    void watch(HWND window, const RECT& area);

    void paintProgress(bool always) override;

    // What the window refuses during a run.
    MessageFilter filter;
    // Called at every request to show the progress, painted or not, with its `always`.
    std::function<void(bool always)> asked;

  private:
    HWND window_ = nullptr;
    RECT area_{};
    std::optional<std::chrono::steady_clock::time_point> lastPaint_;
};

}  // namespace vantrel::win32
