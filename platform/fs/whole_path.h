#pragma once

#include <string_view>

namespace vantrel {

// Refuses a path that holds a NUL byte with a Failure the user reads: the system would see only
// the part before it and act on another file.
void requireWholePath(std::string_view path);

}  // namespace vantrel
