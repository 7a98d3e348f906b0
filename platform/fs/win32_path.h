#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// A path as the Win32 file functions take it, so that it may be longer than MAX_PATH: made
// absolute and normalised by GetFullPathNameW (separators, "." and "..", trailing dots and
// spaces), separators after the root dropped, and prefixed with \\?\ (a network path
// \\server\share\... with \\?\UNC\). A device name (\\.\...) and a path that already has the
// prefix pass as they are. Raises a Failure for text that is not UTF-8.
std::wstring win32Path(const std::string& path);
// The same for a path already in UTF-16, as the system gives it.
std::wstring win32Path(std::wstring_view path);

}  // namespace vantrel
