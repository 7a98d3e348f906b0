#pragma once

#include <string>
#include <string_view>

// The names of the temporary files a copy or the log is written to before it takes its
// target's name, the same on every system, so that what a killed copy left is recognised.
namespace vantrel {

// ".vantrel-" and 12 random characters of [0-9a-z]: a name nothing else is likely to use,
// though callers still retry when it is taken.
std::string freshTemporaryName();

// Whether name is one this program gives its temporary files: ".vantrel-" and 12 of [0-9a-z],
// or, from its earlier versions on Linux, ".vantrel-" and 6 letters or digits.
bool isTemporaryName(std::string_view name);

}  // namespace vantrel
