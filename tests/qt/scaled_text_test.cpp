// The window's text at the scale it is drawn at: run once at 1x and once with
// QT_SCALE_FACTOR=2. Every caption must fit its control, and text must grow with the layout.

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "qt/form1_window.h"
#include "support/qt/window_fixture.h"

namespace {

using namespace vantrel;

// The height, in the window's own (logical) pixels, of the rows of the image that hold any
// dark pixel: the height of the ink of a caption.
double inkHeight(const QImage& image, qreal ratio) {
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(image.pixel(x, y)) < 96) {
                first = first < 0 ? y : first;
                last = y;
                break;
            }
        }
    }
    return first < 0 ? 0 : (last - first + 1) / ratio;
}

class ScaledTextTest : public QObject {
    Q_OBJECT

  private slots:
    void init() {
        window_ = std::make_unique<test::Window>(painter_);
        QVERIFY(window_->open());
        form_ = &window_->form;
    }

    void cleanup() {
        window_.reset();
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void everyCaptionFitsItsControl() {
        for (auto* button : form_->findChildren<QPushButton*>()) {
            const QFontMetrics metrics(button->font());
            QVERIFY2(metrics.horizontalAdvance(button->text()) + 4 <= button->width(),
                     qPrintable(button->objectName()));
            QVERIFY2(metrics.height() <= button->height(), qPrintable(button->objectName()));
        }
        for (auto* frame : form_->findChildren<QGroupBox*>()) {
            const QFontMetrics metrics(frame->font());
            QVERIFY2(metrics.horizontalAdvance(frame->title()) + 16 <= frame->width(),
                     qPrintable(frame->objectName()));
        }
        for (auto* label : form_->findChildren<QLabel*>()) {
            const QFontMetrics metrics(label->font());
            const QRect needed =
                metrics.boundingRect(label->rect(), Qt::TextWordWrap, label->text());
            // Two lines of the description fill their label but for the last line's spacing.
            QVERIFY2(needed.height() <= label->height() + 1 && needed.width() <= label->width(),
                     qPrintable(label->objectName()));
        }
    }

    // A caption's ink is as tall, in the window's own pixels, at any scale: the bitmap face
    // of 96 dpi would keep its size in device pixels and shrink to half here at 2x.
    void textGrowsWithTheLayout() {
        auto* button = form_->findChild<QPushButton*>("LogBtn");
        const QImage image = button->grab().toImage();
        const qreal ratio = image.devicePixelRatio();
        // The button's frame is dark too: look inside it only.
        const int inset = static_cast<int>(3 * ratio);
        const QImage inside =
            image.copy(inset, inset, image.width() - 2 * inset, image.height() - 2 * inset);
        const double height = inkHeight(inside, ratio);
        QVERIFY2(height >= 8 && height <= 14, qPrintable(QString::number(height)));
    }

  private:
    test::NoPainting painter_;
    std::unique_ptr<test::Window> window_;
    qt::Form1Window* form_ = nullptr;
};

}  // namespace

QTEST_MAIN(ScaledTextTest)
#include "scaled_text_test.moc"
