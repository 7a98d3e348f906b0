// Draws Vantrel's images: the picture in the drop area and the program's icon, as pixel-stepped
// 16 and 32 px images, smooth larger ones and a scalable SVG, all of one design.
// Usage: draw_images OUTDIR

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLineF>
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
#include <cstdio>

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

bool save(const QImage& image, const QDir& dir, const QString& name, int quality = -1) {
    const QString path = dir.filePath(name);
    if (image.save(path, nullptr, quality)) {
        return true;
    }
    QTextStream(stderr) << "draw_images: cannot write " << path << '\n';
    return false;
}

bool save(const QString& text, const QDir& dir, const QString& name) {
    const QString path = dir.filePath(name);
    const QByteArray bytes = text.toUtf8();
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
              save(svgWindowIcon(32, icon32), outDir, "window_icon.svg");
    for (const int size : {48, 64, 128, 256}) {
        ok = ok && save(smoothWindowIcon(size, 32, icon32), outDir,
                        QStringLiteral("window_icon_%1.png").arg(size));
    }
    return ok ? 0 : 1;
}
