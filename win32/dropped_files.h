#pragma once

#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace vantrel::win32 {

// The file list of a drop, read out of the system's drop data (CF_HDROP) at once, so that it
// outlives the data. Without a list, count() raises the Failure the window's logic reports.
class HdropFiles : public DroppedFiles {
  public:
    // Dropped data that carries no file list.
    HdropFiles() = default;
    explicit HdropFiles(HDROP drop);

    long long count() const override;
    std::string file(long long k) const override;

  private:
    std::optional<std::vector<std::string>> paths_;
};

}  // namespace vantrel::win32
