#include "qt/progress_repainter.h"

#include <QCoreApplication>

namespace vantrel::qt {

void ProgressRepainter::watch(QWidget* widget, QRect area) {
    widget_ = widget;
    area_ = area;
}

void ProgressRepainter::paintProgress(bool always) {
    if (asked) {
        asked(always);
    }
    if (widget_ == nullptr || !widget_->isVisible()) {
        return;
    }
    if (!always && sinceLastPaint_.isValid() && sinceLastPaint_.elapsed() < kIntervalMs) {
        return;
    }
    widget_->repaint(area_);
    QCoreApplication::processEvents();
    sinceLastPaint_.start();
}

}  // namespace vantrel::qt
