#pragma once

#include <cstdint>

#include "platform/message_box.h"

namespace vantrel {

// Lets backspace and the digits 0 to 9 into a count box; any other key is cancelled
// (KeyAscii set to 0) before "Number entry only." is shown. Every count box is filtered alike.
void CopyTimes_KeyPress(int index, std::int16_t& KeyAscii, MessageBox& messageBox);

}  // namespace vantrel
