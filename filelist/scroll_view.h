#pragma once

#include "filelist/file_list_controls.h"

namespace vantrel {

// Makes FrameSlide as tall as its rows, template row included, and shows the scroll bar,
// ranged to the overhang in units of 10 twips, only while FrameSlide is taller than FrameFix.
// Hiding the bar puts its value back to 0 and FrameSlide back at its start place; while the bar
// shows, its value and FrameSlide's offset are left alone.
void ResizeFileList(FileListControls& controls);

// Moves FrameSlide to -10 twips per unit of the bar's value.
void VScrollFiles_Change(FileListControls& controls);

}  // namespace vantrel
