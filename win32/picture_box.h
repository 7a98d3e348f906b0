#pragma once

#include <windows.h>

#include <ole2.h>
#include <olectl.h>
#include <wrl/client.h>

#include <cstdint>
#include <deque>
#include <functional>

#include "platform/controls.h"
#include "win32/dropped_files.h"
#include "win32/own_window.h"

namespace vantrel::win32 {

// Whether the program runs at a higher integrity level than the shell (Explorer), as it does
// when run as administrator under User Account Control: then the system keeps the shell's drags
// from its windows unless they are let through.
bool runsAboveTheShell();

// A picture box with a sunken border and the drop area of the window. Its picture is drawn from
// the inner top-left corner at its natural size in pixels at 96 dpi, scaled with the window's
// DPI above, and clipped at the inner edges. In manual drop mode it takes whatever is dragged over
// it, through OLE and as WM_DROPFILES, and hands the dropped file list on, to be judged there; in
// mode None it refuses every drop. The list is read while the drop lasts and handed on after it has
// returned: a message box that the drop raises must not hold the drag's source (Explorer) until it
// is answered. It takes the keyboard focus, shows it with the system's focus rectangle where the
// window shows focus cues, and hands on its characters and its double-clicks.
class PictureBox : public OwnWindow, public DropTarget {
  public:
    // Shows the JPEG that the program carries as RCDATA resource `pictureId`. OLE must be
    // initialised on the thread for drags to reach the box; WM_DROPFILES reaches it regardless.
    // `dpi` is the window's, held by reference as it changes with the monitor. An `elevated`
    // box takes drops as WM_DROPFILES alone (openToDropsFromBelow).
    PictureBox(HWND parent, const RECT& place, int id, int pictureId, const int& dpi,
               bool elevated = runsAboveTheShell());
    ~PictureBox() override;

    DropMode dropMode() const override { return mode_; }
    void setDropMode(DropMode mode) override;

    // The picture's size in pixels as drawn at the window's DPI; empty when the program carries
    // none.
    SIZE pictureSize() const;

    // Called with the file list of every drop taken, once the drop has returned.
    std::function<void(const DroppedFiles& files)> onDrop;
    std::function<void(std::int16_t& KeyAscii)> onKeyPress;
    std::function<void()> onDblClick;

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    class Target;

    void paint(HDC dc);
    // Keeps the list of a drop taken, to hand on from the message loop.
    void take(HdropFiles files);
    void handOn();

    Microsoft::WRL::ComPtr<IPicture> picture_;
    Microsoft::WRL::ComPtr<Target> target_;
    const int& dpi_;
    std::deque<HdropFiles> taken_;
    bool registered_ = false;
    DropMode mode_ = DropMode::None;
};

using MessageFilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);

// Lets a drag from a program of lower integrity (Explorer, when this program runs elevated)
// reach `window` as WM_DROPFILES, which the system otherwise filters out. An OLE drag cannot
// cross the integrity levels at all, so such a window must not be registered for one: the
// source then falls back to WM_DROPFILES.
void openToDropsFromBelow(HWND window,
                          MessageFilterFunction filter = ::ChangeWindowMessageFilterEx);

}  // namespace vantrel::win32
