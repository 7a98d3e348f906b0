#pragma once

#include "platform/services.h"

namespace vantrel::test {

// Shows no progress.
class NoPainting : public ProgressPainter {
  public:
    void paintProgress(bool /*always*/) override {}
};

}  // namespace vantrel::test
