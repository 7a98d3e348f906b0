#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/controls.h"

namespace vantrel::win32 {

// The system's dialog for opening several files: the common item dialog (IFileOpenDialog),
// file-system items only, or the older GetOpenFileNameW where that cannot be created. It opens
// where the last one closed, the first in the user's profile folder, whatever the system
// remembers of other runs. COM must be initialised on the thread.
class Win32FileDialog : public OpenFileDialog {
  public:
    explicit Win32FileDialog(HWND owner);

    std::vector<std::string> showOpen(const std::string& title) override;

  private:
    std::vector<std::string> showItemDialog(const std::wstring& title, bool& shown);
    std::vector<std::string> showOldDialog(const std::wstring& title);

    HWND owner_;
    std::wstring folder_;
};

}  // namespace vantrel::win32
