#pragma once

#include "platform/controls.h"

namespace vantrel {

// The controls of the window that a replication run reads and writes.
struct ReplicationControls {
    TextBox& SaveTo;
    TextBoxArray& Text1;
    TextBoxArray& CopyTimes;
    Label& LabelProgress;
    Shape& ShapeProgress;
    Shape& ShapeProgressBack;
};

}  // namespace vantrel
