#pragma once

#include <functional>

#include "platform/message_box.h"

namespace vantrel {

// Every handler of the window is entered here. Whatever a handler lets escape is shown in an
// OK box with its reason and the window goes on: no failure ends the program.
void runHandler(MessageBox& messageBox, const std::function<void()>& handler) noexcept;

}  // namespace vantrel
