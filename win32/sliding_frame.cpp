#include "win32/sliding_frame.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "win32/accessible_names.h"
#include "win32/dpi.h"
#include "win32/painted_windows.h"
#include "win32/scoped_gdi.h"
#include "win32/win32_helpers.h"
#include "window/row_store.h"

namespace vantrel::win32 {

namespace {

// Posted to the frame when the editors need rebinding to the rows in view.
constexpr UINT kRebind = WM_APP + 1;

// Mouse presses as the window's logic numbers the buttons, with the key that holds each down.
struct Press {
    int button;
    int key;
};

std::optional<Press> pressOf(UINT message) {
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            return Press{1, VK_LBUTTON};
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
            return Press{2, VK_RBUTTON};
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return Press{4, VK_MBUTTON};
        default:
            return std::nullopt;
    }
}

// An edit control lent to whichever row of its column is in view.
class EditControl : public RowEditor {
  public:
    EditControl(SlidingFrame& frame, RowColumn column, HFONT font, AccessibleNames* names)
        : frame_(frame), column_(column), names_(names) {
        hwnd_ = ::CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, L"EDIT", L"",
                                  WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0,
                                  0, frame.hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (hwnd_ == nullptr) {
            throw failureFromWin32(::GetLastError());
        }
        ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetWindowSubclass(hwnd_, &EditControl::procedure, 0, reinterpret_cast<DWORD_PTR>(this));
    }

    ~EditControl() override {
        if (hwnd_ != nullptr) {
            ::RemoveWindowSubclass(hwnd_, &EditControl::procedure, 0);
            ::DestroyWindow(hwnd_);
        }
    }

    // The editor that owns the edit control: every child of the frame is an editor's.
    static EditControl* of(HWND edit) {
        return reinterpret_cast<EditControl*>(::GetWindowLongPtrW(edit, GWLP_USERDATA));
    }

    HWND hwnd() const { return hwnd_; }

    // The user changed the text: the row keeps it.
    void changed() { edited(toUtf8(windowText(hwnd_))); }

  private:
    void showText(const std::string& text) override {
        ::SetWindowTextW(hwnd_, toUtf16(text).c_str());
    }

    void place(const PixelRect& box) override {
        ::SetWindowPos(hwnd_, nullptr, box.left, box.top, box.right - box.left,
                       box.bottom - box.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void setShown(bool shown) override { ::ShowWindow(hwnd_, shown ? SW_SHOWNA : SW_HIDE); }

    bool focused() const override { return ::GetFocus() == hwnd_; }

    void name(const std::string& /*control*/, const std::string& accessible) override {
        if (names_ != nullptr) {
            names_->name(hwnd_, accessible);
        }
    }

    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR /*id*/, DWORD_PTR data) {
        auto* self = reinterpret_cast<EditControl*>(data);
        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hwnd, &EditControl::procedure, 0);
            self->hwnd_ = nullptr;
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        }
        return guarded([&] { return self->message(message, wParam, lParam); }, LRESULT{0});
    }

    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CHAR && column_ == RowColumn::Count) {
            return typed(wParam, lParam);
        }
        if (column_ == RowColumn::Path) {
            if (const std::optional<Press> press = pressOf(message)) {
                if (pressed(*press)) {
                    return 0;
                }
            }
        }
        return ::DefSubclassProc(hwnd_, message, wParam, lParam);
    }

    // Each character goes through the handler before the box takes it, as the handler left it.
    LRESULT typed(WPARAM wParam, LPARAM lParam) {
        if (row() != nullptr && frame_.onCountKeyPress) {
            const TextBox* typedInto = row();
            auto code = static_cast<std::int16_t>(wParam);
            frame_.onCountKeyPress(index(), code);
            // The handler's message box lets the list change; a key whose row has gone is
            // dropped.
            if (code == 0 || row() != typedInto) {
                return 0;
            }
            wParam = static_cast<std::uint16_t>(code);
        }
        return ::DefSubclassProc(hwnd_, WM_CHAR, wParam, lParam);
    }

    // True when the press is used up: a modal popup opened by the handler has taken the
    // release, or the row has gone, and the box would go on selecting with no button down.
    bool pressed(const Press& press) {
        if (row() == nullptr || !frame_.onPathMouseDown) {
            return false;
        }
        const TextBox* pressedRow = row();
        const bool wasDown = isKeyDown(press.key);
        frame_.onPathMouseDown(index(), press.button);
        return (wasDown && !isKeyDown(press.key)) || row() != pressedRow;
    }

    SlidingFrame& frame_;
    RowColumn column_;
    AccessibleNames* names_;
    HWND hwnd_ = nullptr;
};

}  // namespace

struct SlidingFrame::Impl : RowEditors {
    Impl(SlidingFrame& frame, const TwipsRect& box, const TwipsRect& pathTemplate,
         const TwipsRect& countTemplate, const int& dpi, HFONT font)
        : self(frame), place(box), dpi(dpi), font(font), rows(*this, pathTemplate, countTemplate) {}

    std::unique_ptr<RowEditor> make(RowColumn column) override {
        return std::make_unique<EditControl>(self, column, font, names);
    }

    void rowsChanged() override {
        if (pending || self.hwnd() == nullptr) {
            return;
        }
        pending = ::PostMessageW(self.hwnd(), kRebind, 0, 0) != FALSE;
    }

    void flush() {
        pending = false;
        if (self.hwnd() == nullptr) {
            return;
        }
        RECT view;
        ::GetClientRect(self.hwnd(), &view);
        rows.rebind(
            {view.left, view.top + cut, view.right, view.bottom + cut},
            [this](double twips) { return twipsToPixels(twips, dpi); }, cut);
    }

    HWND editor(RowColumn column, int index) {
        flush();
        const auto* editor = static_cast<const EditControl*>(rows.editor(column, index));
        return editor != nullptr ? editor->hwnd() : nullptr;
    }

    // The system keeps a window's place and size within 16 bits, and a list of 32,767 rows is
    // far taller than that: the window covers only the part of the whole frame that its
    // container shows, which is also all that can be seen, and draws the frame from `cut`
    // pixels below its top.
    void move() {
        const RECT whole = toPixels(place, dpi);
        RECT shown{};
        ::GetClientRect(::GetParent(self.hwnd()), &shown);
        RECT window{};
        if (::IntersectRect(&window, &whole, &shown) == FALSE) {
            window = {whole.left, 0, whole.right, 0};
        }
        cut = window.top - whole.top;
        ::SetWindowPos(self.hwnd(), nullptr, window.left, window.top, window.right - window.left,
                       window.bottom - window.top, SWP_NOZORDER | SWP_NOACTIVATE);
        // The window may keep its place while the frame moves under it.
        ::InvalidateRect(self.hwnd(), nullptr, FALSE);
        flush();
    }

    // The whole frame in the window's coordinates.
    RECT wholeInWindow() const {
        const RECT whole = toPixels(place, dpi);
        return {0, -cut, whole.right - whole.left, whole.bottom - whole.top - cut};
    }

    SlidingFrame& self;
    TwipsRect place;
    const int& dpi;
    HFONT font;
    AccessibleNames* names = nullptr;
    bool pending = false;
    int cut = 0;
    RowStore rows;
};

SlidingFrame::SlidingFrame(HWND parent, const TwipsRect& frame, const TwipsRect& pathTemplate,
                           const TwipsRect& countTemplate, const int& dpi, HFONT font)
    : impl_(std::make_unique<Impl>(*this, frame, pathTemplate, countTemplate, dpi, font)) {
    create(WS_EX_NOPARENTNOTIFY, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, L"",
           parent, toPixels(frame, dpi));
    impl_->move();
}

SlidingFrame::~SlidingFrame() {
    destroy();
}

TextBoxArray& SlidingFrame::Text1() {
    return impl_->rows.Text1();
}

TextBoxArray& SlidingFrame::CopyTimes() {
    return impl_->rows.CopyTimes();
}

double SlidingFrame::top() const {
    return impl_->place.top;
}

void SlidingFrame::setTop(double top) {
    impl_->place.top = top;
    impl_->move();
}

double SlidingFrame::height() const {
    return impl_->place.height;
}

void SlidingFrame::setHeight(double height) {
    impl_->place.height = height;
    impl_->move();
}

HWND SlidingFrame::pathEditor(int index) {
    return impl_->editor(RowColumn::Path, index);
}

HWND SlidingFrame::countEditor(int index) {
    return impl_->editor(RowColumn::Count, index);
}

std::vector<HWND> SlidingFrame::editorsInView() {
    impl_->flush();
    std::vector<HWND> editors;
    for (const RowEditor* editor : impl_->rows.editorsInView()) {
        editors.push_back(static_cast<const EditControl*>(editor)->hwnd());
    }
    return editors;
}

void SlidingFrame::nameRows(AccessibleNames& names, const std::string& path,
                            const std::string& count) {
    impl_->names = &names;
    impl_->rows.setAccessibleRowNames(path, count);
}

void SlidingFrame::containerChanged() {
    impl_->move();
}

void SlidingFrame::rescaled(HFONT font) {
    impl_->font = font;
    // Every editor, lent or spare, is a child of the frame's window.
    for (HWND editor = ::GetWindow(hwnd(), GW_CHILD); editor != nullptr;
         editor = ::GetWindow(editor, GW_HWNDNEXT)) {
        ::SendMessageW(editor, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    impl_->move();
}

LRESULT SlidingFrame::message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRebind:
            impl_->flush();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE) {
                if (EditControl* editor = EditControl::of(reinterpret_cast<HWND>(lParam))) {
                    editor->changed();
                }
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(impl_->font);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            const PaintDc dc(hwnd());
            paintFrame(dc.get(), impl_->wholeInWindow(), L"", impl_->font);
            return 0;
        }
        default:
            return standard(message, wParam, lParam);
    }
}

}  // namespace vantrel::win32
