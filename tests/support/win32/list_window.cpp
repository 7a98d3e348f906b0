#include "support/win32/list_window.h"

#include "platform/utf16.h"
#include "win32/win32_helpers.h"

namespace vantrel::test {

namespace {

constexpr wchar_t kClassName[] = L"VantrelListTests";

std::vector<std::string> rowsOf(HWND control, UINT count, UINT length, UINT text) {
    std::vector<std::string> rows;
    const auto n = ::SendMessageW(control, count, 0, 0);
    for (WPARAM i = 0; i < static_cast<WPARAM>(n); ++i) {
        std::wstring row(static_cast<std::size_t>(::SendMessageW(control, length, i, 0)) + 1,
                         L'\0');
        row.resize(static_cast<std::size_t>(
            ::SendMessageW(control, text, i, reinterpret_cast<LPARAM>(row.data()))));
        rows.push_back(toUtf8(row));
    }
    return rows;
}

}  // namespace

ListWindow::ListWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ListWindow::procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClassName;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    ::RegisterClassExW(&windowClass);
    hwnd_ = ::CreateWindowExW(0, kClassName, L"Lists", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, nullptr,
                              nullptr, ::GetModuleHandleW(nullptr), this);
}

ListWindow::~ListWindow() {
    if (hwnd_ != nullptr) {
        ::DestroyWindow(hwnd_);
    }
}

LRESULT CALLBACK ListWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<ListWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (message == WM_COMMAND && window != nullptr && window->onCommand &&
        window->onCommand(wParam, lParam)) {
        return 0;
    }
    if (message == WM_DRAWITEM) {
        return win32::handDrawItemToControl(lParam);
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<std::string> listBoxRows(HWND list) {
    return rowsOf(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> comboBoxRows(HWND combo) {
    return rowsOf(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void notifyParent(HWND control, WORD code) {
    ::SendMessageW(::GetParent(control), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(control), code),
                   reinterpret_cast<LPARAM>(control));
}

}  // namespace vantrel::test
