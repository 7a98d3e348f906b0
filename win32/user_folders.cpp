#include "win32/user_folders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

std::wstring knownFolder(REFKNOWNFOLDERID id) {
    PWSTR known = nullptr;
    const HRESULT found = ::SHGetKnownFolderPath(id, 0, nullptr, &known);
    std::wstring folder = SUCCEEDED(found) && known != nullptr ? known : L"";
    ::CoTaskMemFree(known);
    return folder;
}

std::wstring withoutTrailingSeparator(std::wstring folder) {
    while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) {
        folder.pop_back();
    }
    return folder;
}

}  // namespace

void startInDocumentsWhenInOwnFolder() {
    wchar_t program[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    std::wstring own(program, length);
    own.erase(own.find_last_of(L'\\') + 1);
    std::wstring current(MAX_PATH, L'\0');
    current.resize(::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
    const std::wstring documents = knownFolder(FOLDERID_Documents);
    if (length == 0 || length == MAX_PATH || current.empty() || documents.empty() ||
        ::CompareStringOrdinal(withoutTrailingSeparator(own).c_str(), -1,
                               withoutTrailingSeparator(current).c_str(), -1, TRUE) != CSTR_EQUAL) {
        return;
    }
    ::SetCurrentDirectoryW(documents.c_str());
}

std::string localAppDataFolder() {
    std::wstring folder = knownFolder(FOLDERID_LocalAppData);
    if (folder.empty()) {
        // Where the shell cannot tell, the variable a user's session sets is the next best.
        const wchar_t* variable = ::_wgetenv(L"LOCALAPPDATA");
        folder = variable != nullptr ? variable : L"";
    }
    return toUtf8(folder);
}

}  // namespace vantrel::win32
