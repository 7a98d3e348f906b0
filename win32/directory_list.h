#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/controls.h"

namespace vantrel::win32 {

// Dir1: a list of the open folders of the current path, from the drive's root down, and below
// them the subfolders of the current folder. A folder is opened by a double-click or Enter;
// highlighting one does not open it. Every change of the current folder raises the change
// notification.
class Win32DirectoryList : public DirectoryList {
  public:
    // Creates the control as a child of `parent` at `pixels` in the parent's client
    // coordinates, opened at the process's current folder.
    Win32DirectoryList(HWND parent, const RECT& pixels, HFONT font, int id);
    ~Win32DirectoryList() override;

    HWND hwnd() const;
    // The parent's window procedure hands each WM_COMMAND here first; true when it was this
    // control's and has been answered.
    bool command(WPARAM wParam, LPARAM lParam);
    // A folder the user opens is opened inside `guard`, which tells what cannot be opened (and
    // may hold the opening back while a run goes on). Without a guard a folder that cannot be
    // opened only beeps.
    void setOpenGuard(std::function<void(const std::function<void()>&)> guard);

    std::string path() const override;
    // Accepts a folder or a drive's text ("c:" or "c: [label]", which opens that drive's
    // current folder, or its root where that folder has gone).
    void setPath(const std::string& path) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel::win32
