#include "win32/twips.h"

#include <cmath>

namespace vantrel::win32 {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr int kStandardDpi = 96;

}  // namespace

int screenDpi() {
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) {
        return kStandardDpi;
    }
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kStandardDpi;
}

int toPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

RECT toPixels(const TwipsRect& rect, int dpi) {
    const int left = toPixels(rect.left, dpi);
    const int top = toPixels(rect.top, dpi);
    return {left, top, left + toPixels(rect.width, dpi), top + toPixels(rect.height, dpi)};
}

}  // namespace vantrel::win32
