#include <windows.h>

#include "platform/fs/size_limit.h"
#include "platform/fs/win32_path.h"
#include "platform/handle_win32.h"
#include "platform/utf16.h"

namespace vantrel {

std::string fileSystemNameOf(const std::string& folder) {
    // Opening a folder at all needs FILE_FLAG_BACKUP_SEMANTICS; no access right is asked for.
    const Handle opened(::CreateFileW(win32Path(folder).c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t name[MAX_PATH + 1] = {};
    if (!opened.valid() || !::GetVolumeInformationByHandleW(opened.get(), nullptr, 0, nullptr,
                                                            nullptr, nullptr, name, MAX_PATH + 1)) {
        return {};
    }
    return toUtf8(name);
}

}  // namespace vantrel
