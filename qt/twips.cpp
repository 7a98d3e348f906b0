#include "qt/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace vantrel::qt {

double logicalDpi(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInchY() : 96.0;
}

int toPixels(double twips, const QWidget* widget) {
    return twipsToPixels(twips, logicalDpi(widget));
}

void placeInTwips(QWidget* widget, const TwipsRect& rect) {
    widget->setGeometry(toPixels(rect.left, widget), toPixels(rect.top, widget),
                        toPixels(rect.width, widget), toPixels(rect.height, widget));
}

}  // namespace vantrel::qt
