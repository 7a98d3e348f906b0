#include "filelist/drop_intake.h"

#include <cstdint>
#include <exception>
#include <string>

#include "filelist/file_list.h"
#include "filelist/scroll_view.h"
#include "platform/failure.h"
#include "platform/numbers.h"

namespace vantrel {

namespace {

constexpr const char* kNoFileName = "No File name from Explorer";

constexpr std::int16_t kKeyV = 86;
constexpr std::int16_t kReturn = 13;
constexpr std::int16_t kSpace = 32;

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
        std::int16_t index = base;
        for (int k = 1; k <= files; ++k) {
            const std::string path = data.file(k);
            // The system reads a path only up to a NUL, while the copy's name would come from
            // what follows it: such a path names no file, as a web address names none.
            if (path.find('\0') != std::string::npos) {
                continue;
            }
            index = checkedInt16(index + 1);
            list.append(index, path);
        }
        if (files > 0 && index == base) {
            throw Failure(kNoFileList, "The dropped data holds no file");
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

std::string ChosenFiles::file(long long k) const {
    if (k < 1 || k > count()) {
        throw Failure(kSubscriptOutOfRange, "Subscript out of range");
    }
    return paths_[static_cast<std::size_t>(k - 1)];
}

bool isPasteKey(std::int16_t KeyCode, std::int16_t Shift) {
    return (KeyCode == kKeyV && Shift == shiftState(false, true, false)) ||
           (KeyCode == vbKeyInsert && Shift == shiftState(true, false, false));
}

bool isChooseKey(std::int16_t KeyAscii) {
    return KeyAscii == kReturn || KeyAscii == kSpace;
}

}  // namespace vantrel
