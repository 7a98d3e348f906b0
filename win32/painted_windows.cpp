#include "win32/painted_windows.h"

#include <optional>
#include <vector>

#include "win32/scoped_gdi.h"
#include "win32/win32_helpers.h"

namespace vantrel::win32 {

namespace {

// Where a group box starts its caption.
constexpr int kCaptionInset = 8;

// A window that draws its own caption keeps its font and repaints on a new font or text, as a
// static control does; nullopt for any other message.
std::optional<LRESULT> fontOrText(HWND hwnd, HFONT& font, UINT message, WPARAM wParam,
                                  LPARAM lParam) {
    switch (message) {
        case WM_SETFONT:
            font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam) != 0) {
                ::InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font);
        case WM_SETTEXT: {
            const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
            ::InvalidateRect(hwnd, nullptr, TRUE);
            return result;
        }
        default:
            return std::nullopt;
    }
}

void fillBackground(HDC dc, const RECT& area) {
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
}

}  // namespace

void paintFrame(HDC dc, const RECT& client, const std::wstring& caption, HFONT font) {
    fillBackground(dc, client);
    const SelectedObject selected(dc, font);
    TEXTMETRICW metrics{};
    ::GetTextMetricsW(dc, &metrics);
    RECT border = client;
    border.top += metrics.tmHeight / 2 - 1;
    ::DrawEdge(dc, &border, EDGE_ETCHED, BF_RECT);
    if (!caption.empty()) {
        RECT text{client.left + kCaptionInset, client.top, client.right - kCaptionInset,
                  client.top + metrics.tmHeight};
        ::SetBkMode(dc, OPAQUE);
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                    DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
}

bool isChildNotification(UINT message) {
    switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_VSCROLL:
        case WM_HSCROLL:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
        case WM_COMPAREITEM:
        case WM_DELETEITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            return true;
        default:
            return false;
    }
}

LRESULT PaintedWindow::message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND:
            return 1;
        case WM_PRINTCLIENT:
            paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_PAINT: {
            const PaintDc dc(hwnd());
            paint(dc.get());
            return 0;
        }
        default:
            return standard(message, wParam, lParam);
    }
}

FrameWindow::FrameWindow(HWND parent, const RECT& place, const std::wstring& caption, HFONT font)
    : font_(font) {
    create(WS_EX_NOPARENTNOTIFY, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, caption,
           parent, place);
}

LRESULT FrameWindow::message(UINT message, WPARAM wParam, LPARAM lParam) {
    if (isChildNotification(message)) {
        return ::SendMessageW(::GetParent(hwnd()), message, wParam, lParam);
    }
    if (const auto answer = fontOrText(hwnd(), font_, message, wParam, lParam)) {
        return *answer;
    }
    return PaintedWindow::message(message, wParam, lParam);
}

void FrameWindow::paint(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    paintFrame(dc, client, windowText(hwnd()), font_);
}

LabelWindow::LabelWindow(HWND parent, const RECT& place, const std::wstring& caption,
                         const Look& look)
    : look_(look) {
    create(WS_EX_NOPARENTNOTIFY, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, caption, parent, place);
}

LRESULT LabelWindow::message(UINT message, WPARAM wParam, LPARAM lParam) {
    if (const auto answer = fontOrText(hwnd(), look_.font, message, wParam, lParam)) {
        return *answer;
    }
    return PaintedWindow::message(message, wParam, lParam);
}

void LabelWindow::paint(HDC dc) {
    paintBehind(dc);
    RECT client;
    ::GetClientRect(hwnd(), &client);
    const SelectedObject selected(dc, look_.font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, look_.colour);
    const std::wstring caption = windowText(hwnd());
    const UINT format = (look_.centred ? DT_CENTER : DT_LEFT) | DT_TOP | DT_NOPREFIX |
                        (look_.wordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &client, format);
}

// Child windows are opaque to the system: what shows through a label is drawn here, the
// container's background first, then each shown sibling below the label from the back.
void LabelWindow::paintBehind(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    fillBackground(dc, client);
    RECT self;
    ::GetWindowRect(hwnd(), &self);
    std::vector<HWND> below;
    for (HWND sibling = ::GetWindow(hwnd(), GW_HWNDNEXT); sibling != nullptr;
         sibling = ::GetWindow(sibling, GW_HWNDNEXT)) {
        RECT place;
        RECT overlap;
        if (::IsWindowVisible(sibling) && ::GetWindowRect(sibling, &place) &&
            ::IntersectRect(&overlap, &place, &self)) {
            below.push_back(sibling);
        }
    }
    for (auto it = below.rbegin(); it != below.rend(); ++it) {
        RECT place;
        ::GetWindowRect(*it, &place);
        const SavedDc saved(dc);
        ::IntersectClipRect(dc, place.left - self.left, place.top - self.top,
                            place.right - self.left, place.bottom - self.top);
        ::SetViewportOrgEx(dc, place.left - self.left, place.top - self.top, nullptr);
        ::SendMessageW(*it, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc),
                       PRF_CLIENT | PRF_ERASEBKGND);
    }
}

ShapeWindow::ShapeWindow(HWND parent, const RECT& place, COLORREF fill, int outlinePixels)
    : fill_(fill), outline_(outlinePixels) {
    create(WS_EX_NOPARENTNOTIFY, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, L"", parent, place);
}

LRESULT ShapeWindow::message(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCHITTEST) {
        return HTTRANSPARENT;
    }
    return PaintedWindow::message(message, wParam, lParam);
}

void ShapeWindow::paint(HDC dc) {
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    RECT inside = client;
    ::InflateRect(&inside, -outline_, -outline_);
    if (inside.right > inside.left && inside.bottom > inside.top) {
        const GdiObject brush(::CreateSolidBrush(fill_));
        ::FillRect(dc, &inside, brush.get());
    }
}

}  // namespace vantrel::win32
