#include "filelist/count_key_filter.h"

namespace vantrel {

namespace {

constexpr std::int16_t kBackspace = 8;
constexpr const char* kNumberEntryOnly = "Number entry only.";

}  // namespace

void CopyTimes_KeyPress(int /*index*/, std::int16_t& KeyAscii, MessageBox& messageBox) {
    if (KeyAscii == kBackspace || (KeyAscii >= '0' && KeyAscii <= '9')) {
        return;
    }
    // Cancel the key first: the box must not take it while the message is up.
    KeyAscii = 0;
    messageBox.show(kNumberEntryOnly, Buttons::Ok);
}

}  // namespace vantrel
