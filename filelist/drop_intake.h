#pragma once

#include "filelist/file_list_controls.h"
#include "platform/controls.h"
#include "platform/message_box.h"

namespace vantrel {

// Appends one entry per dropped file, in the drop's order, each with the count "1", then fits
// the view. A path holding a NUL names no file and is left out. Any failure ends the intake
// with "No File name from Explorer": a drop that cannot be read (no file list, more than 32767
// files, only paths that name no file) adds nothing; a failure part-way keeps the entries
// already completed, drops the half-made one and fits the view to what is left.
void Picture1_OLEDragDrop(FileListControls& controls, const DroppedFiles& data,
                          MessageBox& messageBox);

}  // namespace vantrel
