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
    // Names the window and tells screen readers that its name changed (an editor lent to
    // another row is another row's box); the annotation goes with the window when it is
    // destroyed. An empty name leaves the control's own.
    void name(HWND hwnd, const std::string& name);
    // Says what the window is (ROLE_SYSTEM_*), in place of what its class tells.
    void role(HWND hwnd, long role);
    // Gives the window a value (a progress bar's "40%") and tells screen readers it changed.
    void value(HWND hwnd, const std::string& value);
    // What a screen reader reads after the name; an empty one leaves the control's own.
    void describe(HWND hwnd, const std::string& description);

  private:
    // Drops a service that refuses an annotation (a stub of one refuses every call): it is
    // not asked again.
    void refused();

    IAccPropServices* services_ = nullptr;
};

}  // namespace vantrel::win32
