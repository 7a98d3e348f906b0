#include <QDir>
#include <QImage>
#include <QLabel>
#include <QtTest>

#include "support/qt/window_test.h"

namespace expected = vantrel::expected;

// Grabs the window as a person sees it, keeps the picture in the build folder to be looked at,
// and checks a few pixels that must hold.
class ScreenshotTest : public vantrel::test::WindowTest {
    Q_OBJECT

  private slots:
    void windowAtStart() {
        const QImage shot = window_->form.grab().toImage();
        QVERIFY(save(shot, "vantrel_window.png"));
        QCOMPARE(shot.size(), QSize(566, 484));

        // The empty bar: grey inside a black outline, from x 24 to 561, y 456 to 472.
        QCOMPARE(shot.pixelColor(24, 464), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(25, 464), QColor(224, 224, 224));
        QCOMPARE(shot.pixelColor(300, 464), QColor(224, 224, 224));
        QCOMPARE(shot.pixelColor(559, 464), QColor(224, 224, 224));

        // The drop picture, at natural size from the inner corner of its box.
        const vantrel::qt::PictureBox* box = &window_->picture1();
        const QImage picture = box->picture().toImage();
        QCOMPARE(picture.size(), QSize(142, 155));
        const QPoint corner = box->mapTo(&window_->form, box->contentsRect().topLeft());
        int matching = 0;
        int sampled = 0;
        for (int y = 0; y < box->contentsRect().height(); y += 7) {
            for (int x = 0; x < box->contentsRect().width(); x += 7) {
                ++sampled;
                matching += shot.pixelColor(corner + QPoint(x, y)) == picture.pixelColor(x, y);
            }
        }
        QCOMPARE(matching, sampled);
    }

    // The fill stands in front of the caption and the grey background.
    void fillCoversCaption() {
        const vantrel::Form1Controls& controls = window_->controls();
        controls.LabelProgress.setCaption(expected::progress(5, 10));
        controls.ShapeProgress.setWidth(expected::kFullBar / 2);
        const QImage shot = window_->form.grab().toImage();
        QVERIFY(save(shot, "vantrel_window_half.png"));

        QCOMPARE(shot.pixelColor(24, 464), QColor(Qt::black));
        QCOMPARE(shot.pixelColor(25, 464), QColor(Qt::black));
        const QColor fill(128, 128, 255);
        for (int x = 26; x < 24 + 268 - 2; ++x) {
            for (int y = 458; y < 470; ++y) {
                QCOMPARE(shot.pixelColor(x, y), fill);
            }
        }
        QCOMPARE(shot.pixelColor(400, 470), QColor(224, 224, 224));
        // The caption's right half, on the grey, is drawn in navy.
        bool navy = false;
        for (int x = 292; x < 400 && !navy; ++x) {
            for (int y = 457; y < 471 && !navy; ++y) {
                navy = shot.pixelColor(x, y) == QColor(0, 0, 64);
            }
        }
        QVERIFY(navy);
    }

  private:
    static bool save(const QImage& shot, const QString& name) {
        const QString path = QDir(QStringLiteral(VANTREL_SCREENSHOT_DIR)).filePath(name);
        qInfo("screenshot: %s", qPrintable(path));
        return shot.save(path);
    }
};

QTEST_MAIN(ScreenshotTest)
#include "screenshot_test.moc"
