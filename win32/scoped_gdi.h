#pragma once

#include <windows.h>

namespace vantrel::win32 {

// Device contexts and GDI objects held for one scope: each is given back at the end of its
// scope however the scope is left, so that no drawing leaks a context or leaves an object
// selected. Declare an object before the selection of it, so that it is deselected first.

// A window's device context, released at the end of the scope.
class WindowDc {
  public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(::GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ::ReleaseDC(hwnd_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    HDC dc_;
};

// The painting of a window's invalid area, begun for the scope and ended at its end.
class PaintDc {
  public:
    explicit PaintDc(HWND hwnd) : hwnd_(hwnd), dc_(::BeginPaint(hwnd, &paint_)) {}
    ~PaintDc() { ::EndPaint(hwnd_, &paint_); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HWND hwnd_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// A memory device context like `like` (the screen when null), deleted at the end of the scope.
class MemoryDc {
  public:
    explicit MemoryDc(HDC like = nullptr) : dc_(::CreateCompatibleDC(like)) {}
    ~MemoryDc() {
        if (dc_ != nullptr) {
            ::DeleteDC(dc_);
        }
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A pen, brush, font or bitmap made for the scope and deleted at its end.
template <typename Handle>
class GdiObject {
  public:
    explicit GdiObject(Handle object) : object_(object) {}
    ~GdiObject() {
        if (object_ != nullptr) {
            ::DeleteObject(object_);
        }
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle get() const { return object_; }

  private:
    Handle object_;
};

// The object selected into the device context for the scope, the one it replaced selected again
// at the end. A null object selects nothing.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object != nullptr ? ::SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr) {
            ::SelectObject(dc_, previous_);
        }
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The device context's state (clipping, origin, selections) saved for the scope and restored at
// its end.
class SavedDc {
  public:
    explicit SavedDc(HDC dc) : dc_(dc), saved_(::SaveDC(dc)) {}
    ~SavedDc() {
        if (saved_ != 0) {
            ::RestoreDC(dc_, saved_);
        }
    }
    SavedDc(const SavedDc&) = delete;
    SavedDc& operator=(const SavedDc&) = delete;

  private:
    HDC dc_;
    int saved_;
};

}  // namespace vantrel::win32
