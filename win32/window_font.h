#pragma once

#include <windows.h>

#include <string>

namespace vantrel::win32 {

// A GDI font of the window, made from the layout's face and size at the window's DPI, and
// deleted with this object. The layout's face is a bitmap face made for 96 dpi: above, and
// wherever the system lacks it, the window is drawn with Tahoma, which scales.
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
