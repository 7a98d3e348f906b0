#pragma once

#include <cstdint>

namespace vantrel {

// Rounds to the nearest integer, an exact half to the even neighbour, and refuses
// results outside the signed 16-bit range with an overflow failure.
std::int16_t roundToInt16(double value);

// Narrows a wider integer to 16 bits, refusing values out of range the same way.
std::int16_t checkedInt16(long long value);

}  // namespace vantrel
