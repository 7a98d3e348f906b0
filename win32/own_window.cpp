#include "win32/own_window.h"

#include "platform/failure.h"

namespace vantrel::win32 {

namespace {

constexpr const wchar_t* kClassName = L"VantrelWindow";

void registerClass(WNDPROC procedure) {
    static const ATOM atom = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        // What these windows draw (outlines, borders, centred captions) follows their size: a
        // resized one is painted whole, else a grown progress fill keeps its old edges. The drop
        // area opens the file dialog on a double-click.
        windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        return ::RegisterClassExW(&windowClass);
    }();
    if (atom == 0) {
        throw failureFromWin32(::GetLastError());
    }
}

}  // namespace

OwnWindow::~OwnWindow() {
    destroy();
}

void OwnWindow::destroy() {
    if (hwnd_ != nullptr) {
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        ::DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }
}

void OwnWindow::create(DWORD exStyle, DWORD style, const std::wstring& text, HWND parent, int x,
                       int y, int width, int height, int id) {
    registerClass(&OwnWindow::procedure);
    HWND created = ::CreateWindowExW(exStyle, kClassName, text.c_str(), style, x, y, width, height,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                     ::GetModuleHandleW(nullptr), this);
    if (created == nullptr) {
        throw failureFromWin32(::GetLastError());
    }
}

void OwnWindow::create(DWORD exStyle, DWORD style, const std::wstring& text, HWND parent,
                       const RECT& place, int id) {
    create(exStyle, style, text, parent, place.left, place.top, place.right - place.left,
           place.bottom - place.top, id);
}

LRESULT OwnWindow::message(UINT message, WPARAM wParam, LPARAM lParam) {
    return standard(message, wParam, lParam);
}

LRESULT OwnWindow::standard(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK OwnWindow::procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The object comes with the window's first message, so that it sees them all from
    // WM_NCCREATE on.
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* created = static_cast<OwnWindow*>(creation->lpCreateParams);
        created->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<OwnWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return guarded([&] { return self->message(message, wParam, lParam); }, LRESULT{0});
}

}  // namespace vantrel::win32
