// Draws Vantrel's images: the picture in the drop area and the program's icon, as pixel-stepped
// 16 and 32 px images, smooth larger ones, a scalable SVG and the Windows program's icon file,
// all of one design.
// Usage: draw_images OUTDIR

#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineF>
#include <QList>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRect>
#include <QString>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kDotsPerMeterAt96Dpi = 3780;

// Keeps the file near two and a half kilobytes; higher settings grow it without a visible gain.
constexpr int kJpegQuality = 60;

void drawSheet(QPainter& painter, const QRect& sheet) {
    // Stacked translucent copies give a shadow that fades outwards without a blur pass.
    constexpr int kShadowDepth = 4;
    for (int step = kShadowDepth; step >= 1; --step) {
        painter.fillRect(sheet.translated(step, step), QColor(0, 0, 0, 22));
    }
    painter.fillRect(sheet, Qt::white);
    painter.setPen(QColor(150, 150, 150));
    painter.drawRect(sheet.adjusted(0, 0, -1, -1));
}

QImage dropPicture() {
    QImage image(142, 155, QImage::Format_RGB32);
    image.setDotsPerMeterX(kDotsPerMeterAt96Dpi);
    image.setDotsPerMeterY(kDotsPerMeterAt96Dpi);
    image.fill(Qt::white);

    QPainter painter(&image);

    const std::array<QColor, 4> inks{QColor(0, 0, 0), QColor(0, 255, 255), QColor(255, 0, 255),
                                     QColor(255, 255, 0)};
    constexpr int kInkSize = 7;
    constexpr int kInkPitch = 9;
    for (std::size_t i = 0; i < inks.size(); ++i) {
        const QRect square(6 + static_cast<int>(i) * kInkPitch, 6, kInkSize, kInkSize);
        painter.fillRect(square, inks[i]);
        painter.setPen(QColor(110, 110, 110));
        painter.drawRect(square.adjusted(0, 0, -1, -1));
    }

    // Back sheet first so that each nearer sheet and its shadow cover the one behind.
    constexpr int kSheetWidth = 70;
    constexpr int kSheetHeight = 90;
    constexpr int kOffset = 14;
    const QRect front(20, 50, kSheetWidth, kSheetHeight);
    for (int depth = 2; depth >= 0; --depth) {
        drawSheet(painter, front.translated(depth * kOffset, -depth * kOffset));
    }
    return image;
}

const QColor kTitleBar(0, 255, 255);

// A window turned slightly away to the right: its far edge is shorter than its near edge.
struct WindowOutline {
    int left;
    int right;
    int nearTop;
    int nearTitleLine;
    int nearBottom;
    int farTop;
    int farTitleLine;
    int farBottom;
};

// Painted column by column so that every sloping edge steps cleanly, one pixel thick, which
// reads better at icon sizes than antialiased lines.
QImage windowIcon(int size, const WindowOutline& w) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);

    QPainter painter(&image);
    const auto along = [&w](int x, int nearY, int farY) {
        return static_cast<int>(std::lround(nearY + static_cast<double>(farY - nearY) *
                                                        (x - w.left) / (w.right - w.left)));
    };
    for (int x = w.left; x <= w.right; ++x) {
        const int top = along(x, w.nearTop, w.farTop);
        const int titleLine = along(x, w.nearTitleLine, w.farTitleLine);
        const int bottom = along(x, w.nearBottom, w.farBottom);
        if (x == w.left || x == w.right) {
            painter.setPen(Qt::black);
            painter.drawLine(x, top, x, bottom);
            continue;
        }
        painter.setPen(kTitleBar);
        painter.drawLine(x, top + 1, x, titleLine - 1);
        painter.setPen(Qt::white);
        painter.drawLine(x, titleLine + 1, x, bottom - 1);
        painter.setPen(Qt::black);
        painter.drawPoint(x, top);
        painter.drawPoint(x, titleLine);
        painter.drawPoint(x, bottom);
    }
    return image;
}

// The same window as smooth shapes, `scale` times the size that `w` was laid out for. At scale 1
// each line runs through the centres of the pixels that the stepped drawing paints. Lines are a
// whole number of pixels wide and every corner is moved to where a line of that width covers
// whole pixels, so that the upright edges stay sharp at sizes that are no multiple of the design.
struct WindowShapes {
    double lineWidth;
    QPolygonF titleBar;
    QPolygonF body;
    QPolygonF frame;
    QLineF titleLine;
};

WindowShapes shapesOf(const WindowOutline& w, double scale) {
    const double lineWidth = std::max(1.0, std::round(scale));
    const auto snapped = [scale, lineWidth](int pixel) {
        return std::round((pixel + 0.5) * scale - lineWidth / 2) + lineWidth / 2;
    };
    const auto at = [&snapped](int x, int y) { return QPointF(snapped(x), snapped(y)); };
    const QPointF nearTop = at(w.left, w.nearTop);
    const QPointF farTop = at(w.right, w.farTop);
    const QPointF nearTitle = at(w.left, w.nearTitleLine);
    const QPointF farTitle = at(w.right, w.farTitleLine);
    const QPointF nearBottom = at(w.left, w.nearBottom);
    const QPointF farBottom = at(w.right, w.farBottom);
    return {.lineWidth = lineWidth,
            .titleBar = QPolygonF({nearTop, farTop, farTitle, nearTitle}),
            .body = QPolygonF({nearTitle, farTitle, farBottom, nearBottom}),
            .frame = QPolygonF({nearTop, farTop, farBottom, nearBottom}),
            .titleLine = QLineF(nearTitle, farTitle)};
}

// The design drawn at `size` pixels, `designSize` being the size its outline was laid out for.
QImage smoothWindowIcon(int size, int designSize, const WindowOutline& w) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);

    const WindowShapes shapes = shapesOf(w, static_cast<double>(size) / designSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kTitleBar);
    painter.drawPolygon(shapes.titleBar);
    painter.setBrush(Qt::white);
    painter.drawPolygon(shapes.body);
    painter.setPen(QPen(Qt::black, shapes.lineWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(shapes.frame);
    painter.drawLine(shapes.titleLine);
    return image;
}

QString svgPoints(const QPolygonF& polygon) {
    QString points;
    for (const QPointF& p : polygon) {
        if (!points.isEmpty()) {
            points += ' ';
        }
        points += QString::number(p.x()) + ',' + QString::number(p.y());
    }
    return points;
}

QString svgWindowIcon(int designSize, const WindowOutline& w) {
    const WindowShapes shapes = shapesOf(w, 1.0);
    const QString size = QString::number(designSize);
    QString svg;
    QTextStream out(&svg);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << size << "\" height=\"" << size
        << "\" viewBox=\"0 0 " << size << ' ' << size << "\">\n"
        << "  <polygon points=\"" << svgPoints(shapes.titleBar) << "\" fill=\"" << kTitleBar.name()
        << "\"/>\n"
        << "  <polygon points=\"" << svgPoints(shapes.body) << "\" fill=\"#ffffff\"/>\n"
        << "  <g fill=\"none\" stroke=\"#000000\" stroke-width=\"" << shapes.lineWidth
        << "\" stroke-linecap=\"square\">\n"
        << "    <polygon points=\"" << svgPoints(shapes.frame) << "\"/>\n"
        << "    <line x1=\"" << shapes.titleLine.x1() << "\" y1=\"" << shapes.titleLine.y1()
        << "\" x2=\"" << shapes.titleLine.x2() << "\" y2=\"" << shapes.titleLine.y2() << "\"/>\n"
        << "  </g>\n"
        << "</svg>\n";
    return svg;
}

// The Windows icon file's images: each a palette bitmap with its mask, in the colours of the
// oldest displays that still show an icon.
struct IconImage {
    QImage drawing;
    int bitsPerPixel;
};

// The 16 colours every Windows display has, in the order of the system palette.
const QList<QRgb> kSixteenColours{
    qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
    qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
    qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
    qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
const QList<QRgb> kTwoColours{qRgb(0, 0, 0), qRgb(255, 255, 255)};

// Bitmap rows are whole 32-bit words.
int rowBytes(int width, int bitsPerPixel) {
    return (width * bitsPerPixel + 31) / 32 * 4;
}

// The drawing as palette indices. In two colours a colour between black and white, the cyan
// title bar, becomes a checkerboard of both, so that it still reads as a bar; the 16 colours hold
// the design's own.
QImage indexed(const QImage& drawing, const QList<QRgb>& palette) {
    if (palette.size() != 2) {
        return drawing.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
    }
    QImage indices(drawing.size(), QImage::Format_Indexed8);
    indices.setColorTable(palette);
    for (int y = 0; y < drawing.height(); ++y) {
        for (int x = 0; x < drawing.width(); ++x) {
            const int grey = qGray(drawing.pixel(x, y));
            const bool white = grey >= 192 || (grey >= 64 && (x + y) % 2 == 0);
            indices.setPixel(x, y, white ? 1 : 0);
        }
    }
    return indices;
}

// One image of the file: a BITMAPINFOHEADER of twice the height (colours, then mask), the
// palette, the colour bits and the mask bits, rows bottom-up. A transparent pixel has mask bit
// 1 and colour 0, so that the screen shows through unchanged.
QByteArray iconImageBytes(const IconImage& image) {
    const QList<QRgb> palette = image.bitsPerPixel == 1 ? kTwoColours : kSixteenColours;
    const QImage indices = indexed(image.drawing, palette);
    const int width = image.drawing.width();
    const int height = image.drawing.height();
    const int colourRow = rowBytes(width, image.bitsPerPixel);
    const int maskRow = rowBytes(width, 1);
    std::vector<std::uint8_t> colours(static_cast<std::size_t>(colourRow * height));
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(maskRow * height));
    const int perByte = 8 / image.bitsPerPixel;
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y;
        for (int x = 0; x < width; ++x) {
            const bool transparent = qAlpha(image.drawing.pixel(x, y)) < 128;
            const int index = transparent ? 0 : indices.pixelIndex(x, y);
            const int shift = (perByte - 1 - x % perByte) * image.bitsPerPixel;
            colours[static_cast<std::size_t>(row * colourRow + x / perByte)] |=
                static_cast<std::uint8_t>(index << shift);
            if (transparent) {
                mask[static_cast<std::size_t>(row * maskRow + x / 8)] |=
                    static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
    }

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(40) << qint32(width) << qint32(2 * height) << quint16(1)
        << quint16(image.bitsPerPixel) << quint32(0) << quint32(colours.size() + mask.size())
        << qint32(0) << qint32(0) << quint32(palette.size()) << quint32(0);
    for (const QRgb colour : palette) {
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    }
    out.writeRawData(reinterpret_cast<const char*>(colours.data()),
                     static_cast<int>(colours.size()));
    out.writeRawData(reinterpret_cast<const char*>(mask.data()), static_cast<int>(mask.size()));
    return bytes;
}

// An .ico file: its header, one directory entry per image, then the images in that order.
QByteArray iconFile(const std::vector<IconImage>& images) {
    constexpr int kHeaderBytes = 6;
    constexpr int kEntryBytes = 16;
    std::vector<QByteArray> data;
    for (const IconImage& image : images) {
        data.push_back(iconImageBytes(image));
    }

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size());
    quint32 offset = kHeaderBytes + kEntryBytes * static_cast<quint32>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        const QImage& drawing = images[i].drawing;
        out << quint8(drawing.width()) << quint8(drawing.height())
            << quint8(1 << images[i].bitsPerPixel) << quint8(0) << quint16(1)
            << quint16(images[i].bitsPerPixel) << quint32(data[i].size()) << offset;
        offset += static_cast<quint32>(data[i].size());
    }
    for (const QByteArray& image : data) {
        out.writeRawData(image.constData(), static_cast<int>(image.size()));
    }
    return bytes;
}

bool save(const QImage& image, const QDir& dir, const QString& name, int quality = -1) {
    const QString path = dir.filePath(name);
    if (image.save(path, nullptr, quality)) {
        return true;
    }
    QTextStream(stderr) << "draw_images: cannot write " << path << '\n';
    return false;
}

bool save(const QByteArray& bytes, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
        file.write(bytes) == bytes.size() && file.flush()) {
        return true;
    }
    QTextStream(stderr) << "draw_images: cannot write " << path << '\n';
    return false;
}

}  // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: draw_images OUTDIR\n", stderr);
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    if (!outDir.exists()) {
        QTextStream(stderr) << "draw_images: no such folder " << outDir.path() << '\n';
        return 1;
    }

    const WindowOutline icon32{.left = 2,
                               .right = 29,
                               .nearTop = 3,
                               .nearTitleLine = 9,
                               .nearBottom = 28,
                               .farTop = 7,
                               .farTitleLine = 12,
                               .farBottom = 24};
    const WindowOutline icon16{.left = 1,
                               .right = 14,
                               .nearTop = 1,
                               .nearTitleLine = 5,
                               .nearBottom = 14,
                               .farTop = 3,
                               .farTitleLine = 6,
                               .farBottom = 12};

    // 16 and 32 px are stepped by hand to stay crisp; the larger sizes and the SVG scale the
    // 32 px outline.
    bool ok = save(dropPicture(), outDir, "drop_picture.jpg", kJpegQuality) &&
              save(windowIcon(32, icon32), outDir, "window_icon_32.png") &&
              save(windowIcon(16, icon16), outDir, "window_icon_16.png") &&
              save(svgWindowIcon(32, icon32).toUtf8(), outDir, "window_icon.svg") &&
              save(iconFile({{windowIcon(32, icon32), 1},
                             {windowIcon(32, icon32), 4},
                             {windowIcon(16, icon16), 4}}),
                   outDir, "vantrel.ico");
    for (const int size : {48, 64, 128, 256}) {
        ok = ok && save(smoothWindowIcon(size, 32, icon32), outDir,
                        QStringLiteral("window_icon_%1.png").arg(size));
    }
    return ok ? 0 : 1;
}
