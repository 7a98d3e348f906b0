#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/controls.h"

namespace vantrel::test {

// A drop of the given paths.
class ListedFiles : public DroppedFiles {
  public:
    explicit ListedFiles(std::vector<std::string> paths) : paths_(std::move(paths)) {}
    long long count() const override { return static_cast<long long>(paths_.size()); }
    std::string file(long long k) const override { return paths_.at(k - 1); }

  private:
    std::vector<std::string> paths_;
};

}  // namespace vantrel::test
