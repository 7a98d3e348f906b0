#include "filelist/drop_intake.h"

#include <cstdint>
#include <exception>

#include "filelist/scroll_view.h"
#include "platform/numbers.h"
#include "replication/file_list.h"

namespace vantrel {

namespace {

constexpr const char* kNoFileName = "No File name from Explorer";

}  // namespace

void Picture1_OLEDragDrop(FileListControls& controls, const DroppedFiles& data,
                          MessageBox& messageBox) {
    bool fitting = false;
    // Failure derives from std::exception, so this one handler takes platform failures and
    // the standard library's alike.
    try {
        FileList list(controls.Text1, controls.CopyTimes);
        const std::int16_t base = checkedInt16(list.entries());
        const std::int16_t files = checkedInt16(data.count());
        for (int k = 1; k <= files; ++k) {
            const std::int16_t index = checkedInt16(base + k);
            list.append(index, data.file(k));
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
