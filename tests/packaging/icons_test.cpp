#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// The program's icon at every size it ships, as the window's resources hold it, and the images
// in resources/ being what tools/draw_images draws.
class IconsTest : public QObject {
    Q_OBJECT

  private slots:
    void everySizeIsOneDesign_data() {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 64, 128, 256}) {
            QTest::newRow(QByteArray::number(size)) << size;
        }
    }

    // Each size is that size, transparent around the window, and covers about as much of its
    // square with the window and its cyan title bar as the 32 px design does: an icon drawn
    // at the wrong scale or placed off centre fails.
    void everySizeIsOneDesign() {
        QFETCH(int, size);
        const QImage icon(QStringLiteral(":/window_icon_%1.png").arg(size));
        QCOMPARE(icon.size(), QSize(size, size));
        QVERIFY(icon.hasAlphaChannel());
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(size - 1, 0), QPoint(0, size - 1), QPoint(size - 1, size - 1)}) {
            QCOMPARE(icon.pixelColor(corner).alpha(), 0);
        }

        const Shares shares = sharesOf(icon);
        const Shares design = sharesOf(QImage(QStringLiteral(":/window_icon_32.png")));
        QVERIFY2(qAbs(shares.window - design.window) < 0.06,
                 qPrintable(QStringLiteral("window covers %1").arg(shares.window)));
        QVERIFY2(qAbs(shares.titleBar - design.titleBar) < 0.03,
                 qPrintable(QStringLiteral("title bar covers %1").arg(shares.titleBar)));
        QVERIFY2(qAbs(shares.centreX - 0.5) < 0.05 && qAbs(shares.centreY - 0.5) < 0.05,
                 qPrintable(
                     QStringLiteral("centred at %1, %2").arg(shares.centreX).arg(shares.centreY)));
    }

    void scalableIconIsWellFormedSvg() {
        QFile file(QStringLiteral(VANTREL_RESOURCES_DIR "/window_icon.svg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader svg(&file);
        QVERIFY(svg.readNextStartElement());
        QCOMPARE(svg.name(), QStringLiteral("svg"));
        QCOMPARE(svg.attributes().value(QStringLiteral("viewBox")), QStringLiteral("0 0 32 32"));
        while (!svg.atEnd()) {
            svg.readNext();
        }
        QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    }

    // Nobody edits an image by hand, nor changes the drawing without drawing the images anew.
    void resourcesAreWhatTheToolDraws() {
        QTemporaryDir drawn;
        QVERIFY(drawn.isValid());
        QProcess tool;
        tool.setProcessChannelMode(QProcess::ForwardedChannels);
        tool.start(QStringLiteral(VANTREL_DRAW_IMAGES), {drawn.path()});
        QVERIFY(tool.waitForFinished(60000));
        QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
        QCOMPARE(tool.exitCode(), 0);

        const QDir resources(QStringLiteral(VANTREL_RESOURCES_DIR));
        const QStringList images = QDir(drawn.path()).entryList(QDir::Files, QDir::Name);
        QCOMPARE(images,
                 QStringList({"drop_picture.jpg", "window_icon.svg", "window_icon_128.png",
                              "window_icon_16.png", "window_icon_256.png", "window_icon_32.png",
                              "window_icon_48.png", "window_icon_64.png"}));
        for (const QString& name : images) {
            if (name.endsWith(QStringLiteral(".svg"))) {
                QCOMPARE(contentOf(resources.filePath(name)), contentOf(drawn.filePath(name)));
            } else {
                const QImage committed(resources.filePath(name));
                const QImage fresh(drawn.filePath(name));
                QVERIFY2(!committed.isNull(), qPrintable(name));
                QVERIFY2(committed == fresh, qPrintable(name + " differs from the drawing"));
            }
        }
    }

  private:
    // Shares of the square, and the centre of the opaque part as a share of the side.
    struct Shares {
        double window = 0;
        double titleBar = 0;
        double centreX = 0;
        double centreY = 0;
    };

    static Shares sharesOf(const QImage& icon) {
        double alpha = 0;
        double cyan = 0;
        double x = 0;
        double y = 0;
        for (int row = 0; row < icon.height(); ++row) {
            for (int column = 0; column < icon.width(); ++column) {
                const QColor colour = icon.pixelColor(column, row);
                alpha += colour.alphaF();
                x += colour.alphaF() * (column + 0.5);
                y += colour.alphaF() * (row + 0.5);
                cyan += colour == QColor(0, 255, 255) ? 1 : 0;
            }
        }
        const double area = static_cast<double>(icon.width()) * icon.height();
        return {.window = alpha / area,
                .titleBar = cyan / area,
                .centreX = x / alpha / icon.width(),
                .centreY = y / alpha / icon.height()};
    }

    static QByteArray contentOf(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(IconsTest)
#include "icons_test.moc"
