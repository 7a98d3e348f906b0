#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

#include "platform/services.h"

namespace vantrel::qt {

// Shows the progress from inside a run that holds the window's thread between its copies: the
// window's pending events are handled, so the bar and caption are painted, whatever another
// window uncovered is repainted and the window manager's pings and requests are answered; the
// window refuses the input that comes meanwhile. Paints that come within 1/30 s of the last
// one are skipped unless they are asked for always.
class ProgressRepainter : public ProgressPainter {
  public:
    static constexpr qint64 kIntervalMs = 33;

    // The widget and the area of it (in its own coordinates) that shows the progress.
    void watch(QWidget* widget, QRect area);

    void paintProgress(bool always) override;

    // Called at every request to show the progress, painted or not, with its `always`.
    std::function<void(bool always)> asked;

  private:
    QPointer<QWidget> widget_;
    QRect area_;
    QElapsedTimer sinceLastPaint_;
};

}  // namespace vantrel::qt
