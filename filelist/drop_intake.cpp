#include "filelist/drop_intake.h"

#include <cstdint>
#include <exception>
#include <string>

#include "filelist/scroll_view.h"
#include "platform/numbers.h"

namespace vantrel {

namespace {

constexpr const char* kNoFileName = "No File name from Explorer";

// Loads element `index` hidden, places it one template height below its predecessor, and
// shows it only once its place and text are set.
void loadRow(TextBoxArray& boxes, int index, const std::string& text) {
    boxes.load(index);
    TextBox& box = boxes.item(index);
    box.setTop(boxes.item(index - 1).top() + boxes.item(0).height());
    box.setText(text);
    box.setVisible(true);
}

void unloadIfAdded(TextBoxArray& boxes, int countBefore, int index) {
    if (boxes.count() > countBefore) {
        boxes.unload(index);
    }
}

// Either both boxes of the entry are made or neither stays, so the arrays remain parallel.
void appendEntry(FileListControls& controls, int index, const std::string& path) {
    const int pathsBefore = controls.Text1.count();
    const int countsBefore = controls.CopyTimes.count();
    try {
        loadRow(controls.Text1, index, path);
        loadRow(controls.CopyTimes, index, "1");
    } catch (...) {
        unloadIfAdded(controls.CopyTimes, countsBefore, index);
        unloadIfAdded(controls.Text1, pathsBefore, index);
        throw;
    }
}

}  // namespace

void Picture1_OLEDragDrop(FileListControls& controls, const DroppedFiles& data,
                          MessageBox& messageBox) {
    bool fitting = false;
    // Failure derives from std::exception, so this one handler takes platform failures and
    // the standard library's alike.
    try {
        const std::int16_t base = checkedInt16(controls.Text1.count() - 1);
        const std::int16_t files = checkedInt16(data.count());
        for (int k = 1; k <= files; ++k) {
            const std::int16_t index = checkedInt16(base + k);
            appendEntry(controls, index, data.file(k));
        }
        fitting = true;
        ResizeFileList(controls);
    } catch (const std::exception&) {
        if (!fitting) {
            try {
                ResizeFileList(controls);
            } catch (const std::exception&) {
                // The view stays as the failed fit left it; the message below reports the drop.
            }
        }
        messageBox.show(kNoFileName, Buttons::Ok);
    }
}

}  // namespace vantrel
