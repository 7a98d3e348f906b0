#include "win32/win32_helpers.h"

#include "platform/failure.h"

namespace vantrel::win32 {

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        ::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool isKeyDown(int key) {
    return (::GetKeyState(key) & 0x8000) != 0;
}

HWND createChild(DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style,
                 HWND parent, const RECT& place, int id, HFONT font) {
    HWND hwnd = ::CreateWindowExW(
        exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, place.left, place.top,
        place.right - place.left, place.bottom - place.top, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    if (hwnd == nullptr) {
        throw failureFromWin32(::GetLastError());
    }
    if (font != nullptr) {
        ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    return hwnd;
}

LRESULT handDrawItemToControl(LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    return item->CtlType == ODT_MENU ? FALSE
                                     : ::SendMessageW(item->hwndItem, kDrawOwnItem, 0, lParam);
}

}  // namespace vantrel::win32
