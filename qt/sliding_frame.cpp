#include "qt/sliding_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QRect>
#include <QString>
#include <algorithm>
#include <cmath>
#include <ranges>
#include <string>
#include <utility>
#include <vector>

#include "platform/control_array.h"
#include "qt/byte_text.h"
#include "qt/twips.h"

namespace vantrel::qt {

namespace {

enum class Column { Path, Count };

class RowEditor;

// What the rows of both arrays need from the frame that shows them.
class RowHost {
  public:
    // A shown row moved or appeared, or the frame moved: the editors are rebound on the next
    // turn of the event loop.
    virtual void rowsChanged() = 0;
    virtual SlidingFrame& frame() = 0;

  protected:
    ~RowHost() = default;
};

class RowArray;

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

// A line edit lent to whichever row of its column is in view.
class RowEditor : public QLineEdit {
  public:
    RowEditor(SlidingFrame& frame, Column column)
        : QLineEdit(&frame), frame_(frame), column_(column) {
        hide();
        // Files are dropped on the drop area only; a path dropped here would change an entry.
        setAcceptDrops(false);
        connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
            if (!syncing_ && row_ != nullptr) {
                row_->text_ = bytesOfText(text);
            }
        });
    }

    // Shows the row's text as a freshly set text box does: from its start.
    void showText(const std::string& text) {
        syncing_ = true;
        setText(textOfBytes(text));
        setCursorPosition(0);
        syncing_ = false;
    }

    Row* row_ = nullptr;

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        const int button = buttonCode(event->button());
        if (column_ == Column::Path && row_ != nullptr && button != 0 && frame_.onPathMouseDown) {
            const Row* pressed = row_;
            const bool wasDown = (QGuiApplication::mouseButtons() & event->button()) != 0;
            frame_.onPathMouseDown(pressed->index_, button);
            // A modal popup opened by the handler has taken the release, and may have removed
            // the row: the press would leave the box selecting with no button down.
            const bool released =
                wasDown && (QGuiApplication::mouseButtons() & event->button()) == 0;
            if (released || row_ != pressed) {
                event->accept();
                return;
            }
        }
        QLineEdit::mousePressEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        if (column_ != Column::Count || row_ == nullptr || typed.isEmpty() ||
            typed == QChar(kDelete) || !frame_.onCountKeyPress) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        const Row* typedInto = row_;
        const int index = row_->index_;
        QString kept;
        for (const QChar ch : typed) {
            auto code = static_cast<std::int16_t>(ch.unicode());
            frame_.onCountKeyPress(index, code);
            if (code != 0) {
                kept.append(QChar(static_cast<char16_t>(code)));
            }
        }
        // The handler's message box lets the list change; a key whose row has gone is dropped.
        if (row_ != typedInto) {
            event->accept();
            return;
        }
        if (kept == typed) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        event->accept();
        // A character the handler changed is typed as the new character.
        QString printable;
        for (const QChar ch : kept) {
            if (ch.isPrint()) {
                printable.append(ch);
            }
        }
        if (!printable.isEmpty()) {
            insert(printable);
        }
    }

  private:
    static constexpr char16_t kDelete = 0x7f;

    static int buttonCode(Qt::MouseButton button) {
        switch (button) {
            case Qt::LeftButton:
                return 1;
            case Qt::RightButton:
                return 2;
            case Qt::MiddleButton:
                return 4;
            default:
                return 0;
        }
    }

    SlidingFrame& frame_;
    Column column_;
    bool syncing_ = false;
};

class RowArray : public ControlArray<Row> {
  public:
    RowArray(RowHost& host, Column column, TwipsRect box)
        : ControlArray<Row>(std::make_unique<Row>(*this, 0, std::string(), box.top, false)),
          host_(host),
          column_(column),
          left_(box.left),
          width_(box.width),
          height_(box.height) {}

    // The editors outlive the rows only as children of the frame; let go of them silently.
    ~RowArray() override {
        for (RowEditor* editor : editors_) {
            if (editor->row_ != nullptr) {
                editor->row_->editor_ = nullptr;
                editor->row_ = nullptr;
            }
        }
    }

    double rowHeight() const { return height_; }
    void rowsChanged() { host_.rowsChanged(); }
    void setAccessibleName(const QString& name) { accessibleName_ = name; }
    void rowMoved() { orderKnown_ = false; }

    RowEditor* editorOf(int index) {
        return index >= 1 && isLoaded(index) ? item(index).editor_ : nullptr;
    }

    void release(RowEditor& editor) {
        editor.row_->editor_ = nullptr;
        editor.row_ = nullptr;
        editor.hide();
    }

    // Gives an editor to every shown row that intersects `view` (frame pixels) and takes it
    // from every other row; the editor with the keyboard focus stays with its row.
    void rebind(const QRect& view, double twipsPerPixel) {
        const auto pixels = [twipsPerPixel](double twips) {
            return static_cast<int>(std::lround(twips / twipsPerPixel));
        };
        const int left = pixels(left_);
        const int width = pixels(width_);
        const int height = pixels(height_);
        const auto rectOf = [&](const Row& row) {
            return QRect(left, pixels(row.top_), width, height);
        };
        const auto inView = [&](const Row& row) {
            return row.visible_ && rectOf(row).intersects(view);
        };

        std::vector<RowEditor*> spare;
        for (RowEditor* editor : editors_) {
            const bool focused = editor->window()->focusWidget() == editor;
            if (editor->row_ != nullptr && (inView(*editor->row_) || focused)) {
                editor->setGeometry(rectOf(*editor->row_));
            } else {
                if (editor->row_ != nullptr) {
                    release(*editor);
                }
                spare.push_back(editor);
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
                return pixels(item(index).top_) + height <= view.top();
            };
            first = *std::ranges::partition_point(indices, above);
        }
        for (int index = first; index <= ubound(); ++index) {
            if (!isLoaded(index)) {
                continue;
            }
            Row& row = item(index);
            if (ordered_ && pixels(row.top_) > view.bottom()) {
                break;
            }
            if (row.editor_ != nullptr || !inView(row)) {
                continue;
            }
            RowEditor* editor = nullptr;
            if (spare.empty()) {
                editor = new RowEditor(host_.frame(), column_);
                editors_.push_back(editor);
            } else {
                editor = spare.back();
                spare.pop_back();
            }
            editor->row_ = &row;
            row.editor_ = editor;
            editor->setObjectName(QStringLiteral("%1(%2)")
                                      .arg(column_ == Column::Path ? QStringLiteral("Text1")
                                                                   : QStringLiteral("CopyTimes"))
                                      .arg(index));
            if (!accessibleName_.isEmpty()) {
                editor->setAccessibleName(accessibleName_ + ' ' + QString::number(index));
            }
            editor->showText(row.text_);
            editor->setGeometry(rectOf(row));
            editor->show();
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
    // Every editor this column has made; those without a row are hidden and free.
    std::vector<RowEditor*> editors_;
    // Whether rows 1 .. ubound are all loaded with non-decreasing tops, as last checked.
    bool ordered_ = true;
    bool orderKnown_ = true;
    QString accessibleName_;
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

// Rebinds the editors when the frame or its parent is moved or resized by other means.
class GeometryWatcher : public QObject {
  public:
    explicit GeometryWatcher(RowHost& host) : host_(host) {}

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) {
            host_.rowsChanged();
        }
        return false;
    }

  private:
    RowHost& host_;
};

}  // namespace

struct SlidingFrame::Impl : RowHost {
    Impl(SlidingFrame& frame, TwipsRect box, TwipsRect pathTemplate, TwipsRect countTemplate)
        : self(frame),
          top(box.top),
          height(box.height),
          paths(*this, Column::Path, pathTemplate),
          counts(*this, Column::Count, countTemplate),
          watcher(*this) {}

    void rowsChanged() override {
        if (pending) {
            return;
        }
        pending = true;
        QMetaObject::invokeMethod(
            &self, [this] { flush(); }, Qt::QueuedConnection);
    }

    SlidingFrame& frame() override { return self; }

    void flush() {
        if (!pending) {
            return;
        }
        pending = false;
        // Children are clipped to their parent's rectangle: that is what can be seen.
        QRect view = self.rect();
        if (const QWidget* parent = self.parentWidget()) {
            view &= parent->rect().translated(-self.pos());
        }
        const double perPixel = twipsPerPixel(&self);
        paths.rebind(view, perPixel);
        counts.rebind(view, perPixel);
    }

    SlidingFrame& self;
    double top;
    double height;
    bool pending = false;
    RowArray paths;
    RowArray counts;
    GeometryWatcher watcher;
};

SlidingFrame::SlidingFrame(QWidget* parent, TwipsRect frame, TwipsRect pathTemplate,
                           TwipsRect countTemplate)
    : QGroupBox(parent), impl_(std::make_unique<Impl>(*this, frame, pathTemplate, countTemplate)) {
    placeInTwips(this, frame);
    installEventFilter(&impl_->watcher);
    if (parent != nullptr) {
        parent->installEventFilter(&impl_->watcher);
    }
}

SlidingFrame::~SlidingFrame() = default;

void SlidingFrame::setAccessibleRowNames(const QString& path, const QString& count) {
    impl_->paths.setAccessibleName(path);
    impl_->counts.setAccessibleName(count);
}

TextBoxArray& SlidingFrame::Text1() {
    return impl_->paths;
}
TextBoxArray& SlidingFrame::CopyTimes() {
    return impl_->counts;
}

double SlidingFrame::top() const {
    return impl_->top;
}

void SlidingFrame::setTop(double top) {
    impl_->top = top;
    move(x(), toPixels(top, this));
    impl_->rowsChanged();
}

double SlidingFrame::height() const {
    return impl_->height;
}

void SlidingFrame::setHeight(double height) {
    impl_->height = height;
    resize(width(), toPixels(height, this));
    impl_->rowsChanged();
}

QLineEdit* SlidingFrame::pathEditor(int index) {
    impl_->flush();
    return impl_->paths.editorOf(index);
}

QLineEdit* SlidingFrame::countEditor(int index) {
    impl_->flush();
    return impl_->counts.editorOf(index);
}

}  // namespace vantrel::qt
