#pragma once

#include <windows.h>

#include <memory>

#include "platform/controls.h"

namespace vantrel::win32 {

// The files on the system's clipboard, as Explorer puts them there (CF_HDROP), read out at once.
// A clipboard that another program holds open, or that holds no files, holds no file list.
class Win32Clipboard : public SystemClipboard {
  public:
    explicit Win32Clipboard(HWND owner) : owner_(owner) {}

    std::unique_ptr<DroppedFiles> files() const override;

  private:
    HWND owner_;
};

}  // namespace vantrel::win32
