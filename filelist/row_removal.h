#pragma once

#include <cstdint>

#include "filelist/file_list_controls.h"
#include "platform/controls.h"
#include "platform/message_box.h"

namespace vantrel {

// Records the pressed path box for the delete item; the left button (1) also opens the popup,
// the right (2) and middle (4) buttons only record.
void Text1_MouseDown(std::int16_t& SelectedIndex, PopupMenu& PUMenu_Files, int index, int button);

// Removes entry SelectedIndex by moving the texts of later entries one row up and unloading
// the last row pair, then fits the view. An index that names no entry changes nothing.
void PUMenu_DeleteFile_Click(FileListControls& controls, std::int16_t SelectedIndex);

// Unloads every entry and fits the view; on an empty list it only says so.
void ClearBtn_Click(FileListControls& controls, MessageBox& messageBox);

}  // namespace vantrel
