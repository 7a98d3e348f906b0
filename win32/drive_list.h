#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/controls.h"

namespace vantrel::win32 {

// Drive1: a drop-down list of the machine's drives, each named as the system names it, as
// "c: [label]". Choosing another drive raises the change notification.
class Win32DriveList : public DriveList {
  public:
    // Creates the control as a child of `parent`, its closed box at `pixels` in the parent's
    // client coordinates, with `id` as its control identifier.
    Win32DriveList(HWND parent, const RECT& pixels, HFONT font, int id);
    ~Win32DriveList() override;

    HWND hwnd() const;
    // Places the closed box at `pixels` with its dropped list below; again after a new font.
    void place(const RECT& pixels);
    // The parent's window procedure hands each WM_COMMAND here first; true when it was this
    // control's and has been answered.
    bool command(WPARAM wParam, LPARAM lParam);

    std::string drive() const override;
    void restorePrevious() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel::win32
