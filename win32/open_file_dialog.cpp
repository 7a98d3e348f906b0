#include "win32/open_file_dialog.h"

#include <commdlg.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <cwchar>

#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

using Microsoft::WRL::ComPtr;

// Room for the names of a few thousand files chosen at once in the older dialog.
constexpr DWORD kOldDialogChars = 1 << 18;

std::wstring profileFolder() {
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_Profile, 0, nullptr, &known)) &&
        known != nullptr) {
        folder = known;
    }
    ::CoTaskMemFree(known);
    return folder;
}

std::wstring pathOf(IShellItem& item) {
    PWSTR name = nullptr;
    std::wstring path;
    if (SUCCEEDED(item.GetDisplayName(SIGDN_FILESYSPATH, &name)) && name != nullptr) {
        path = name;
    }
    ::CoTaskMemFree(name);
    return path;
}

}  // namespace

Win32FileDialog::Win32FileDialog(HWND owner) : owner_(owner), folder_(profileFolder()) {}

std::vector<std::string> Win32FileDialog::showOpen(const std::string& title) {
    const std::wstring caption = toUtf16(title);
    bool shown = false;
    std::vector<std::string> chosen = showItemDialog(caption, shown);
    return shown ? chosen : showOldDialog(caption);
}

std::vector<std::string> Win32FileDialog::showItemDialog(const std::wstring& title, bool& shown) {
    ComPtr<IFileOpenDialog> dialog;
    if (FAILED(::CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(&dialog)))) {
        return {};
    }
    FILEOPENDIALOGOPTIONS options = 0;
    dialog->GetOptions(&options);
    dialog->SetOptions(options | FOS_ALLOWMULTISELECT | FOS_FORCEFILESYSTEM | FOS_FILEMUSTEXIST |
                       FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
    dialog->SetTitle(title.c_str());
    // SetFolder, not SetDefaultFolder: the folder of this run's last dialog beats what the
    // system kept from others.
    ComPtr<IShellItem> start;
    if (!folder_.empty() &&
        SUCCEEDED(::SHCreateItemFromParsingName(folder_.c_str(), nullptr, IID_PPV_ARGS(&start)))) {
        dialog->SetFolder(start.Get());
    }
    shown = true;
    const HRESULT answer = dialog->Show(owner_);
    ComPtr<IShellItem> last;
    if (SUCCEEDED(dialog->GetFolder(&last))) {
        if (std::wstring folder = pathOf(*last.Get()); !folder.empty()) {
            folder_ = std::move(folder);
        }
    }
    ComPtr<IShellItemArray> items;
    DWORD count = 0;
    if (FAILED(answer) || FAILED(dialog->GetResults(&items)) || FAILED(items->GetCount(&count))) {
        return {};
    }
    std::vector<std::string> files;
    for (DWORD i = 0; i < count; ++i) {
        ComPtr<IShellItem> item;
        if (SUCCEEDED(items->GetItemAt(i, &item))) {
            if (const std::wstring path = pathOf(*item.Get()); !path.empty()) {
                files.push_back(toUtf8(path));
            }
        }
    }
    return files;
}

std::vector<std::string> Win32FileDialog::showOldDialog(const std::wstring& title) {
    std::wstring names(kOldDialogChars, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = owner_;
    dialog.lpstrFile = names.data();
    dialog.nMaxFile = kOldDialogChars;
    dialog.lpstrInitialDir = folder_.empty() ? nullptr : folder_.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST |
                   OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!::GetOpenFileNameW(&dialog)) {
        return {};
    }
    // One file: its full path. Several: the folder, then each name, each ended by a NUL.
    const wchar_t* at = names.c_str();
    const std::wstring first = at;
    at += first.size() + 1;
    if (*at == L'\0') {
        folder_ = first.substr(0, dialog.nFileOffset);
        return {toUtf8(first)};
    }
    folder_ = first;
    const std::wstring prefix = first.ends_with(L'\\') ? first : first + L'\\';
    std::vector<std::string> files;
    for (; *at != L'\0'; at += std::wcslen(at) + 1) {
        files.push_back(toUtf8(prefix + at));
    }
    return files;
}

}  // namespace vantrel::win32
