#include "qt/window_font.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <initializer_list>

namespace vantrel {

namespace {

constexpr auto kWineFonts = "/usr/share/wine/fonts/";
constexpr double kDesignDpi = 96.0;

// The family of the first of the files that loads, Wine's fonts lying outside fontconfig's path.
QString loadFamily(std::initializer_list<const char*> files, const QString& fallback) {
    QString family;
    for (const char* file : files) {
        const QString path = QString::fromLatin1(kWineFonts) + QString::fromLatin1(file);
        const QStringList families =
            QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(path));
        if (family.isEmpty() && !families.isEmpty()) {
            family = families.first();
        }
    }
    return family.isEmpty() ? fallback : family;
}

// MS Sans Serif holds bitmaps for 96 dpi only: drawn larger, the layout grows and its text does
// not. Tahoma, an outline face of the same width, grows with it.
bool drawnAboveDesignDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr &&
           (screen->devicePixelRatio() > 1.0 || screen->logicalDotsPerInchY() > kDesignDpi);
}

QString windowFamily() {
    if (drawnAboveDesignDpi()) {
        return loadFamily({"tahoma.ttf"}, QStringLiteral("Tahoma"));
    }
    return loadFamily({"ms_sans_serif.ttf"}, QStringLiteral("MS Sans Serif"));
}

// Wine's faces have no bold of their own, and Qt's emboldening of an outline face is too faint
// to read as bold: such a face is made bold the way Windows makes it.
bool needsSyntheticBold(const QFont& font) {
    if (!font.bold()) {
        return false;
    }
    const QStringList styles = QFontDatabase::styles(font.family());
    return std::none_of(styles.begin(), styles.end(), [&font](const QString& style) {
        return QFontDatabase::weight(font.family(), style) >= QFont::Bold;
    });
}

class SyntheticBoldStyle : public QProxyStyle {
  public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole) const override {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        if (needsSyntheticBold(painter->font())) {
            // One pixel of the screen: above 96 dpi a pixel of the layout would close the gaps
            // between letters.
            const QPaintDevice* device = painter->device();
            const qreal pixel = device != nullptr ? 1.0 / device->devicePixelRatioF() : 1.0;
            painter->save();
            painter->translate(pixel, 0);
            QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
            painter->restore();
        }
    }
};

// One style for all widgets, living as long as the application, so after every window.
QStyle* syntheticBoldStyle() {
    static QPointer<SyntheticBoldStyle> style;
    if (style == nullptr) {
        style = new SyntheticBoldStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

}  // namespace

QFont windowFont(bool bold) {
    static const QString family = windowFamily();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    // Set either way, so that a regular child of a bold frame does not inherit the spacing. An
    // outline face keeps its widths, which Qt's emboldening does not change: the list's header
    // of blanks would not fit otherwise.
    const bool widened = needsSyntheticBold(font) && !QFontDatabase::isScalable(family);
    font.setLetterSpacing(QFont::AbsoluteSpacing, widened ? 1 : 0);
    return font;
}

void drawBoldCaption(QWidget* widget) {
    widget->setStyle(syntheticBoldStyle());
}

}  // namespace vantrel
