#include "filelist/scroll_view.h"

#include "platform/numbers.h"

namespace vantrel {

namespace {

constexpr int kTwipsPerUnit = 10;
constexpr int kArrowStep = 200;

}  // namespace

void ResizeFileList(FileListControls& controls) {
    controls.FrameSlide.setHeight(controls.Text1.count() * controls.Text1.item(0).height());
    if (controls.FrameSlide.height() > controls.FrameFix.height()) {
        ScrollBar& bar = controls.VScrollFiles;
        // The bar's full int range, so that lists too long for 16-bit offsets still scroll.
        bar.setMax(roundChecked<int>((controls.FrameSlide.height() - controls.FrameFix.height()) /
                                     kTwipsPerUnit));
        bar.setSmallChange(kArrowStep);
        bar.setLargeChange(roundChecked<int>(controls.FrameFix.height() / kTwipsPerUnit));
        bar.setVisible(true);
    } else {
        controls.VScrollFiles.setVisible(false);
        // With the bar gone nothing could bring scrolled-away rows back into view: the list
        // goes back to where it started, and the bar's value with it.
        controls.VScrollFiles.setValue(0);
        controls.FrameSlide.setTop(controls.frameSlideStart);
    }
}

void VScrollFiles_Change(FileListControls& controls) {
    const long long offset = -static_cast<long long>(kTwipsPerUnit) * controls.VScrollFiles.value();
    controls.FrameSlide.setTop(static_cast<double>(offset));
}

}  // namespace vantrel
