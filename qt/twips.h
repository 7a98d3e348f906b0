#pragma once

class QWidget;

namespace vantrel::qt {

// A control's place in its container, in twips.
struct TwipsRect {
    double left;
    double top;
    double width;
    double height;
};

// Twips per pixel at the screen's logical DPI: 15 at 96 dpi.
double twipsPerPixel(const QWidget* widget = nullptr);

int toPixels(double twips, const QWidget* widget = nullptr);
double toTwips(int pixels, const QWidget* widget = nullptr);

// Puts the widget where the twips say, rounded to whole pixels of its screen.
void placeInTwips(QWidget* widget, const TwipsRect& rect);

}  // namespace vantrel::qt
