#include "win32/window_font.h"

#include <cmath>
#include <cwchar>

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

constexpr double kPointsPerInch = 72.0;

}  // namespace

WindowFont::WindowFont(const std::string& face, double points, bool bold, int dpi) {
    LOGFONTW font{};
    // Negative: the height of the characters, not of the cell, as a point size means.
    font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / kPointsPerInch));
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    const std::wstring name = toUtf16(face);
    std::wcsncpy(font.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    font_ = ::CreateFontIndirectW(&font);
    if (font_ == nullptr) {
        throw failureFromWin32(::GetLastError());
    }
}

WindowFont::~WindowFont() {
    ::DeleteObject(font_);
}

}  // namespace vantrel::win32
