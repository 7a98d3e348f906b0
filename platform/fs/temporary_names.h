#pragma once

#include <string>
#include <string_view>

// The names of the temporary files a copy or the log is written to before it takes its
// target's name, the same on every system, so that what a killed copy left is recognised.
namespace vantrel {

// ".vantrel-", 16 random characters of [0-9a-z] and 8 more that are a check code of them: a
// name nothing else is likely to use, though callers still retry when it is taken.
std::string freshTemporaryName();

// Whether name is one freshTemporaryName gives: its check code proves it, so a name a person
// chose (".vantrel-Notes1", ".vantrel-backup") never passes.
bool isTemporaryName(std::string_view name);

}  // namespace vantrel
