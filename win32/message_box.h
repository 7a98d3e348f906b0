#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>

#include "platform/message_box.h"

// The class below, not the function <windows.h> names by this macro.
#undef MessageBox

namespace vantrel::win32 {

// The system's message box, modal to the window, with the program's title.
class Win32MessageBox : public MessageBox {
  public:
    explicit Win32MessageBox(std::wstring title) : title_(std::move(title)) {}

    void setOwner(HWND owner) { owner_ = owner; }
    Answer show(const std::string& text, Buttons buttons) override;

    // Called as each box opens, with its buttons, and once it has been answered.
    std::function<void(Buttons buttons)> opening;
    std::function<void()> answered;

  private:
    std::wstring title_;
    HWND owner_ = nullptr;
};

}  // namespace vantrel::win32
