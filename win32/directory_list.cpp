#include "win32/directory_list.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/win32_path.h"
#include "platform/utf16.h"
#include "win32/dpi.h"
#include "win32/folder_glyph.h"
#include "win32/scoped_gdi.h"
#include "win32/win32_helpers.h"

namespace vantrel::win32 {

namespace {

// Blanks per level of depth in a row's text, which is what a screen reader or a copy of the
// list reads; the row is drawn with a glyph instead, indented by pixels.
constexpr std::size_t kIndent = 3;
constexpr UINT_PTR kSubclassId = 1;
// Sizes at 96 dpi, scaled to the list's own: the glyph's side, the indent per level and the
// gap between glyph and name, as the Qt window's directory list draws them.
constexpr int kGlyphPixels = 16;
constexpr int kIndentPixels = 8;
constexpr int kGapPixels = 3;

// No "insert a disk" box for a drive without its medium while the list reads a folder: the
// read fails instead, and the caller tells why.
class CriticalErrorsFail {
  public:
    CriticalErrorsFail() { ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &previous_); }
    ~CriticalErrorsFail() { ::SetThreadErrorMode(previous_, nullptr); }
    CriticalErrorsFail(const CriticalErrorsFail&) = delete;
    CriticalErrorsFail& operator=(const CriticalErrorsFail&) = delete;

  private:
    DWORD previous_ = 0;
};

bool startsWith(const std::wstring& text, std::wstring_view prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// "c:" or "c: [label]", as the drive list shows a drive.
bool isDriveText(const std::wstring& text) {
    if (text.size() < 2 || !std::iswalpha(text[0]) || text[1] != L':') {
        return false;
    }
    return text.size() == 2 ||
           (text.size() >= 5 && text.compare(2, 2, L" [") == 0 && text.back() == L']');
}

// Length of the root of a full path: "C:\" or "\\server\share\"; 0 for anything else.
std::size_t rootLength(const std::wstring& path) {
    if (path.size() >= 3 && std::iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\') {
        return 3;
    }
    if (!startsWith(path, L"\\\\")) {
        return 0;
    }
    const std::size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos || server == 2 || server + 1 == path.size() ||
        path[server + 1] == L'\\') {
        return 0;
    }
    const std::size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? 0 : share + 1;
}

// The folder that `path` names, in the form the list keeps: full, without the long-path
// prefix, the drive letter upper case, and no trailing separator but the root's.
std::wstring folderOf(const std::wstring& path) {
    std::wstring folder = win32Path(path);
    if (startsWith(folder, L"\\\\?\\UNC\\")) {
        folder = L"\\\\" + folder.substr(8);
    } else if (startsWith(folder, L"\\\\?\\")) {
        folder.erase(0, 4);
    }
    if (startsWith(folder, L"\\\\") && std::count(folder.begin(), folder.end(), L'\\') == 3) {
        folder += L'\\';
    }
    const std::size_t root = rootLength(folder);
    if (root == 0) {
        throw failureFromWin32(ERROR_BAD_PATHNAME);
    }
    if (folder[1] == L':') {
        folder[0] = static_cast<wchar_t>(std::towupper(folder[0]));
    }
    while (folder.size() > root && folder.back() == L'\\') {
        folder.pop_back();
    }
    return folder;
}

std::wstring childOf(const std::wstring& folder, const std::wstring& name) {
    return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

// In the order a person reads them: case aside, and numbers by their value.
bool readsBefore(const std::wstring& a, const std::wstring& b) {
    const int order = ::CompareStringEx(
        LOCALE_NAME_USER_DEFAULT, NORM_IGNORECASE | SORT_DIGITSASNUMBERS, a.c_str(),
        static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()), nullptr, nullptr, 0);
    if (order != CSTR_EQUAL) {
        return order == CSTR_LESS_THAN;
    }
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                                  static_cast<int>(b.size()), FALSE) == CSTR_LESS_THAN;
}

// The folder's subfolders, hidden ones left out, sorted.
std::vector<std::wstring> subfoldersOf(const std::wstring& folder) {
    const CriticalErrorsFail quietly;
    const std::wstring at = win32Path(folder);
    const DWORD attributes = ::GetFileAttributesW(at.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        // A folder that is not there is a path not found, whether its parent is or not.
        const DWORD error = ::GetLastError();
        throw failureFromWin32(error == ERROR_FILE_NOT_FOUND ? ERROR_PATH_NOT_FOUND : error);
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        throw failureFromWin32(ERROR_DIRECTORY);
    }

    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW(childOf(at, L"*").c_str(), FindExInfoBasic, &found,
                           FindExSearchLimitToDirectories, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        // The root of an empty drive has not even "." and "..".
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return names;
        }
        throw failureFromWin32(error);
    }
    const std::unique_ptr<void, decltype(&::FindClose)> closing(search, &::FindClose);
    do {
        const std::wstring name = found.cFileName;
        const DWORD kind = found.dwFileAttributes;
        if ((kind & FILE_ATTRIBUTE_DIRECTORY) != 0 && (kind & FILE_ATTRIBUTE_HIDDEN) == 0 &&
            name != L"." && name != L"..") {
            names.push_back(name);
        }
    } while (::FindNextFileW(search, &found));
    if (const DWORD error = ::GetLastError(); error != ERROR_NO_MORE_FILES) {
        throw failureFromWin32(error);
    }
    std::sort(names.begin(), names.end(), readsBefore);
    return names;
}

struct Row {
    std::wstring path;
    std::wstring text;
    int depth = 0;
    // An open folder of the path rather than a subfolder.
    bool open = true;
};

// The open folders from the root down, then the subfolders, each a level deeper.
std::vector<Row> rowsOf(const std::wstring& folder, const std::vector<std::wstring>& subfolders,
                        std::size_t& current) {
    const std::size_t root = rootLength(folder);
    std::vector<Row> rows{{folder.substr(0, root), folder.substr(0, root)}};
    for (std::size_t start = root; start < folder.size();) {
        const std::size_t end = std::min(folder.find(L'\\', start), folder.size());
        const int depth = static_cast<int>(rows.size());
        rows.push_back({folder.substr(0, end),
                        std::wstring(depth * kIndent, L' ') + folder.substr(start, end - start),
                        depth});
        start = end + 1;
    }
    current = rows.size() - 1;
    const int depth = static_cast<int>(current + 1);
    const std::wstring indent(depth * kIndent, L' ');
    for (const std::wstring& name : subfolders) {
        rows.push_back({childOf(folder, name), indent + name, depth, false});
    }
    return rows;
}

}  // namespace

struct Win32DirectoryList::Impl {
    explicit Impl(Win32DirectoryList& list) : owner(list) {}

    // Shows the folder; a folder that cannot be read raises a Failure and changes nothing.
    void open(const std::wstring& path) {
        const std::wstring opened = folderOf(path);
        const std::vector<std::wstring> subfolders = subfoldersOf(opened);
        std::size_t current = 0;
        std::vector<Row> shown = rowsOf(opened, subfolders, current);

        ::SendMessageW(hwnd, WM_SETREDRAW, FALSE, 0);
        ::SendMessageW(hwnd, LB_RESETCONTENT, 0, 0);
        for (const Row& row : shown) {
            ::SendMessageW(hwnd, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
        }
        ::SendMessageW(hwnd, LB_SETCURSEL, current, 0);
        ::SendMessageW(hwnd, WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(hwnd, nullptr, TRUE);
        rows = std::move(shown);

        const bool changed = opened != folder;
        folder = opened;
        if (changed) {
            owner.notifyChange();
        }
    }

    // The user opened the highlighted folder.
    void openHighlighted() {
        const auto index = ::SendMessageW(hwnd, LB_GETCURSEL, 0, 0);
        if (index < 0 || static_cast<std::size_t>(index) >= rows.size()) {
            return;
        }
        const std::wstring path = rows[static_cast<std::size_t>(index)].path;
        if (guard) {
            guard([this, path] { open(path); });
            return;
        }
        try {
            open(path);
        } catch (const Failure&) {
            ::MessageBeep(MB_ICONWARNING);
        }
    }

    // Rows tall enough for the font and the glyph, at the list's DPI.
    void fitRowHeight() {
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        TEXTMETRICW metrics{};
        {
            const WindowDc dc(hwnd);
            const SelectedObject selected(dc.get(),
                                          font != nullptr ? font : ::GetStockObject(SYSTEM_FONT));
            ::GetTextMetricsW(dc.get(), &metrics);
        }
        const int glyph = ::MulDiv(kGlyphPixels, windowDpi(hwnd), USER_DEFAULT_SCREEN_DPI);
        ::SendMessageW(hwnd, LB_SETITEMHEIGHT, 0, std::max<LPARAM>(metrics.tmHeight, glyph));
    }

    // A row as the Qt window draws it: indented by its depth, its glyph, then its name, the
    // highlight covering the name only.
    void draw(const DRAWITEMSTRUCT& item) const {
        HDC dc = item.hDC;
        const RECT& box = item.rcItem;
        ::FillRect(dc, &box, ::GetSysColorBrush(COLOR_WINDOW));
        if (item.itemID >= rows.size()) {
            if ((item.itemState & ODS_FOCUS) != 0) {
                ::DrawFocusRect(dc, &box);
            }
            return;
        }
        const Row& row = rows[item.itemID];
        const int dpi = windowDpi(hwnd);
        const auto scaled = [dpi](int pixels) {
            return ::MulDiv(pixels, dpi, USER_DEFAULT_SCREEN_DPI);
        };
        const int glyph = scaled(kGlyphPixels);
        const int left = box.left + scaled(kIndentPixels) * row.depth;
        const int top = box.top + (box.bottom - box.top - glyph) / 2;
        drawFolderGlyph(dc, RECT{left, top, left + glyph, top + glyph}, row.open);

        const std::wstring name = row.text.substr(static_cast<std::size_t>(row.depth) * kIndent);
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        const SelectedObject fontSelected(dc, font);
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, name.c_str(), static_cast<int>(name.size()), &extent);
        const int gap = scaled(kGapPixels);
        RECT text{left + glyph + gap, box.top,
                  std::min<LONG>(left + glyph + 3 * gap + extent.cx, box.right), box.bottom};
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        if (selected) {
            ::FillRect(dc, &text, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        }
        ::SetBkMode(dc, TRANSPARENT);
        // Greyed while the list takes no input, as during a run.
        const bool disabled = ::IsWindowEnabled(hwnd) == FALSE;
        ::SetTextColor(dc, ::GetSysColor(selected   ? COLOR_HIGHLIGHTTEXT
                                         : disabled ? COLOR_GRAYTEXT
                                                    : COLOR_WINDOWTEXT));
        RECT inside{text.left + gap, text.top, text.right, text.bottom};
        ::DrawTextW(dc, name.c_str(), static_cast<int>(name.size()), &inside,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
        if ((item.itemState & ODS_FOCUS) != 0) {
            ::DrawFocusRect(dc, &text);
        }
    }

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR data) {
        auto& impl = *reinterpret_cast<Impl*>(data);
        switch (message) {
            case WM_GETDLGCODE: {
                // Enter opens a folder here rather than pressing a dialog's default button.
                const auto* msg = reinterpret_cast<const MSG*>(lParam);
                if (msg != nullptr && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN) {
                    return ::DefSubclassProc(hwnd, message, wParam, lParam) | DLGC_WANTMESSAGE;
                }
                break;
            }
            case WM_KEYDOWN:
                if (wParam == VK_RETURN) {
                    impl.openHighlighted();
                    return 0;
                }
                break;
            case WM_CHAR:
                if (wParam == L'\r') {
                    return 0;
                }
                break;
            case kDrawOwnItem:
                impl.draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
                return TRUE;
            case WM_SETFONT: {
                const LRESULT result = ::DefSubclassProc(hwnd, message, wParam, lParam);
                impl.fitRowHeight();
                return result;
            }
            case WM_NCDESTROY:
                ::RemoveWindowSubclass(hwnd, &Impl::procedure, kSubclassId);
                break;
            default:
                break;
        }
        return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }

    Win32DirectoryList& owner;
    HWND hwnd = nullptr;
    std::wstring folder;
    std::vector<Row> rows;
    std::function<void(const std::function<void()>&)> guard;
};

Win32DirectoryList::Win32DirectoryList(HWND parent, const RECT& pixels, HFONT font, int id)
    : impl_(std::make_unique<Impl>(*this)) {
    impl_->hwnd = createChild(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                              WS_TABSTOP | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT |
                                  LBS_HASSTRINGS | LBS_OWNERDRAWFIXED,
                              parent, pixels, id, font);
    ::SetWindowSubclass(impl_->hwnd, &Impl::procedure, kSubclassId,
                        reinterpret_cast<DWORD_PTR>(impl_.get()));
    impl_->fitRowHeight();
    // A current folder that cannot be read leaves the list empty until a folder is set.
    try {
        impl_->open(L".");
    } catch (const Failure&) {
    }
}

Win32DirectoryList::~Win32DirectoryList() {
    if (::IsWindow(impl_->hwnd)) {
        ::DestroyWindow(impl_->hwnd);
    }
}

HWND Win32DirectoryList::hwnd() const {
    return impl_->hwnd;
}

void Win32DirectoryList::setOpenGuard(std::function<void(const std::function<void()>&)> guard) {
    impl_->guard = std::move(guard);
}

bool Win32DirectoryList::command(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(lParam) != impl_->hwnd || impl_->hwnd == nullptr) {
        return false;
    }
    if (HIWORD(wParam) == LBN_DBLCLK) {
        impl_->openHighlighted();
    }
    return true;
}

std::string Win32DirectoryList::path() const {
    return toUtf8(impl_->folder);
}

void Win32DirectoryList::setPath(const std::string& path) {
    const std::wstring text = toUtf16(path);
    if (!isDriveText(text)) {
        impl_->open(text);
        return;
    }
    const std::wstring drive = text.substr(0, 2);
    try {
        impl_->open(drive);
    } catch (const Failure&) {
        // The folder the system remembers for a drive may have gone while the drive is well:
        // its root then. A drive that is not ready fails there too.
        impl_->open(drive + L'\\');
    }
}

}  // namespace vantrel::win32
