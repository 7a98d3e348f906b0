#pragma once

#include <windows.h>

#include <functional>

#include "platform/message_box.h"

// The class below, not the function <windows.h> names by this macro.
#undef MessageBox

namespace vantrel::win32 {

// The system's message box, modal to the window and titled with the window's caption.
class Win32MessageBox : public MessageBox {
  public:
    void setOwner(HWND owner) { owner_ = owner; }
    Answer show(const std::string& text, Buttons buttons) override;

    // Called as each box opens, with its buttons, and once it has been answered.
    std::function<void(Buttons buttons)> opening;
    std::function<void()> answered;

  private:
    HWND owner_ = nullptr;
};

}  // namespace vantrel::win32
