#include "filelist/scroll_view.h"

#include <cmath>
#include <limits>

#include "platform/failure.h"

namespace vantrel {

namespace {

constexpr int kTwipsPerUnit = 10;
constexpr int kArrowStep = 200;

// Bar settings are rounded like every other real-to-integer setting (nearest, ties to even),
// but in the bar's full int range so that lists too long for 16-bit offsets still scroll to
// their end.
int roundToBarSetting(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<int>::min() &&
          rounded <= std::numeric_limits<int>::max())) {
        throwOverflow();
    }
    return static_cast<int>(rounded);
}

}  // namespace

void ResizeFileList(FileListControls& controls) {
    controls.FrameSlide.setHeight(controls.Text1.count() * controls.Text1.item(0).height());
    if (controls.FrameSlide.height() > controls.FrameFix.height()) {
        ScrollBar& bar = controls.VScrollFiles;
        bar.setMax(roundToBarSetting((controls.FrameSlide.height() - controls.FrameFix.height()) /
                                     kTwipsPerUnit));
        bar.setSmallChange(kArrowStep);
        bar.setLargeChange(roundToBarSetting(controls.FrameFix.height() / kTwipsPerUnit));
        bar.setVisible(true);
    } else {
        controls.VScrollFiles.setVisible(false);
    }
}

void VScrollFiles_Change(FileListControls& controls) {
    const long long offset = -static_cast<long long>(kTwipsPerUnit) * controls.VScrollFiles.value();
    controls.FrameSlide.setTop(static_cast<double>(offset));
}

}  // namespace vantrel
