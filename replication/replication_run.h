#pragma once

#include <stop_token>

#include "platform/services.h"
#include "replication/replication_controls.h"

namespace vantrel {

// Copies every file of the list into the destination folder as often as its count asks,
// asking before it replaces an existing copy, and logs the names of the copies made. A request
// on `stop` abandons the copy under way and ends the run as a Cancel of the replace question
// ends it; the copies made so far stay and are logged.
void ReplicateBtn_Click(ReplicationControls& controls, Services& services,
                        std::stop_token stop = {});

}  // namespace vantrel
