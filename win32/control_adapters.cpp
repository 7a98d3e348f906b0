#include "win32/control_adapters.h"

#include <algorithm>
#include <climits>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "win32/dpi.h"
#include "win32/win32_helpers.h"

namespace vantrel::win32 {

namespace {

std::string textOf(HWND hwnd) {
    return toUtf8(windowText(hwnd));
}

void setTextOf(HWND hwnd, const std::string& text) {
    ::SetWindowTextW(hwnd, toUtf16(text).c_str());
}

}  // namespace

bool shownByStyle(HWND hwnd) {
    return (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_VISIBLE) != 0;
}

void placeInTwips(HWND hwnd, const TwipsRect& rect, int dpi) {
    const RECT pixels = toPixels(rect, dpi);
    ::SetWindowPos(hwnd, nullptr, pixels.left, pixels.top, pixels.right - pixels.left,
                   pixels.bottom - pixels.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

EditTextBox::EditTextBox(HWND edit, const TwipsRect& rect, const int& dpi)
    : edit_(edit), rect_(rect), dpi_(dpi) {}

std::string EditTextBox::text() const {
    return textOf(edit_);
}

void EditTextBox::setText(const std::string& text) {
    setTextOf(edit_, text);
}

void EditTextBox::setTop(double top) {
    rect_.top = top;
    placeInTwips(edit_, rect_, dpi_);
}

bool EditTextBox::visible() const {
    return shownByStyle(edit_);
}

void EditTextBox::setVisible(bool visible) {
    ::ShowWindow(edit_, visible ? SW_SHOWNA : SW_HIDE);
}

std::string LabelCaption::caption() const {
    return textOf(label_);
}

void LabelCaption::setCaption(const std::string& caption) {
    setTextOf(label_, caption);
}

void ShapeSize::setWidth(double width) {
    rect_.width = width;
    placeInTwips(shape_, rect_, dpi_);
}

void FramePlace::setTop(double top) {
    rect_.top = top;
    placeInTwips(frame_, rect_, dpi_);
    if (moved) {
        moved();
    }
}

void FramePlace::setHeight(double height) {
    rect_.height = height;
    placeInTwips(frame_, rect_, dpi_);
    if (moved) {
        moved();
    }
}

Win32ScrollBar::Win32ScrollBar(HWND bar) : bar_(bar) {
    apply(0);
}

int Win32ScrollBar::value() const {
    SCROLLINFO info{sizeof info, SIF_POS, 0, 0, 0, 0, 0};
    ::GetScrollInfo(bar_, SB_CTL, &info);
    return info.nPos;
}

void Win32ScrollBar::setValue(int value) {
    apply(value);
}

// As a scroll bar control keeps its range: a minimum above the maximum takes the maximum with it.
void Win32ScrollBar::setMin(int min) {
    min_ = min;
    max_ = std::max(max_, min);
    apply(value());
}

void Win32ScrollBar::setMax(int max) {
    max_ = max;
    min_ = std::min(min_, max);
    apply(value());
}

void Win32ScrollBar::setLargeChange(int change) {
    largeChange_ = change;
    apply(value());
}

bool Win32ScrollBar::visible() const {
    return shownByStyle(bar_);
}

void Win32ScrollBar::setVisible(bool visible) {
    ::ShowWindow(bar_, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32ScrollBar::scrolled(int request) {
    const long long now = value();
    long long wanted = now;
    switch (request) {
        case SB_LINEUP:
            wanted = now - smallChange_;
            break;
        case SB_LINEDOWN:
            wanted = now + smallChange_;
            break;
        case SB_PAGEUP:
            wanted = now - largeChange_;
            break;
        case SB_PAGEDOWN:
            wanted = now + largeChange_;
            break;
        case SB_TOP:
            wanted = min_;
            break;
        case SB_BOTTOM:
            wanted = max_;
            break;
        case SB_THUMBPOSITION: {
            // The 32-bit place of the thumb; the message carries only 16 bits of it.
            SCROLLINFO info{sizeof info, SIF_TRACKPOS, 0, 0, 0, 0, 0};
            ::GetScrollInfo(bar_, SB_CTL, &info);
            wanted = info.nTrackPos;
            break;
        }
        default:
            return;
    }
    apply(static_cast<int>(std::clamp<long long>(wanted, min_, max_)));
}

// The control's range ends one page past the last value, so that with the thumb as long as a
// page its top reaches every value from min to max and no further.
void Win32ScrollBar::apply(int wanted) {
    const int before = value();
    const int page = std::max(largeChange_, 1);
    const long long end = std::min<long long>(static_cast<long long>(max_) + page - 1, INT_MAX);
    SCROLLINFO info{sizeof info,
                    SIF_RANGE | SIF_PAGE | SIF_POS,
                    min_,
                    static_cast<int>(end),
                    static_cast<UINT>(page),
                    std::clamp(wanted, min_, max_),
                    0};
    ::SetScrollInfo(bar_, SB_CTL, &info, TRUE);
    if (value() != before && changed) {
        changed();
    }
}

Win32PopupMenu::Win32PopupMenu(HWND owner, const layout::Menu& menu)
    : owner_(owner), menu_(::CreatePopupMenu()) {
    if (menu_ == nullptr) {
        throw failureFromWin32(::GetLastError());
    }
    for (const layout::MenuItem& item : menu.items) {
        items_.push_back(item.role);
        // Identifiers count from 1: TrackPopupMenu answers 0 when nothing was chosen.
        ::AppendMenuW(menu_, MF_STRING, items_.size(), toUtf16(item.caption).c_str());
    }
}

Win32PopupMenu::~Win32PopupMenu() {
    ::DestroyMenu(menu_);
}

void Win32PopupMenu::popup() {
    POINT at{};
    ::GetCursorPos(&at);
    const UINT chosenId = static_cast<UINT>(::TrackPopupMenuEx(
        menu_, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x,
        at.y, owner_, nullptr));
    if (chosenId >= 1 && chosenId <= items_.size() && chosen) {
        chosen(items_[chosenId - 1]);
    }
}

}  // namespace vantrel::win32
