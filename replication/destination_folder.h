#pragma once

#include <optional>
#include <string>

#include "platform/failure.h"
#include "platform/services.h"

namespace vantrel {

// A level of a path that could not be checked or made, and why.
struct LevelFailure {
    std::string folder;
    Failure failure;
};

// Makes each missing level of `path` in turn, from the top down, stopping at the first that
// fails.
std::optional<LevelFailure> makeMissingLevels(const std::string& path, FileSystem& fs,
                                              char separator);

// Makes sure the destination folder exists, offering to create it level by level. Returns
// false when the run should end: the user declined, or a level could not be made (reported).
bool prepareDestination(const std::string& destination, Services& services);

}  // namespace vantrel
