#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program and UTF-16 where it crosses to Win32: these two are the
// only place it is converted. A surrogate without its partner, which NTFS allows in a name,
// goes through as WTF-8 (platform/wtf8.h), so that such a name still names its file.
namespace vantrel {

// Raises a Failure for text that is neither UTF-8 nor WTF-8.
std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

}  // namespace vantrel
