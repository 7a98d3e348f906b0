#include "win32/window_font.h"

#include <cmath>
#include <cwchar>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "win32/dpi.h"

namespace vantrel::win32 {

namespace {

constexpr double kPointsPerInch = 72.0;
// An outline face of the same widths as MS Sans Serif, which grows with the layout.
constexpr wchar_t kScalableFace[] = L"Tahoma";

HFONT createFont(const std::wstring& face, double points, bool bold, int dpi) {
    LOGFONTW font{};
    // Negative: the height of the characters, not of the cell, as a point size means. Whole
    // pixels at or below the size: a caption set any larger no longer fits its control.
    font.lfHeight = -static_cast<LONG>(std::floor(points * dpi / kPointsPerInch));
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    std::wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    HFONT created = ::CreateFontIndirectW(&font);
    if (created == nullptr) {
        throw failureFromWin32(::GetLastError());
    }
    return created;
}

}  // namespace

WindowFont::WindowFont(const std::string& face, double points, bool bold, int dpi) {
    font_ = createFont(dpi <= kStandardDpi ? toUtf16(face) : kScalableFace, points, bold, dpi);
}

WindowFont::~WindowFont() {
    ::DeleteObject(font_);
}

}  // namespace vantrel::win32
