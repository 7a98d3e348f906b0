#include "qt/qt_controls.h"

#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>

#include "platform/failure.h"
#include "qt/byte_text.h"
#include "qt/twips.h"

namespace vantrel::qt {

ShapeWidget::ShapeWidget(QWidget* parent, QColor fill, int outlinePixels)
    : QWidget(parent), fill_(fill), outline_(outlinePixels) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    // A shape is drawn on its container, not a window of its own: clicks go through it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect inside = rect().adjusted(outline_, outline_, -outline_, -outline_);
    if (inside.isValid()) {
        painter.fillRect(inside, fill_);
    }
}

QtTextBox::QtTextBox(QLineEdit* edit, const TwipsRect& rect) : edit_(edit), rect_(rect) {
    placeInTwips(edit_, rect_);
}

std::string QtTextBox::text() const {
    return bytesOfText(edit_->text());
}

void QtTextBox::setText(const std::string& text) {
    edit_->setText(textOfBytes(text));
}

void QtTextBox::setTop(double top) {
    rect_.top = top;
    placeInTwips(edit_, rect_);
}

// Visible is the control's own setting, not whether its window is on screen yet.
bool QtTextBox::visible() const {
    return !edit_->isHidden();
}

void QtTextBox::setVisible(bool visible) {
    edit_->setVisible(visible);
}

QtLabel::QtLabel(QLabel* label, const TwipsRect& rect) : label_(label) {
    label_->setTextFormat(Qt::PlainText);
    placeInTwips(label_, rect);
}

std::string QtLabel::caption() const {
    return label_->text().toStdString();
}

void QtLabel::setCaption(const std::string& caption) {
    label_->setText(QString::fromStdString(caption));
}

QtShape::QtShape(ShapeWidget* shape, const TwipsRect& rect) : shape_(shape), rect_(rect) {
    placeInTwips(shape_, rect_);
}

void QtShape::setWidth(double width) {
    rect_.width = width;
    placeInTwips(shape_, rect_);
}

QtFrame::QtFrame(QGroupBox* frame, const TwipsRect& rect) : frame_(frame), rect_(rect) {
    placeInTwips(frame_, rect_);
}

void QtFrame::setTop(double top) {
    rect_.top = top;
    placeInTwips(frame_, rect_);
}

void QtFrame::setHeight(double height) {
    rect_.height = height;
    placeInTwips(frame_, rect_);
}

QtScrollBar::QtScrollBar(QScrollBar* bar, const TwipsRect& rect) : bar_(bar) {
    bar_->setRange(0, 32767);
    bar_->setSingleStep(1);
    bar_->setPageStep(1);
    placeInTwips(bar_, rect);
}

int QtScrollBar::value() const {
    return bar_->value();
}
void QtScrollBar::setValue(int value) {
    bar_->setValue(value);
}
int QtScrollBar::min() const {
    return bar_->minimum();
}
void QtScrollBar::setMin(int min) {
    bar_->setMinimum(min);
}
int QtScrollBar::max() const {
    return bar_->maximum();
}
void QtScrollBar::setMax(int max) {
    bar_->setMaximum(max);
}
int QtScrollBar::smallChange() const {
    return bar_->singleStep();
}
void QtScrollBar::setSmallChange(int change) {
    bar_->setSingleStep(change);
}
int QtScrollBar::largeChange() const {
    return bar_->pageStep();
}
void QtScrollBar::setLargeChange(int change) {
    bar_->setPageStep(change);
}
bool QtScrollBar::visible() const {
    return !bar_->isHidden();
}
void QtScrollBar::setVisible(bool visible) {
    bar_->setVisible(visible);
}

void QtPopupMenu::popup() {
    menu_.exec(QCursor::pos());
}

DroppedFileList::DroppedFileList(const QMimeData& data) : hasList_(data.hasUrls()) {
    const QList<QUrl> urls = data.urls();
    for (const QUrl& url : urls) {
        // The path's bytes as the link carries them, percent-escapes undone: a name that is
        // not UTF-8 stays the name of its file.
        if (url.isLocalFile() && url.host().isEmpty()) {
            paths_.push_back(
                QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1())
                    .toStdString());
        } else if (url.isLocalFile()) {
            paths_.push_back(bytesOfText(QDir::toNativeSeparators(url.toLocalFile())));
        }
    }
    // Links without a single local file (web addresses) are not a list of files.
    hasList_ = hasList_ && (urls.isEmpty() || !paths_.empty());
}

long long DroppedFileList::count() const {
    if (!hasList_) {
        throw Failure(kNoFileList, "The dropped data holds no file list");
    }
    return static_cast<long long>(paths_.size());
}

std::string DroppedFileList::file(long long k) const {
    if (k < 1 || k > count()) {
        throw Failure(kSubscriptOutOfRange, "Subscript out of range");
    }
    return paths_.at(static_cast<std::size_t>(k - 1));
}

}  // namespace vantrel::qt
