#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string_view>

#include "platform/services.h"
#include "win32/own_window.h"
#include "window/form1.h"
#include "window/form1_layout.h"

namespace vantrel::win32 {

// Form1 as a native window, built from the window's layout data. The layout is fixed: resizing
// the window moves nothing. Every event goes to its handler in the window's logic (a click by
// the role of the control clicked), and whatever else the window does on the user's request
// goes through the logic's guard.
class Form1Window : public OwnWindow {
  public:
    // Builds the window, hidden. OLE must be initialised on the thread for drags to reach the
    // drop area.
    explicit Form1Window(Services& services);
    ~Form1Window() override;

    // Loads the window (Form_Load) and shows it with the keyboard focus where it starts.
    void open(int showCommand = SW_SHOWNORMAL);

    Form1& logic() { return *logic_; }
    const Form1Controls& controls() const;

    // The window of the layout's control of that name, or nullptr for a name that has none
    // (the template rows of the file list are rows, not windows).
    HWND child(std::string_view layoutName) const;
    // The window of the control that plays `role`, or nullptr where none does.
    HWND child(layout::Role role) const;
    // The edit control of path or count box `index` while its row is in view, else nullptr.
    HWND pathEditor(int index);
    HWND countEditor(int index);
    // The popup menu of the path boxes.
    HMENU popupMenu() const;

    // The part of the client area that shows the progress caption and bar.
    RECT progressArea() const;

    // The message loop hands each message here before translating it: Tab and Shift+Tab move
    // the focus through the tab order, Enter clicks the button that has the focus. During a run
    // keys and clicks in the window are refused but for the list's scroll bar, and Escape asks
    // whether to stop. True when the message has been used up.
    bool translate(const MSG& message);

    // Called as the window is destroyed.
    std::function<void()> destroyed;

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    bool refusedDuringRun(const MSG& message);
    // Greys the controls a run refuses, once it has lasted longer than a blink; ungreys them
    // at its end, after the input still waiting has been refused.
    void showRunning(bool running);
    void enableRefusing(bool enable);
    void moveFocus(int step);
    HWND focusToRestore() const;
    // Gives the focus back on activation; true when the message has been answered.
    bool activated(WPARAM wParam);

    struct Parts;
    std::unique_ptr<Parts> parts_;
    std::unique_ptr<Form1> logic_;
    HWND lastFocus_ = nullptr;
    HWND focusBeforeRun_ = nullptr;
    bool greyed_ = false;
};

}  // namespace vantrel::win32
