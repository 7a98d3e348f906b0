#include "win32/sliding_frame.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <ranges>
#include <string>
#include <utility>

#include "platform/control_array.h"
#include "platform/failure.h"
#include "platform/utf16.h"
#include "win32/painted_windows.h"
#include "win32/twips.h"
#include "win32/win32_helpers.h"

namespace vantrel::win32 {

namespace {

// Posted to the frame when the editors need rebinding to the rows in view.
constexpr UINT kRebind = WM_APP + 1;

enum class Column { Path, Count };

class RowArray;
class RowEditor;

// What the rows of both arrays need from the frame that shows them.
class RowHost {
  public:
    // A shown row moved or appeared, or the frame moved: the editors are rebound once the
    // window's thread turns to its messages again.
    virtual void rowsChanged() = 0;
    virtual SlidingFrame& frame() = 0;

  protected:
    ~RowHost() = default;
};

// One row of an array as plain data. Left, width and height are the template's; the row has
// an editor only while it is in view.
class Row : public TextBox {
  public:
    Row(RowArray& array, int index, std::string text, double top, bool visible)
        : array_(&array), text_(std::move(text)), top_(top), index_(index), visible_(visible) {}
    ~Row() override;

    std::string text() const override { return text_; }
    void setText(const std::string& text) override;
    double top() const override { return top_; }
    void setTop(double top) override;
    double height() const override;
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override;

    RowArray* array_;
    std::string text_;
    double top_;
    RowEditor* editor_ = nullptr;
    int index_;
    bool visible_;
};

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
class RowEditor {
  public:
    RowEditor(SlidingFrame& frame, Column column, HFONT font) : frame_(frame), column_(column) {
        hwnd_ = ::CreateWindowExW(WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY, L"EDIT", L"",
                                  WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL, 0, 0, 0,
                                  0, frame.hwnd(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
        if (hwnd_ == nullptr) {
            throw failureFromWin32(::GetLastError());
        }
        ::SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        ::SetWindowSubclass(hwnd_, &RowEditor::procedure, 0, reinterpret_cast<DWORD_PTR>(this));
    }

    ~RowEditor() {
        if (hwnd_ != nullptr) {
            ::RemoveWindowSubclass(hwnd_, &RowEditor::procedure, 0);
            ::DestroyWindow(hwnd_);
        }
    }

    RowEditor(const RowEditor&) = delete;
    RowEditor& operator=(const RowEditor&) = delete;

    HWND hwnd() const { return hwnd_; }

    // Shows the row's text as a freshly set text box does: from its start.
    void showText(const std::string& text) {
        syncing_ = true;
        ::SetWindowTextW(hwnd_, toUtf16(text).c_str());
        syncing_ = false;
    }

    // The user changed the text: the row keeps it.
    void edited() {
        if (!syncing_ && row_ != nullptr) {
            row_->text_ = toUtf8(windowText(hwnd_));
        }
    }

    void place(const RECT& rect) {
        ::SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.right - rect.left,
                       rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }

    Row* row_ = nullptr;

  private:
    static LRESULT CALLBACK procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR /*id*/, DWORD_PTR data) {
        auto* self = reinterpret_cast<RowEditor*>(data);
        if (message == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hwnd, &RowEditor::procedure, 0);
            self->hwnd_ = nullptr;
            return ::DefSubclassProc(hwnd, message, wParam, lParam);
        }
        return guarded([&] { return self->message(message, wParam, lParam); }, LRESULT{0});
    }

    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_CHAR && column_ == Column::Count) {
            return typed(wParam, lParam);
        }
        if (column_ == Column::Path) {
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
        if (row_ != nullptr && frame_.onCountKeyPress) {
            const Row* typedInto = row_;
            auto code = static_cast<std::int16_t>(wParam);
            frame_.onCountKeyPress(row_->index_, code);
            // The handler's message box lets the list change; a key whose row has gone is
            // dropped.
            if (code == 0 || row_ != typedInto) {
                return 0;
            }
            wParam = static_cast<std::uint16_t>(code);
        }
        return ::DefSubclassProc(hwnd_, WM_CHAR, wParam, lParam);
    }

    // True when the press is used up: a modal popup opened by the handler has taken the
    // release, or the row has gone, and the box would go on selecting with no button down.
    bool pressed(const Press& press) {
        if (row_ == nullptr || !frame_.onPathMouseDown) {
            return false;
        }
        const Row* pressedRow = row_;
        const bool wasDown = isKeyDown(press.key);
        frame_.onPathMouseDown(pressedRow->index_, press.button);
        return (wasDown && !isKeyDown(press.key)) || row_ != pressedRow;
    }

    SlidingFrame& frame_;
    Column column_;
    HWND hwnd_ = nullptr;
    bool syncing_ = false;
};

class RowArray : public ControlArray<Row> {
  public:
    RowArray(RowHost& host, Column column, const TwipsRect& box, int dpi, HFONT font)
        : ControlArray<Row>(std::make_unique<Row>(*this, 0, std::string(), box.top, false)),
          host_(host),
          column_(column),
          left_(box.left),
          width_(box.width),
          height_(box.height),
          dpi_(dpi),
          font_(font) {}

    // The rows go before the editors they hold.
    ~RowArray() override {
        for (const auto& editor : editors_) {
            if (editor->row_ != nullptr) {
                editor->row_->editor_ = nullptr;
                editor->row_ = nullptr;
            }
        }
    }

    double rowHeight() const { return height_; }
    void rowsChanged() { host_.rowsChanged(); }
    void rowMoved() { orderKnown_ = false; }

    RowEditor* editorOf(int index) {
        return index >= 1 && isLoaded(index) ? item(index).editor_ : nullptr;
    }

    RowEditor* editorWith(HWND hwnd) {
        const auto found = std::ranges::find(editors_, hwnd, &RowEditor::hwnd);
        return found != editors_.end() ? found->get() : nullptr;
    }

    void release(RowEditor& editor) {
        editor.row_->editor_ = nullptr;
        editor.row_ = nullptr;
        ::ShowWindow(editor.hwnd(), SW_HIDE);
    }

    // Gives an editor to every shown row that intersects `view` (pixels of the whole frame) and
    // takes it from every other row; the editor with the keyboard focus stays with its row.
    // The frame's window starts `cut` pixels below the whole frame's top.
    void rebind(const RECT& view, int cut) {
        const auto pixels = [this](double twips) { return toPixels(twips, dpi_); };
        const int left = pixels(left_);
        const int width = pixels(width_);
        const int height = pixels(height_);
        const auto rectOf = [&](const Row& row) {
            const int top = pixels(row.top_);
            return RECT{left, top, left + width, top + height};
        };
        const auto windowRectOf = [&](const Row& row) {
            RECT rect = rectOf(row);
            ::OffsetRect(&rect, 0, -cut);
            return rect;
        };
        const auto inView = [&](const Row& row) {
            RECT overlap;
            const RECT rect = rectOf(row);
            return row.visible_ && ::IntersectRect(&overlap, &rect, &view) != FALSE;
        };

        const HWND focus = ::GetFocus();
        std::vector<RowEditor*> spare;
        for (const auto& editor : editors_) {
            if (editor->row_ != nullptr && (inView(*editor->row_) || editor->hwnd() == focus)) {
                editor->place(windowRectOf(*editor->row_));
            } else {
                if (editor->row_ != nullptr) {
                    release(*editor);
                }
                spare.push_back(editor.get());
            }
        }
        if (!orderKnown_) {
            ordered_ = rowsInOrder();
            orderKnown_ = true;
        }
        // Rows placed top to bottom, as the list places them, are found by halving; any
        // other placement is searched row by row.
        int first = 1;
        if (ordered_) {
            const auto indices = std::views::iota(1, ubound() + 1);
            const auto above = [&](int index) {
                return pixels(item(index).top_) + height <= view.top;
            };
            first = *std::ranges::partition_point(indices, above);
        }
        for (int index = first; index <= ubound(); ++index) {
            if (!isLoaded(index)) {
                continue;
            }
            Row& row = item(index);
            if (ordered_ && pixels(row.top_) >= view.bottom) {
                break;
            }
            if (row.editor_ != nullptr || !inView(row)) {
                continue;
            }
            RowEditor* editor = nullptr;
            if (spare.empty()) {
                editors_.push_back(std::make_unique<RowEditor>(host_.frame(), column_, font_));
                editor = editors_.back().get();
            } else {
                editor = spare.back();
                spare.pop_back();
            }
            editor->row_ = &row;
            row.editor_ = editor;
            editor->showText(row.text_);
            editor->place(windowRectOf(row));
            ::ShowWindow(editor->hwnd(), SW_SHOWNA);
        }
    }

  protected:
    std::unique_ptr<Row> copyOfTemplate(const Row& templateRow, int index) override {
        return std::make_unique<Row>(*this, index, templateRow.text_, templateRow.top_, false);
    }

    void loaded(int /*index*/) override { orderKnown_ = false; }

    // Unloading the last row keeps the others in order and without gaps.
    void unloaded(int index) override {
        if (index <= ubound()) {
            orderKnown_ = false;
        }
    }

  private:
    bool rowsInOrder() {
        for (int index = 1; index <= ubound(); ++index) {
            if (!isLoaded(index) || (index > 1 && item(index).top_ < item(index - 1).top_)) {
                return false;
            }
        }
        return true;
    }

    RowHost& host_;
    Column column_;
    double left_;
    double width_;
    double height_;
    int dpi_;
    HFONT font_;
    // Every editor this column has made; those without a row are hidden and free.
    std::vector<std::unique_ptr<RowEditor>> editors_;
    // Whether rows 1 .. ubound are all loaded with non-decreasing tops, as last checked.
    bool ordered_ = true;
    bool orderKnown_ = true;
};

Row::~Row() {
    if (editor_ != nullptr) {
        array_->release(*editor_);
    }
}

void Row::setText(const std::string& text) {
    text_ = text;
    if (editor_ != nullptr) {
        editor_->showText(text_);
    }
}

void Row::setTop(double top) {
    top_ = top;
    if (index_ == 0) {
        return;
    }
    array_->rowMoved();
    if (visible_) {
        array_->rowsChanged();
    }
}

double Row::height() const {
    return array_->rowHeight();
}

void Row::setVisible(bool visible) {
    if (visible == visible_) {
        return;
    }
    visible_ = visible;
    if (!visible && editor_ != nullptr) {
        array_->release(*editor_);
    } else if (visible && index_ != 0) {
        array_->rowsChanged();
    }
}

}  // namespace

struct SlidingFrame::Impl : RowHost {
    Impl(SlidingFrame& frame, const TwipsRect& box, const TwipsRect& pathTemplate,
         const TwipsRect& countTemplate, int dpi, HFONT font)
        : self(frame),
          place(box),
          dpi(dpi),
          font(font),
          paths(*this, Column::Path, pathTemplate, dpi, font),
          counts(*this, Column::Count, countTemplate, dpi, font) {}

    void rowsChanged() override {
        if (pending || self.hwnd() == nullptr) {
            return;
        }
        pending = ::PostMessageW(self.hwnd(), kRebind, 0, 0) != FALSE;
    }

    SlidingFrame& frame() override { return self; }

    void flush() {
        pending = false;
        if (self.hwnd() == nullptr) {
            return;
        }
        RECT view;
        ::GetClientRect(self.hwnd(), &view);
        ::OffsetRect(&view, 0, cut);
        paths.rebind(view, cut);
        counts.rebind(view, cut);
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
    int dpi;
    HFONT font;
    bool pending = false;
    int cut = 0;
    RowArray paths;
    RowArray counts;
};

SlidingFrame::SlidingFrame(HWND parent, const TwipsRect& frame, const TwipsRect& pathTemplate,
                           const TwipsRect& countTemplate, int dpi, HFONT font)
    : impl_(std::make_unique<Impl>(*this, frame, pathTemplate, countTemplate, dpi, font)) {
    create(WS_EX_NOPARENTNOTIFY, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, L"",
           parent, toPixels(frame, dpi));
    impl_->move();
}

SlidingFrame::~SlidingFrame() {
    destroy();
}

TextBoxArray& SlidingFrame::Text1() {
    return impl_->paths;
}

TextBoxArray& SlidingFrame::CopyTimes() {
    return impl_->counts;
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
    impl_->flush();
    const RowEditor* editor = impl_->paths.editorOf(index);
    return editor != nullptr ? editor->hwnd() : nullptr;
}

HWND SlidingFrame::countEditor(int index) {
    impl_->flush();
    const RowEditor* editor = impl_->counts.editorOf(index);
    return editor != nullptr ? editor->hwnd() : nullptr;
}

std::vector<HWND> SlidingFrame::editorsInView() {
    impl_->flush();
    std::vector<HWND> editors;
    for (int index = 1; index <= impl_->paths.ubound(); ++index) {
        for (RowArray* array : {&impl_->paths, &impl_->counts}) {
            if (const RowEditor* editor = array->editorOf(index)) {
                editors.push_back(editor->hwnd());
            }
        }
    }
    return editors;
}

void SlidingFrame::containerChanged() {
    impl_->move();
}

LRESULT SlidingFrame::message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kRebind:
            impl_->flush();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wParam) == EN_CHANGE) {
                const auto edit = reinterpret_cast<HWND>(lParam);
                for (RowArray* array : {&impl_->paths, &impl_->counts}) {
                    if (RowEditor* editor = array->editorWith(edit)) {
                        editor->edited();
                    }
                }
            }
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(impl_->font);
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(hwnd(), &ps);
            paintFrame(dc, impl_->wholeInWindow(), L"", impl_->font);
            ::EndPaint(hwnd(), &ps);
            return 0;
        }
        default:
            return standard(message, wParam, lParam);
    }
}

}  // namespace vantrel::win32
