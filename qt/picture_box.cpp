#include "qt/picture_box.h"

#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QPainter>

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

}  // namespace vantrel::qt
