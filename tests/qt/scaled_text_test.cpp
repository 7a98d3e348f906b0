// The window's text at the scale it is drawn at: run at 1x, 1.5x and 2x (QT_SCALE_FACTOR).
// Text must grow with the layout, and bold must stay bold; that every caption fits its control
// at each scale is the shared table's (form1_window_test.cpp).

#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "qt/form1_window.h"
#include "qt/window_font.h"
#include "support/qt/window_test.h"

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

// The ink of an image: how dark its pixels are, summed.
long long ink(const QImage& image) {
    long long sum = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            sum += 255 - qGray(image.pixel(x, y));
        }
    }
    return sum;
}

// The ink of a frame's title row or a label, drawn in the given font and with the given caption.
long long captionInk(QWidget& widget, const QFont& font, const QString& caption) {
    const QFont shownFont = widget.font();
    widget.setFont(font);
    QRect area = widget.rect();
    QString shown;
    if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
        area.setHeight(QFontMetrics(font).height() + 2);
        shown = frame->title();
        frame->setTitle(caption);
    } else {
        auto& label = dynamic_cast<QLabel&>(widget);
        shown = label.text();
        label.setText(caption);
    }
    const long long sum = ink(widget.grab(area).toImage());
    if (auto* frame = qobject_cast<QGroupBox*>(&widget)) {
        frame->setTitle(shown);
    } else {
        static_cast<QLabel&>(widget).setText(shown);
    }
    widget.setFont(shownFont);
    return sum;
}

class ScaledTextTest : public test::WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        WindowTest::init();
        form_ = &window_->form;
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

    // Each bold caption holds clearly more ink than the same caption in the regular weight:
    // its strokes are wider. The control's own lines, drawn alike either way, are taken out.
    void boldCaptionsAreBold() {
        int bold = 0;
        for (const expected::Control& control : expected::controls()) {
            if (!control.bold) {
                continue;
            }
            ++bold;
            auto* widget = form_->findChild<QWidget*>(QString::fromStdString(control.name));
            QVERIFY2(widget != nullptr, control.name.c_str());
            const QString caption = QString::fromStdString(control.caption);
            const long long none = captionInk(*widget, widget->font(), QString());
            const long long asShown = captionInk(*widget, widget->font(), caption) - none;
            const long long regular = captionInk(*widget, windowFont(false), caption) - none;
            QVERIFY2(asShown * 10 > regular * 14,
                     qPrintable(QStringLiteral("%1: %2 against %3 regular")
                                    .arg(widget->objectName())
                                    .arg(asShown)
                                    .arg(regular)));
        }
        QCOMPARE(bold, 5);
    }

  private:
    qt::Form1Window* form_ = nullptr;
};

}  // namespace

QTEST_MAIN(ScaledTextTest)
#include "scaled_text_test.moc"
