#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

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

// The files chosen in a file dialog, handed to the intake as a drop of them.
class ChosenFiles : public DroppedFiles {
  public:
    explicit ChosenFiles(std::vector<std::string> paths) : paths_(std::move(paths)) {}
    long long count() const override { return static_cast<long long>(paths_.size()); }
    std::string file(long long k) const override;

  private:
    std::vector<std::string> paths_;
};

// The virtual-key code of Insert, which the front ends hand to Form_KeyDown as it is.
inline constexpr std::int16_t vbKeyInsert = 45;

// The held Shift (1), Ctrl (2) and Alt (4) keys, as `Shift` of a key event.
constexpr std::int16_t shiftState(bool shift, bool ctrl, bool alt) {
    return static_cast<std::int16_t>((shift ? 1 : 0) | (ctrl ? 2 : 0) | (alt ? 4 : 0));
}

// Ctrl+V and Shift+Insert, the keys that paste wherever no text box takes them. `KeyCode` is
// the key's virtual-key code, `Shift` the held keys of shiftState.
bool isPasteKey(std::int16_t KeyCode, std::int16_t Shift);

// Enter and Space, the keys that open the file dialog from the drop area.
bool isChooseKey(std::int16_t KeyAscii);

}  // namespace vantrel
