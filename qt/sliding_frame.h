#pragma once

#include <QGroupBox>
#include <cstdint>
#include <functional>
#include <memory>

#include "platform/controls.h"
#include "qt/twips.h"

class QLineEdit;

namespace vantrel::qt {

// The sliding frame of the file list (FrameSlide): a bordered frame inside the fixed list frame
// that holds the path boxes (Text1) and count boxes (CopyTimes). Rows are kept as plain data;
// real line edits exist only for the rows inside the visible part of the parent, and are reused
// as the list scrolls, so that a list of tens of thousands of rows stays fast.
class SlidingFrame : public QGroupBox, public vantrel::Frame {
    Q_OBJECT

  public:
    // `frame` places the frame in its parent; `pathTemplate` and `countTemplate` are the
    // template boxes (element 0) of the two arrays, hidden from the start.
    SlidingFrame(QWidget* parent, TwipsRect frame, TwipsRect pathTemplate, TwipsRect countTemplate);
    ~SlidingFrame() override;

    TextBoxArray& Text1();
    TextBoxArray& CopyTimes();

    // What a screen reader calls the boxes of a row: these names and the row's index.
    void setAccessibleRowNames(const QString& path, const QString& count);

    double top() const override;
    void setTop(double top) override;
    double height() const override;
    void setHeight(double height) override;

    // A mouse button went down on path box `index` (1 left, 2 right, 4 middle).
    std::function<void(int index, int button)> onPathMouseDown;
    // A character typed into count box `index`, before the box takes it; setting the code
    // to 0 makes the box ignore it.
    std::function<void(int index, std::int16_t& keyAscii)> onCountKeyPress;

    // The line edit showing path or count box `index`, or nullptr while that row is out of
    // view or hidden. Brings the widgets up to date with the rows first.
    QLineEdit* pathEditor(int index);
    QLineEdit* countEditor(int index);

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel::qt
