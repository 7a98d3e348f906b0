#include "platform/numbers.h"

#include <cmath>
#include <limits>

#include "platform/failure.h"

namespace vantrel {

std::int16_t roundToInt16(double value) {
    // nearbyint follows the current rounding mode; the program never leaves the default,
    // which is to nearest with ties to even.
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int16_t>::min() &&
          rounded <= std::numeric_limits<std::int16_t>::max())) {
        throwOverflow();
    }
    return static_cast<std::int16_t>(rounded);
}

std::int16_t checkedInt16(long long value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throwOverflow();
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace vantrel
