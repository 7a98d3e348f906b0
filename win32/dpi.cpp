#include "win32/dpi.h"

#include "win32/scoped_gdi.h"

namespace vantrel::win32 {

namespace {

// A function of user32 that older systems lack, looked up so that the program still starts
// there; nullptr where it is missing.
template <typename Function>
Function* user32Function(const char* name) {
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 != nullptr ? reinterpret_cast<Function*>(
                                   reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                             : nullptr;
}

}  // namespace

int screenDpi() {
    const WindowDc screen(nullptr);
    if (screen.get() == nullptr) {
        return kStandardDpi;
    }
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? dpi : kStandardDpi;
}

int windowDpi(HWND hwnd) {
    static auto* const forWindow = user32Function<UINT WINAPI(HWND)>("GetDpiForWindow");
    const UINT dpi = forWindow != nullptr ? forWindow(hwnd) : 0;
    return dpi > 0 ? static_cast<int>(dpi) : screenDpi();
}

SIZE windowSizeFor(SIZE client, DWORD style, int dpi) {
    static auto* const adjustForDpi =
        user32Function<BOOL WINAPI(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi));
    } else {
        ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

RECT toPixels(const TwipsRect& rect, int dpi) {
    const int left = twipsToPixels(rect.left, dpi);
    const int top = twipsToPixels(rect.top, dpi);
    return {left, top, left + twipsToPixels(rect.width, dpi),
            top + twipsToPixels(rect.height, dpi)};
}

}  // namespace vantrel::win32
