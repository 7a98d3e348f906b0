#pragma once

#include <windows.h>

#include <string>

#include "win32/own_window.h"

namespace vantrel::win32 {

// Draws a frame's etched border, its top line through the middle of the caption's first line,
// and the caption on the window's background near its left end.
void paintFrame(HDC dc, const RECT& client, const std::wstring& caption, HFONT font);

// A window that draws all of itself, on the screen and into another's device context
// (WM_PRINTCLIENT), with nothing erased first, so that it never flickers.
class PaintedWindow : public OwnWindow {
  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void paint(HDC dc) = 0;
};

// A frame: a container drawn as a captioned group box. What its children tell their parent
// (commands, scrolling, colours) goes on to its own parent, so that it reaches the window.
class FrameWindow : public PaintedWindow {
  public:
    FrameWindow(HWND parent, const RECT& place, const std::wstring& caption, HFONT font);

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc) override;

  private:
    HFONT font_;
};

// Whether a message is one a child sends its parent about itself.
bool isChildNotification(UINT message);

// A label: its caption drawn over whatever lies behind it, the container's background and the
// siblings below it, so that it can sit on a shape.
class LabelWindow : public PaintedWindow {
  public:
    struct Look {
        HFONT font;
        COLORREF colour;
        bool centred;
        bool wordWrap;
    };

    LabelWindow(HWND parent, const RECT& place, const std::wstring& caption, const Look& look);

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc) override;

  private:
    void paintBehind(HDC dc);

    Look look_;
};

// A rectangle shape: an opaque fill inside a black outline. Clicks go through it to what lies
// below.
class ShapeWindow : public PaintedWindow {
  public:
    ShapeWindow(HWND parent, const RECT& place, COLORREF fill, int outlinePixels);

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;
    void paint(HDC dc) override;

  private:
    COLORREF fill_;
    int outline_;
};

}  // namespace vantrel::win32
