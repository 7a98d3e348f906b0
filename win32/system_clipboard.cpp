#include "win32/system_clipboard.h"

#include "win32/dropped_files.h"

namespace vantrel::win32 {

std::unique_ptr<DroppedFiles> Win32Clipboard::files() const {
    if (!::OpenClipboard(owner_)) {
        return std::make_unique<HdropFiles>();
    }
    struct Close {
        ~Close() { ::CloseClipboard(); }
    } close;
    // The clipboard keeps its data: the names are copied out before it is closed.
    auto* drop = static_cast<HDROP>(::GetClipboardData(CF_HDROP));
    return drop != nullptr ? std::make_unique<HdropFiles>(drop) : std::make_unique<HdropFiles>();
}

}  // namespace vantrel::win32
