#pragma once

class QWidget;

namespace vantrel::qt {

// Twips per pixel at the screen's logical DPI: 15 at 96 dpi.
double twipsPerPixel(const QWidget* widget = nullptr);

int toPixels(double twips, const QWidget* widget = nullptr);
double toTwips(int pixels, const QWidget* widget = nullptr);

}  // namespace vantrel::qt
