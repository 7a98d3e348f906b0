#pragma once

#include "platform/file_system.h"

namespace vantrel {

// The machine's own file system. Copies and the log go through a temporary file in the target's
// folder that is renamed over the target only once it is complete.
class RealFileSystem : public FileSystem {
  public:
    bool exists(const std::string& path, Attributes attributes) override;
    void makeDir(const std::string& path) override;
    void copyFile(const std::string& source, const std::string& target) override;
    void writeText(const std::string& path, const std::string& text) override;
};

}  // namespace vantrel
