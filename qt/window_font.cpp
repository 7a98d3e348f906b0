#include "qt/window_font.h"

#include <QCoreApplication>
#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QWidget>

namespace vantrel {

namespace {

constexpr auto kWineSansSerif = "/usr/share/wine/fonts/ms_sans_serif.ttf";

QString loadFamily() {
    if (QFile::exists(kWineSansSerif)) {
        const QStringList families = QFontDatabase::applicationFontFamilies(
            QFontDatabase::addApplicationFont(kWineSansSerif));
        if (!families.isEmpty()) {
            return families.first();
        }
    }
    return QStringLiteral("MS Sans Serif");
}

bool needsSyntheticBold(const QFont& font) {
    return font.bold() && !QFontDatabase::isScalable(font.family());
}

class SyntheticBoldStyle : public QProxyStyle {
  public:
    void drawItemText(QPainter* painter, const QRect& rect, int flags, const QPalette& palette,
                      bool enabled, const QString& text,
                      QPalette::ColorRole textRole) const override {
        QProxyStyle::drawItemText(painter, rect, flags, palette, enabled, text, textRole);
        if (needsSyntheticBold(painter->font())) {
            QProxyStyle::drawItemText(painter, rect.translated(1, 0), flags, palette, enabled, text,
                                      textRole);
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
    static const QString family = loadFamily();
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    font.setBold(bold);
    // Set either way, so that a regular child of a bold frame does not inherit the spacing.
    font.setLetterSpacing(QFont::AbsoluteSpacing, needsSyntheticBold(font) ? 1 : 0);
    return font;
}

void drawBoldCaption(QWidget* widget) {
    widget->setStyle(syntheticBoldStyle());
}

}  // namespace vantrel
