// Draws the images of Vantrel's window: the picture in the drop area and the window icon.
// Usage: draw_images OUTDIR

#include <QColor>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <QTextStream>

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
    const QColor titleBar(0, 255, 255);
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
        painter.setPen(titleBar);
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

bool save(const QImage& image, const QDir& dir, const QString& name, int quality = -1) {
    const QString path = dir.filePath(name);
    if (image.save(path, nullptr, quality)) {
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

    const bool ok = save(dropPicture(), outDir, "drop_picture.jpg", kJpegQuality) &&
                    save(windowIcon(32, icon32), outDir, "window_icon_32.png") &&
                    save(windowIcon(16, icon16), outDir, "window_icon_16.png");
    return ok ? 0 : 1;
}
