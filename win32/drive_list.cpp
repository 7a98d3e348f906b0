#include "win32/drive_list.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cwctype>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "win32/win32_helpers.h"

namespace vantrel::win32 {

namespace {

// How long the list waits for the labels of all drives together: a network drive whose server
// is gone, or a drive that spins up, would otherwise hold the window for many seconds.
constexpr std::chrono::milliseconds kLabelWait(1500);

// Rows the dropped list shows before it scrolls.
constexpr int kDroppedRows = 10;

// The labels of the drives, each asked for on a thread of its own. A thread that is still
// waiting when the list gives up keeps the shared state alive and finishes unseen.
std::vector<std::wstring> labelsOf(const std::vector<std::wstring>& roots) {
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::vector<std::wstring> labels;
        std::size_t answered = 0;
    };
    const auto shared = std::make_shared<Shared>();
    shared->labels.resize(roots.size());
    for (std::size_t i = 0; i < roots.size(); ++i) {
        std::thread([shared, i, root = roots[i]] {
            // A drive without its medium answers at once instead of asking for a disk.
            ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, nullptr);
            wchar_t label[MAX_PATH + 1] = {};
            const bool known = ::GetVolumeInformationW(root.c_str(), label, MAX_PATH + 1, nullptr,
                                                       nullptr, nullptr, nullptr, 0) != 0;
            const std::lock_guard lock(shared->mutex);
            if (known) {
                shared->labels[i] = label;
            }
            ++shared->answered;
            shared->done.notify_one();
        }).detach();
    }
    std::unique_lock lock(shared->mutex);
    shared->done.wait_for(lock, kLabelWait,
                          [&shared, &roots] { return shared->answered == roots.size(); });
    return shared->labels;
}

// "c: [label]", or "c:" for a drive without a label or one that did not answer.
std::vector<std::wstring> driveTexts() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length =
            ::GetLogicalDriveStringsW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (length < buffer.size()) {
            buffer.resize(length);
            break;
        }
        buffer.resize(length + 1);
    }
    std::vector<std::wstring> roots;
    for (auto at = buffer.begin(); at != buffer.end();) {
        const auto end = std::find(at, buffer.end(), L'\0');
        if (end != at) {
            roots.emplace_back(at, end);
        }
        at = end == buffer.end() ? end : end + 1;
    }
    const std::vector<std::wstring> labels = labelsOf(roots);
    std::vector<std::wstring> texts;
    for (std::size_t i = 0; i < roots.size(); ++i) {
        std::wstring text{static_cast<wchar_t>(std::towlower(roots[i][0])), L':'};
        if (!labels[i].empty()) {
            text += L" [" + labels[i] + L']';
        }
        texts.push_back(std::move(text));
    }
    return texts;
}

// The drive of the process's current folder, as the list names it: "c:", or empty when the
// current folder is on a share.
std::wstring currentDrive() {
    const DWORD size = ::GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    folder.resize(::GetCurrentDirectoryW(size, folder.data()));
    if (folder.size() < 2 || folder[1] != L':') {
        return {};
    }
    return {static_cast<wchar_t>(std::towlower(folder[0])), L':'};
}

}  // namespace

struct Win32DriveList::Impl {
    HWND hwnd = nullptr;
    int chosen = CB_ERR;
    int previous = CB_ERR;
};

Win32DriveList::Win32DriveList(HWND parent, const RECT& pixels, HFONT font, int id)
    : impl_(std::make_unique<Impl>()) {
    impl_->hwnd = createChild(0, L"COMBOBOX", L"",
                              WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_HASSTRINGS, parent,
                              pixels, id, font);
    place(pixels);

    const std::wstring current = currentDrive();
    for (const std::wstring& text : driveTexts()) {
        const auto index = static_cast<int>(
            ::SendMessageW(impl_->hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
        if (!current.empty() && text.compare(0, current.size(), current) == 0) {
            impl_->chosen = index;
        }
    }
    impl_->previous = impl_->chosen;
    ::SendMessageW(impl_->hwnd, CB_SETCURSEL, static_cast<WPARAM>(impl_->chosen), 0);
}

Win32DriveList::~Win32DriveList() {
    if (::IsWindow(impl_->hwnd)) {
        ::DestroyWindow(impl_->hwnd);
    }
}

void Win32DriveList::place(const RECT& pixels) {
    const int width = pixels.right - pixels.left;
    const int height = pixels.bottom - pixels.top;
    // A combo box's own height is that of the closed box and its dropped list together. Set
    // before the closed box's: a change of size sets the box's height anew.
    const auto row = static_cast<int>(::SendMessageW(impl_->hwnd, CB_GETITEMHEIGHT, 0, 0));
    ::SetWindowPos(impl_->hwnd, nullptr, pixels.left, pixels.top, width,
                   height + kDroppedRows * std::max(row, 1) + 2, SWP_NOZORDER | SWP_NOACTIVATE);

    // The closed box's height follows its selection field, with a frame around it whose size
    // the system decides: set the field, see what the box became, and correct once.
    const auto closedHeight = [this] {
        RECT closed{};
        ::GetWindowRect(impl_->hwnd, &closed);
        return static_cast<int>(closed.bottom - closed.top);
    };
    auto field =
        static_cast<int>(::SendMessageW(impl_->hwnd, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 2 && field != CB_ERR && closedHeight() != height; ++attempt) {
        field += height - closedHeight();
        if (field <= 0) {
            break;
        }
        ::SendMessageW(impl_->hwnd, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
}

HWND Win32DriveList::hwnd() const {
    return impl_->hwnd;
}

bool Win32DriveList::command(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != impl_->hwnd || impl_->hwnd == nullptr) {
        return false;
    }
    // Arrow keys in the dropped list change the selection on the way to the one wanted: the
    // choice counts once the list has closed.
    const WORD code = HIWORD(wParam);
    if ((code == CBN_SELCHANGE || code == CBN_CLOSEUP) &&
        !::SendMessageW(impl_->hwnd, CB_GETDROPPEDSTATE, 0, 0)) {
        const auto index = static_cast<int>(::SendMessageW(impl_->hwnd, CB_GETCURSEL, 0, 0));
        if (index != CB_ERR && index != impl_->chosen) {
            impl_->previous = impl_->chosen;
            impl_->chosen = index;
            notifyChange();
        }
    }
    return true;
}

std::string Win32DriveList::drive() const {
    const auto index = static_cast<int>(::SendMessageW(impl_->hwnd, CB_GETCURSEL, 0, 0));
    if (index == CB_ERR) {
        return {};
    }
    const auto length = static_cast<int>(
        ::SendMessageW(impl_->hwnd, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0));
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        std::max<LRESULT>(::SendMessageW(impl_->hwnd, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                         reinterpret_cast<LPARAM>(text.data())),
                          0)));
    return toUtf8(text);
}

void Win32DriveList::restorePrevious() {
    impl_->chosen = impl_->previous;
    ::SendMessageW(impl_->hwnd, CB_SETCURSEL, static_cast<WPARAM>(impl_->chosen), 0);
}

}  // namespace vantrel::win32
