#pragma once

#include "platform/twips.h"

class QWidget;

namespace vantrel::qt {

// The screen's logical DPI: 96 unless the system scales its text.
double logicalDpi(const QWidget* widget = nullptr);

// Twips to whole pixels of the widget's screen.
int toPixels(double twips, const QWidget* widget = nullptr);

// Puts the widget where the twips say, rounded to whole pixels of its screen.
void placeInTwips(QWidget* widget, const TwipsRect& rect);

}  // namespace vantrel::qt
