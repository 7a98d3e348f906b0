#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// The program's icon at every size it ships, as the window's resources hold it, the Windows
// program's icon file, and the images in resources/ being what tools/draw_images draws.
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
                 QStringList({"drop_picture.jpg", "vantrel.ico", "window_icon.svg",
                              "window_icon_128.png", "window_icon_16.png", "window_icon_256.png",
                              "window_icon_32.png", "window_icon_48.png", "window_icon_64.png"}));
        for (const QString& name : images) {
            if (name.endsWith(QStringLiteral(".svg")) || name.endsWith(QStringLiteral(".ico"))) {
                QCOMPARE(contentOf(resources.filePath(name)), contentOf(drawn.filePath(name)));
            } else {
                const QImage committed(resources.filePath(name));
                const QImage fresh(drawn.filePath(name));
                QVERIFY2(!committed.isNull(), qPrintable(name));
                QVERIFY2(committed == fresh, qPrintable(name + " differs from the drawing"));
            }
        }
    }

    // The Windows icon file: one group of three palette images, each with its mask, as the
    // oldest displays show them, in the order Windows picks from.
    void windowsIconFileHoldsThreePaletteImages() {
        const QByteArray ico = contentOf(QStringLiteral(VANTREL_RESOURCES_DIR "/vantrel.ico"));
        QDataStream in(ico);
        in.setByteOrder(QDataStream::LittleEndian);
        quint16 reserved = 0;
        quint16 type = 0;
        quint16 count = 0;
        in >> reserved >> type >> count;
        QCOMPARE(reserved, quint16(0));
        QCOMPARE(type, quint16(1));
        QCOMPARE(count, quint16(3));

        const struct {
            int size;
            int colours;
            int bits;
        } expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
        for (const auto& image : expected) {
            quint8 width = 0;
            quint8 height = 0;
            quint8 colours = 0;
            quint8 zero = 0;
            quint16 planes = 0;
            quint16 bits = 0;
            quint32 bytes = 0;
            quint32 offset = 0;
            in >> width >> height >> colours >> zero >> planes >> bits >> bytes >> offset;
            const QString row =
                QStringLiteral("%1 px, %2 colours").arg(image.size).arg(image.colours);
            QVERIFY2(width == image.size && height == image.size, qPrintable(row));
            QVERIFY2(colours == image.colours && bits == image.bits, qPrintable(row));
            QVERIFY2(zero == 0 && planes == 1, qPrintable(row));

            // The bitmap: twice the height for colours and mask, its palette, rows of whole
            // 32-bit words, and nothing beyond the end of the file.
            const auto words = [](int width, int bits) { return (width * bits + 31) / 32 * 4; };
            const quint32 size = 40 + 4 * image.colours +
                                 words(image.size, image.bits) * image.size +
                                 words(image.size, 1) * image.size;
            QCOMPARE(bytes, size);
            QVERIFY2(quint64(offset) + bytes <= quint64(ico.size()), qPrintable(row));
            QDataStream header(ico.mid(offset, 40));
            header.setByteOrder(QDataStream::LittleEndian);
            quint32 headerSize = 0;
            qint32 bitmapWidth = 0;
            qint32 bitmapHeight = 0;
            quint16 bitmapPlanes = 0;
            quint16 bitmapBits = 0;
            header >> headerSize >> bitmapWidth >> bitmapHeight >> bitmapPlanes >> bitmapBits;
            QVERIFY2(headerSize == 40 && bitmapWidth == image.size &&
                         bitmapHeight == 2 * image.size && bitmapPlanes == 1 &&
                         bitmapBits == image.bits,
                     qPrintable(row));
        }
    }

    // Each image is the drawing of its size: transparent exactly where the drawing is, in the
    // drawing's colours, and in two colours black and white where the drawing is.
    void windowsIconImagesAreTheDrawing() {
        QImageReader reader(QStringLiteral(VANTREL_RESOURCES_DIR "/vantrel.ico"), "ico");
        QCOMPARE(reader.imageCount(), 3);
        for (int i = 0; i < 3; ++i) {
            QVERIFY(reader.jumpToImage(i));
            const QImage image = reader.read().convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            const bool twoColours = i == 0;
            const QImage drawing(QStringLiteral(":/window_icon_%1.png").arg(image.width()));
            QCOMPARE(image.size(), drawing.size());
            int greyed = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor shown = image.pixelColor(x, y);
                    const QColor drawn = drawing.pixelColor(x, y);
                    const QString at = QStringLiteral("image %1 at %2,%3").arg(i).arg(x).arg(y);
                    QVERIFY2(shown.alpha() == drawn.alpha(), qPrintable(at));
                    if (drawn.alpha() == 0) {
                        continue;
                    }
                    if (!twoColours || drawn == Qt::black || drawn == Qt::white) {
                        QVERIFY2(shown.rgb() == drawn.rgb(), qPrintable(at));
                    } else {
                        QVERIFY2(shown == Qt::black || shown == Qt::white, qPrintable(at));
                        greyed += shown == Qt::black ? 1 : 0;
                    }
                }
            }
            if (twoColours) {
                QVERIFY2(greyed > 0, "the title bar is told from the body in two colours");
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
