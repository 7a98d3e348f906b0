#pragma once

#include <QFont>

class QWidget;

namespace vantrel {

// The window's font: "MS Sans Serif" 8.25 pt, taken from Wine's fonts where they are installed
// (they lie outside fontconfig's path), else the nearest plain sans-serif at the same size.
// Where the window is drawn above 96 dpi, Tahoma, which scales with it.
QFont windowFont(bool bold = false);

// Wine's faces hold the regular weight only, which Qt does not thicken (bitmaps) or thickens
// too little to show (Tahoma). Bold is then made the way Windows makes it for such faces:
// drawn twice one pixel apart, and a bitmap's glyphs each one pixel wider. This gives the
// widget (not its children) a style that does the drawing of its caption.
void drawBoldCaption(QWidget* widget);

}  // namespace vantrel
