#pragma once

#include <cstdint>
#include <string_view>

namespace vantrel {

// The number a count text stands for: blanks, tabs and line feeds are ignored anywhere, then an
// optional sign, digits and an optional fraction after a period are read; anything else ends
// the number, and a text that does not start with one reads as 0.
double numericReading(std::string_view text);

// The numeric reading rounded to the nearest integer, ties to even; an overflow failure
// outside the 16-bit range.
std::int16_t countValue(std::string_view text);

}  // namespace vantrel
