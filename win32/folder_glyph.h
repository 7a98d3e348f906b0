#pragma once

#include <windows.h>

namespace vantrel::win32 {

// The folder glyph's colours, so that a picture of the directory list can be read back.
inline constexpr COLORREF kFolderOutline = RGB(128, 96, 0);
inline constexpr COLORREF kClosedFolderFill = RGB(240, 200, 80);
inline constexpr COLORREF kOpenFolderBack = RGB(200, 160, 48);
inline constexpr COLORREF kOpenFolderFront = RGB(255, 232, 144);

// Draws a folder filling the square `box`: open (its front flap lifted) or closed.
void drawFolderGlyph(HDC dc, const RECT& box, bool open);

}  // namespace vantrel::win32
