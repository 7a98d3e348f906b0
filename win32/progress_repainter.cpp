#include "win32/progress_repainter.h"

namespace vantrel::win32 {

void ProgressRepainter::watch(HWND window, const RECT& area) {
    window_ = window;
    area_ = area;
}

void ProgressRepainter::paintProgress(bool always) {
    if (asked) {
        asked(always);
    }
    if (window_ == nullptr || ::IsWindowVisible(window_) == FALSE) {
        return;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!always && lastPaint_ && now - *lastPaint_ < kInterval) {
        return;
    }
    ::RedrawWindow(window_, &area_, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    dispatchWaiting(filter);
    lastPaint_ = std::chrono::steady_clock::now();
}

}  // namespace vantrel::win32
