#pragma once

#include <cmath>

namespace vantrel {

constexpr double kTwipsPerInch = 1440.0;

// A control's place in its container, in twips (1/1440 inch; 15 twips a pixel at 96 dpi).
struct TwipsRect {
    double left;
    double top;
    double width;
    double height;

    bool operator==(const TwipsRect&) const = default;
};

// Twips to whole pixels at `dpi` pixels per logical inch, a half away from zero: both windows
// place and size every control with it.
inline int twipsToPixels(double twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

}  // namespace vantrel
