#pragma once

#include "platform/services.h"
#include "replication/replication_controls.h"

namespace vantrel {

// Copies every file of the list into the destination folder as often as its count asks,
// asking before it replaces an existing copy, and logs the names of the copies made.
void ReplicateBtn_Click(ReplicationControls& controls, Services& services);

}  // namespace vantrel
