#pragma once

namespace vantrel {

// A control's place in its container, in twips (1/1440 inch; 15 twips a pixel at 96 dpi).
struct TwipsRect {
    double left;
    double top;
    double width;
    double height;

    bool operator==(const TwipsRect&) const = default;
};

}  // namespace vantrel
