#pragma once

#include <QColor>
#include <QStringList>
#include <QWidget>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "qt/twips.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMimeData;
class QScrollBar;

namespace vantrel::qt {

// A rectangle shape: an opaque fill inside a solid black outline.
class ShapeWidget : public QWidget {
  public:
    ShapeWidget(QWidget* parent, QColor fill, int outlinePixels);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor fill_;
    int outline_;
};

// The adapters below keep positions and sizes as the twips they were given, so that a value
// read back is the value set, whatever the pixels on screen came to.

class QtTextBox : public TextBox {
  public:
    QtTextBox(QLineEdit* edit, const TwipsRect& rect);

    std::string text() const override;
    void setText(const std::string& text) override;
    double top() const override { return rect_.top; }
    void setTop(double top) override;
    double height() const override { return rect_.height; }
    bool visible() const override;
    void setVisible(bool visible) override;

    QLineEdit* widget() const { return edit_; }

  private:
    QLineEdit* edit_;
    TwipsRect rect_;
};

class QtLabel : public Label {
  public:
    QtLabel(QLabel* label, const TwipsRect& rect);

    std::string caption() const override;
    void setCaption(const std::string& caption) override;

    QLabel* widget() const { return label_; }

  private:
    QLabel* label_;
};

class QtShape : public Shape {
  public:
    QtShape(ShapeWidget* shape, const TwipsRect& rect);

    double width() const override { return rect_.width; }
    void setWidth(double width) override;

    ShapeWidget* widget() const { return shape_; }

  private:
    ShapeWidget* shape_;
    TwipsRect rect_;
};

class QtFrame : public Frame {
  public:
    QtFrame(QGroupBox* frame, const TwipsRect& rect);

    double top() const override { return rect_.top; }
    void setTop(double top) override;
    double height() const override { return rect_.height; }
    void setHeight(double height) override;

    QGroupBox* widget() const { return frame_; }

  private:
    QGroupBox* frame_;
    TwipsRect rect_;
};

// SmallChange and LargeChange are the bar's single step and page step. The bar starts with the
// standard settings of a scroll bar control: 0 to 32767, steps of 1.
class QtScrollBar : public ScrollBar {
  public:
    QtScrollBar(QScrollBar* bar, const TwipsRect& rect);

    int value() const override;
    void setValue(int value) override;
    int min() const override;
    void setMin(int min) override;
    int max() const override;
    void setMax(int max) override;
    int smallChange() const override;
    void setSmallChange(int change) override;
    int largeChange() const override;
    void setLargeChange(int change) override;
    bool visible() const override;
    void setVisible(bool visible) override;

    QScrollBar* widget() const { return bar_; }

  private:
    QScrollBar* bar_;
};

// Pops the menu up at the pointer and returns once it is closed; a chosen item has run by then.
class QtPopupMenu : public PopupMenu {
  public:
    explicit QtPopupMenu(QMenu& menu) : menu_(menu) {}
    void popup() override;

  private:
    QMenu& menu_;
};

// The file list of dropped data: its local files, in the drag source's order. Data without a
// file list (no text/uri-list) is a failure when the list is asked for; other links are not
// files and are left out.
class DroppedFileList : public DroppedFiles {
  public:
    explicit DroppedFileList(const QMimeData& data);

    long long count() const override;
    std::string file(long long k) const override;

  private:
    bool hasList_;
    std::vector<std::string> paths_;
};

}  // namespace vantrel::qt
