#include "win32/user_folders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

#include "platform/utf16.h"

namespace vantrel::win32 {

std::string localAppDataFolder() {
    PWSTR known = nullptr;
    const HRESULT found = ::SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &known);
    std::wstring folder = SUCCEEDED(found) && known != nullptr ? known : L"";
    ::CoTaskMemFree(known);
    if (folder.empty()) {
        // Where the shell cannot tell, the variable a user's session sets is the next best.
        const wchar_t* variable = ::_wgetenv(L"LOCALAPPDATA");
        folder = variable != nullptr ? variable : L"";
    }
    return toUtf8(folder);
}

}  // namespace vantrel::win32
