#pragma once

#include <windows.h>

#include <oleacc.h>

#include <string>

namespace vantrel::win32 {

// Gives windows the names screen readers read for them (MSAA, and UI Automation through it)
// by the system's dynamic annotation, in place of what the standard controls expose alone.
class AccessibleNames {
  public:
    // Needs COM on the thread. Where the system has no annotation service the windows keep
    // the names the controls give themselves: the window works the same without them.
    AccessibleNames();
    ~AccessibleNames();
    AccessibleNames(const AccessibleNames&) = delete;
    AccessibleNames& operator=(const AccessibleNames&) = delete;

    // Whether the system takes names: false without the service, or once it has refused one.
    bool available() const { return services_ != nullptr; }
    // Names the window; the annotation goes with the window when it is destroyed. An empty
    // name leaves the control's own.
    void name(HWND hwnd, const std::string& name);
    // What a screen reader reads after the name; an empty one leaves the control's own.
    void describe(HWND hwnd, const std::string& description);

  private:
    bool set(HWND hwnd, const MSAAPROPID& property, const std::string& value);

    IAccPropServices* services_ = nullptr;
};

}  // namespace vantrel::win32
