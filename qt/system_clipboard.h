#pragma once

#include <memory>

#include "platform/controls.h"

namespace vantrel::qt {

// The files on the system's clipboard, as the file managers put them there: a list of links
// (text/uri-list), or where a file manager offers only that, GNOME's list of copied files, whose
// first line says whether they were copied or cut.
class QtClipboard : public SystemClipboard {
  public:
    std::unique_ptr<DroppedFiles> files() const override;
};

}  // namespace vantrel::qt
