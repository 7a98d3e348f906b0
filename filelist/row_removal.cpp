#include "filelist/row_removal.h"

#include "filelist/scroll_view.h"
#include "platform/numbers.h"

namespace vantrel {

namespace {

constexpr int kLeftButton = 1;
constexpr const char* kNoFilesToDelete = "There are no files to delete.";

}  // namespace

void Text1_MouseDown(std::int16_t& SelectedIndex, PopupMenu& PUMenu_Files, int index, int button) {
    SelectedIndex = checkedInt16(index);
    if (button == kLeftButton) {
        PUMenu_Files.popup();
    }
}

void PUMenu_DeleteFile_Click(FileListControls& controls, std::int16_t SelectedIndex) {
    const std::int16_t last = checkedInt16(controls.Text1.count() - 1);
    // A stale or unset index would otherwise shift the template's empty texts into the list
    // or unload an entry the user did not pick.
    if (SelectedIndex < 1 || SelectedIndex > last) {
        return;
    }
    for (int i = SelectedIndex; i < last; ++i) {
        controls.Text1.item(i).setText(controls.Text1.item(i + 1).text());
        controls.CopyTimes.item(i).setText(controls.CopyTimes.item(i + 1).text());
    }
    controls.Text1.unload(controls.Text1.count() - 1);
    controls.CopyTimes.unload(controls.CopyTimes.count() - 1);
    ResizeFileList(controls);
}

void ClearBtn_Click(FileListControls& controls, MessageBox& messageBox) {
    if (controls.Text1.count() == 1) {
        messageBox.show(kNoFilesToDelete, Buttons::Ok);
        return;
    }
    const std::int16_t upper = checkedInt16(controls.Text1.ubound());
    for (int i = 1; i <= upper; ++i) {
        controls.Text1.unload(i);
        controls.CopyTimes.unload(i);
    }
    ResizeFileList(controls);
}

}  // namespace vantrel
