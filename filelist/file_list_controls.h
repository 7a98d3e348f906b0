#pragma once

#include "platform/controls.h"

namespace vantrel {

// The controls of the window that hold and show the file list.
struct FileListControls {
    TextBoxArray& Text1;
    TextBoxArray& CopyTimes;
    Frame& FrameSlide;
    Frame& FrameFix;
    ScrollBar& VScrollFiles;
    // Where FrameSlide stands in FrameFix before the list is first scrolled, in twips.
    double frameSlideStart;
};

}  // namespace vantrel
