#pragma once

#include <string>

// <windows.h> names its MessageBoxW function MessageBox by a macro, which would rename this class
// wherever both are included.
#undef MessageBox

namespace vantrel {

enum class Buttons : int { Ok = 0, YesNoCancel = 3, YesNo = 4 };
enum class Answer : int { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Lines of a message are joined with CR LF.
inline constexpr const char* kCrLf = "\r\n";

// A modal message box; the implementation puts the window's title on it.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual Answer show(const std::string& text, Buttons buttons) = 0;
};

}  // namespace vantrel
