#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "platform/controls.h"
#include "platform/twips.h"
#include "window/form1_layout.h"

// The window's controls as the logic sees them, over the Win32 windows that show them. Places
// and sizes are kept as the twips they were given, so that a value read back is the value set,
// whatever the pixels on screen came to.
namespace vantrel::win32 {

// A control's own visibility setting, whether or not its window is on screen yet.
bool shownByStyle(HWND hwnd);

// Moves and sizes the window to the twips at `dpi`. The adapters below hold the window's DPI by
// reference: it changes as the window moves to a monitor of another scale, and `place` then
// puts the control where its twips now fall.
void placeInTwips(HWND hwnd, const TwipsRect& rect, int dpi);

class EditTextBox : public TextBox {
  public:
    EditTextBox(HWND edit, const TwipsRect& rect, const int& dpi);

    std::string text() const override;
    void setText(const std::string& text) override;
    double top() const override { return rect_.top; }
    void setTop(double top) override;
    double height() const override { return rect_.height; }
    bool visible() const override;
    void setVisible(bool visible) override;
    void place() const { placeInTwips(edit_, rect_, dpi_); }

  private:
    HWND edit_;
    TwipsRect rect_;
    const int& dpi_;
};

class LabelCaption : public Label {
  public:
    explicit LabelCaption(HWND label) : label_(label) {}

    std::string caption() const override;
    void setCaption(const std::string& caption) override;

  private:
    HWND label_;
};

class ShapeSize : public Shape {
  public:
    ShapeSize(HWND shape, const TwipsRect& rect, const int& dpi)
        : shape_(shape), rect_(rect), dpi_(dpi) {}

    double width() const override { return rect_.width; }
    void setWidth(double width) override;
    void place() const { placeInTwips(shape_, rect_, dpi_); }

  private:
    HWND shape_;
    TwipsRect rect_;
    const int& dpi_;
};

class FramePlace : public Frame {
  public:
    FramePlace(HWND frame, const TwipsRect& rect, const int& dpi)
        : frame_(frame), rect_(rect), dpi_(dpi) {}

    double top() const override { return rect_.top; }
    void setTop(double top) override;
    double height() const override { return rect_.height; }
    void setHeight(double height) override;
    void place() const { placeInTwips(frame_, rect_, dpi_); }

    // Called after each move, so that the frames inside can tell what they now show.
    std::function<void()> moved;

  private:
    HWND frame_;
    TwipsRect rect_;
    const int& dpi_;
};

// A scroll bar control. SmallChange and LargeChange are the arrows' and the page's steps; the
// page is also the thumb's share of the bar. The bar starts with the standard settings of a
// scroll bar control: 0 to 32767, steps of 1. Every change of the value, by the user or by a
// new range that no longer holds it, is told through `changed`.
class Win32ScrollBar : public ScrollBar {
  public:
    explicit Win32ScrollBar(HWND bar);

    int value() const override;
    void setValue(int value) override;
    int min() const override { return min_; }
    void setMin(int min) override;
    int max() const override { return max_; }
    void setMax(int max) override;
    int smallChange() const override { return smallChange_; }
    void setSmallChange(int change) override { smallChange_ = change; }
    int largeChange() const override { return largeChange_; }
    void setLargeChange(int change) override;
    bool visible() const override;
    void setVisible(bool visible) override;

    // The user worked the bar (WM_VSCROLL's request code). The list follows the thumb when it
    // is released, not while it is dragged.
    void scrolled(int request);

    std::function<void()> changed;

  private:
    void apply(int value);

    HWND bar_;
    int min_ = 0;
    int max_ = 32767;
    int smallChange_ = 1;
    int largeChange_ = 1;
};

// A menu that is never on a menu bar: it pops up at the pointer and returns once it is
// closed, the chosen item's handler having run by then.
class Win32PopupMenu : public PopupMenu {
  public:
    Win32PopupMenu(HWND owner, const layout::Menu& menu);
    ~Win32PopupMenu() override;
    Win32PopupMenu(const Win32PopupMenu&) = delete;
    Win32PopupMenu& operator=(const Win32PopupMenu&) = delete;

    void popup() override;

    HMENU handle() const { return menu_; }

    // Runs the item that plays `role`.
    std::function<void(layout::Role role)> chosen;

  private:
    HWND owner_;
    HMENU menu_;
    std::vector<layout::Role> items_;
};

}  // namespace vantrel::win32
