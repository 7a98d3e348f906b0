#pragma once

#include <windows.h>

#include <functional>

namespace vantrel::win32 {

// Offered each message before it is translated and dispatched: true when it has been used up.
using MessageFilter = std::function<bool(const MSG&)>;

// Reads every message waiting in the thread's queue, input included, and dispatches what the
// filter leaves. A WM_QUIT taken meanwhile is posted again for the loop that ends the program.
void dispatchWaiting(const MessageFilter& filter);

}  // namespace vantrel::win32
