#pragma once

#include <string>

#include "platform/services.h"

namespace vantrel {

// Makes sure the destination folder exists, offering to create it level by level. Returns
// false when the run should end: the user declined, or a level could not be made (reported).
bool prepareDestination(const std::string& destination, Services& services);

}  // namespace vantrel
