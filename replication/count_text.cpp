#include "replication/count_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "platform/numbers.h"

namespace vantrel {

namespace {

bool isIgnored(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

double numericReading(std::string_view text) {
    std::string number;
    bool seenPoint = false;
    for (char c : text) {
        if (isIgnored(c)) {
            continue;
        }
        const bool signHere = number.empty() && (c == '+' || c == '-');
        const bool pointHere = c == '.' && !seenPoint;
        if (!signHere && !pointHere && !isDigit(c)) {
            break;
        }
        seenPoint = seenPoint || pointHere;
        number += c;
    }
    const bool negative = !number.empty() && number.front() == '-';
    if (!number.empty() && (number.front() == '+' || number.front() == '-')) {
        number.erase(0, 1);
    }
    if (number.find_first_of("0123456789") == std::string::npos) {
        return 0.0;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    if (error == std::errc::result_out_of_range) {
        // Beyond a double's range: a whole part other than zero is too large for any count, else
        // the number is too small to be anything but zero.
        const auto point = number.find('.');
        const bool large = number.substr(0, point).find_first_not_of('0') != std::string::npos;
        value = large ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}

std::int16_t countValue(std::string_view text) {
    return roundChecked<std::int16_t>(numericReading(text));
}

}  // namespace vantrel
