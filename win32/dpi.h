#pragma once

#include <windows.h>

#include "platform/twips.h"

namespace vantrel::win32 {

// The pixels per logical inch the standard layout is drawn for.
constexpr int kStandardDpi = 96;

// The screen's pixels per logical inch: 96 unless the system scales its text.
int screenDpi();

// The pixels per logical inch of the monitor the window is on, where the system tells it
// (Windows 10 1607 and later); else the screen's.
int windowDpi(HWND hwnd);

// The size of the window whose client area is `client` wide and high, at `dpi`.
SIZE windowSizeFor(SIZE client, DWORD style, int dpi);

// The rectangle in pixels; its width and height are rounded on their own, as its corner is, so
// that every control of one size is drawn at one size wherever it sits.
RECT toPixels(const TwipsRect& rect, int dpi);

}  // namespace vantrel::win32
