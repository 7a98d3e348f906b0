#include "qt/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cmath>

namespace vantrel::qt {

double twipsPerPixel(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
    return 1440.0 / dpi;
}

int toPixels(double twips, const QWidget* widget) {
    return static_cast<int>(std::lround(twips / twipsPerPixel(widget)));
}

void placeInTwips(QWidget* widget, const TwipsRect& rect) {
    widget->setGeometry(toPixels(rect.left, widget), toPixels(rect.top, widget),
                        toPixels(rect.width, widget), toPixels(rect.height, widget));
}

}  // namespace vantrel::qt
