#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program and UTF-16 where it crosses to Win32: these two are the
// only place it is converted.
namespace vantrel {

// Raises a Failure for text that is not UTF-8.
std::wstring toUtf16(std::string_view utf8);
// Lone surrogates become U+FFFD.
std::string toUtf8(std::wstring_view utf16);

}  // namespace vantrel
