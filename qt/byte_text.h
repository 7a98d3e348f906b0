#pragma once

#include <QString>
#include <string>

namespace vantrel::qt {

// File names on Linux are bytes, whatever their encoding, and the core passes them on as
// such; Qt's widgets hold UTF-16 text. Every path crosses between the two here, and nowhere
// else. Valid UTF-8 becomes its text; each byte that is not part of valid UTF-8 becomes a lone
// surrogate U+DC80..U+DCFF, which the widgets draw as a replacement and which turns back into
// the same byte, so that a name survives the round trip through a widget unchanged.
QString textOfBytes(const std::string& bytes);
std::string bytesOfText(const QString& text);

}  // namespace vantrel::qt
