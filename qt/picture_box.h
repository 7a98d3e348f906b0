#pragma once

#include <QFrame>
#include <QPixmap>
#include <cstdint>
#include <functional>

#include "platform/controls.h"

class QMimeData;

namespace vantrel::qt {

// A picture box with a sunken border. Its picture is drawn at natural size from the inner
// top-left corner and clipped at the inner edges. In manual drop mode it takes whatever is
// dragged over it and hands the dropped data on, to be judged there. It takes the keyboard
// focus, shows it with the style's focus frame, and hands on its key presses as characters and
// its double-clicks.
class PictureBox : public QFrame, public DropTarget {
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent);

    void setPicture(const QPixmap& picture);
    const QPixmap& picture() const { return picture_; }

    DropMode dropMode() const override;
    void setDropMode(DropMode mode) override;

    std::function<void(std::int16_t& KeyAscii)> onKeyPress;
    std::function<void()> onDblClick;

  signals:
    void dropped(const QMimeData* data);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QPixmap picture_;
};

}  // namespace vantrel::qt
