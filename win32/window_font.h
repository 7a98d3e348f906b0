#pragma once

#include <windows.h>

#include <string>

namespace vantrel::win32 {

// A GDI font of the window, made from the layout's face and size at the screen's DPI, and
// deleted with this object.
class WindowFont {
  public:
    // `points` may be fractional (8.25); `bold` gives weight 700, else 400.
    WindowFont(const std::string& face, double points, bool bold, int dpi);
    ~WindowFont();
    WindowFont(const WindowFont&) = delete;
    WindowFont& operator=(const WindowFont&) = delete;

    HFONT handle() const { return font_; }

  private:
    HFONT font_;
};

}  // namespace vantrel::win32
