#include "platform/numbers.h"

#include "platform/failure.h"

namespace vantrel {

template <class Int>
Int roundChecked(double value) {
    const std::optional<Int> rounded = roundedWithin<Int>(value);
    if (!rounded) {
        throwOverflow();
    }
    return *rounded;
}

template int roundChecked<int>(double);
template std::int16_t roundChecked<std::int16_t>(double);

std::int16_t checkedInt16(long long value) {
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throwOverflow();
    }
    return static_cast<std::int16_t>(value);
}

}  // namespace vantrel
