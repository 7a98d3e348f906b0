#include "qt/picture_box.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace vantrel::qt {

PictureBox::PictureBox(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
}

void PictureBox::setPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

DropMode PictureBox::dropMode() const {
    return acceptDrops() ? DropMode::Manual : DropMode::None;
}

void PictureBox::setDropMode(DropMode mode) {
    setAcceptDrops(mode == DropMode::Manual);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    const QRect inside = contentsRect();
    painter.setClipRect(inside);
    painter.drawPixmap(inside.topLeft(), picture_);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = inside;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void PictureBox::dragEnterEvent(QDragEnterEvent* event) {
    event->acceptProposedAction();
}

void PictureBox::dragMoveEvent(QDragMoveEvent* event) {
    event->acceptProposedAction();
}

void PictureBox::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    emit dropped(event->mimeData());
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    // Enter arrives as a carriage return, as the key's character does on Windows.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = event->text();
    std::int16_t KeyAscii = 0;
    if (enter) {
        KeyAscii = '\r';
    } else if (text.size() == 1 && text.at(0).unicode() < 0x80) {
        KeyAscii = static_cast<std::int16_t>(text.at(0).unicode());
    }
    if (KeyAscii != 0 && onKeyPress) {
        onKeyPress(KeyAscii);
        if (KeyAscii == 0) {
            return;
        }
    }
    // Unused, the key goes on to the window (a paste key among them).
    QFrame::keyPressEvent(event);
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onDblClick) {
        onDblClick();
        return;
    }
    QFrame::mouseDoubleClickEvent(event);
}

}  // namespace vantrel::qt
