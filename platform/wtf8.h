#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-16 as NTFS holds names, which may carry a surrogate without its partner, and its form in
// the program's 8-bit strings: UTF-8, where a lone surrogate takes the three bytes any other
// code unit of its range would take (WTF-8). Every UTF-16 text comes back unchanged.
namespace vantrel::wtf8 {

std::string fromUtf16(std::u16string_view units);
// Nothing for bytes that are neither UTF-8 nor such a surrogate. A surrogate pair written as
// two halves (two texts joined) gives the pair.
std::optional<std::u16string> toUtf16(std::string_view bytes);

}  // namespace vantrel::wtf8
