#pragma once

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

namespace vantrel {

// Rounds to the nearest integer, an exact half to the even neighbour; nothing when the result
// lies outside Int's range. nearbyint follows the current rounding mode, and the program never
// leaves the default, which is to nearest with ties to even.
template <class Int>
std::optional<Int> roundedWithin(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<Int>::min() &&
          rounded <= std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

// The same rounding, refusing results out of range with an overflow failure.
template <class Int>
Int roundChecked(double value);

// Narrows a wider integer to 16 bits, refusing values out of range the same way.
std::int16_t checkedInt16(long long value);

}  // namespace vantrel
