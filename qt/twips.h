#pragma once

#include "platform/twips.h"

class QWidget;

namespace vantrel::qt {

// Twips per pixel at the screen's logical DPI: 15 at 96 dpi.
double twipsPerPixel(const QWidget* widget = nullptr);

int toPixels(double twips, const QWidget* widget = nullptr);

// Puts the widget where the twips say, rounded to whole pixels of its screen.
void placeInTwips(QWidget* widget, const TwipsRect& rect);

}  // namespace vantrel::qt
