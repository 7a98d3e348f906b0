#pragma once

#include <functional>
#include <stop_token>
#include <string>

#include "platform/failure.h"

namespace vantrel {

// Tries a step on a file again while it fails as a file another program holds for a moment
// fails (a virus scanner, the search indexer, a sync client): a sharing violation, a lock
// violation or access denied. The pauses grow from 20 ms, for up to 3 s in all; a stop request
// ends the wait at once with kUserInterrupt. `step` returns ERROR_SUCCESS or the error it met;
// the last error comes back.
unsigned long retryWhileHeld(const std::function<unsigned long()>& step,
                             const std::stop_token& stop);

// The failure of a step that kept failing: a file in use by another program is named as such,
// any other error (access that stays denied among them) is the system's own.
Failure heldFileFailure(unsigned long error, const std::wstring& file);

}  // namespace vantrel
