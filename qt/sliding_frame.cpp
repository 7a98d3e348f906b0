#include "qt/sliding_frame.h"

#include <QEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMetaObject>
#include <QMouseEvent>
#include <QString>
#include <string>

#include "qt/byte_text.h"
#include "qt/twips.h"
#include "window/row_store.h"

namespace vantrel::qt {

namespace {

// A line edit lent to whichever row of its column is in view.
class LineEditor : public QLineEdit, public RowEditor {
  public:
    LineEditor(SlidingFrame& frame, RowColumn column)
        : QLineEdit(&frame), frame_(frame), column_(column) {
        hide();
        // Files are dropped on the drop area only; a path dropped here would change an entry.
        setAcceptDrops(false);
        connect(this, &QLineEdit::textChanged, this,
                [this](const QString& text) { edited(bytesOfText(text)); });
    }

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        const int button = buttonCode(event->button());
        if (column_ == RowColumn::Path && row() != nullptr && button != 0 &&
            frame_.onPathMouseDown) {
            const TextBox* pressed = row();
            const bool wasDown = (QGuiApplication::mouseButtons() & event->button()) != 0;
            frame_.onPathMouseDown(index(), button);
            // A modal popup opened by the handler has taken the release, and may have removed
            // the row: the press would leave the box selecting with no button down.
            const bool released =
                wasDown && (QGuiApplication::mouseButtons() & event->button()) == 0;
            if (released || row() != pressed) {
                event->accept();
                return;
            }
        }
        QLineEdit::mousePressEvent(event);
    }

    void keyPressEvent(QKeyEvent* event) override {
        const QString typed = event->text();
        if (column_ != RowColumn::Count || row() == nullptr || typed.isEmpty() ||
            typed == QChar(kDelete) || !frame_.onCountKeyPress) {
            QLineEdit::keyPressEvent(event);
            return;
        }
        const TextBox* typedInto = row();
        const int typedAt = index();
        QString kept;
        for (const QChar ch : typed) {
            auto code = static_cast<std::int16_t>(ch.unicode());
            frame_.onCountKeyPress(typedAt, code);
            if (code != 0) {
                kept.append(QChar(static_cast<char16_t>(code)));
            }
        }
        // The handler's message box lets the list change; a key whose row has gone is dropped.
        if (row() != typedInto) {
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

    // Shows the row's text as a freshly set text box does: from its start.
    void showText(const std::string& text) override {
        setText(textOfBytes(text));
        setCursorPosition(0);
    }

    void place(const PixelRect& box) override {
        setGeometry(box.left, box.top, box.right - box.left, box.bottom - box.top);
    }

    void setShown(bool shown) override { setVisible(shown); }

    bool focused() const override { return window()->focusWidget() == this; }

    void name(const std::string& control, const std::string& accessible) override {
        setObjectName(QString::fromStdString(control));
        if (!accessible.empty()) {
            setAccessibleName(QString::fromStdString(accessible));
        }
    }

    SlidingFrame& frame_;
    RowColumn column_;
};

// Rebinds the editors when the frame or its parent is moved or resized by other means.
class GeometryWatcher : public QObject {
  public:
    explicit GeometryWatcher(RowEditors& editors) : editors_(editors) {}

    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show) {
            editors_.rowsChanged();
        }
        return false;
    }

  private:
    RowEditors& editors_;
};

}  // namespace

struct SlidingFrame::Impl : RowEditors {
    Impl(SlidingFrame& frame, TwipsRect box, TwipsRect pathTemplate, TwipsRect countTemplate)
        : self(frame),
          top(box.top),
          height(box.height),
          rows(*this, pathTemplate, countTemplate),
          watcher(*this) {}

    std::unique_ptr<RowEditor> make(RowColumn column) override {
        return std::make_unique<LineEditor>(self, column);
    }

    void rowsChanged() override {
        if (pending) {
            return;
        }
        pending = true;
        QMetaObject::invokeMethod(
            &self, [this] { flush(); }, Qt::QueuedConnection);
    }

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
        const double dpi = logicalDpi(&self);
        rows.rebind(
            {view.left(), view.top(), view.left() + view.width(), view.top() + view.height()},
            [dpi](double twips) { return twipsToPixels(twips, dpi); });
    }

    QLineEdit* editor(RowColumn column, int index) {
        flush();
        return static_cast<LineEditor*>(rows.editor(column, index));
    }

    SlidingFrame& self;
    double top;
    double height;
    bool pending = false;
    RowStore rows;
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
    impl_->rows.setAccessibleRowNames(path.toStdString(), count.toStdString());
}

TextBoxArray& SlidingFrame::Text1() {
    return impl_->rows.Text1();
}
TextBoxArray& SlidingFrame::CopyTimes() {
    return impl_->rows.CopyTimes();
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
    return impl_->editor(RowColumn::Path, index);
}

QLineEdit* SlidingFrame::countEditor(int index) {
    return impl_->editor(RowColumn::Count, index);
}

}  // namespace vantrel::qt
