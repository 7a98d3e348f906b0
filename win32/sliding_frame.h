#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/controls.h"
#include "platform/twips.h"
#include "win32/own_window.h"

namespace vantrel::win32 {

class AccessibleNames;

// The sliding frame of the file list (FrameSlide): a bordered frame inside the fixed list frame
// that holds the path boxes (Text1) and count boxes (CopyTimes). Rows are kept as plain data;
// edit controls exist only for the rows inside the part of the frame its container shows, and
// are reused as the list scrolls, so that a list of tens of thousands of rows stays fast. The
// frame's own window covers only that part too; top and height are the whole frame's.
class SlidingFrame : public OwnWindow, public vantrel::Frame {
  public:
    // `frame` places the frame in its parent; `pathTemplate` and `countTemplate` are the
    // template boxes (element 0) of the two arrays, hidden from the start. `dpi` is the
    // window's, held by reference as it changes with the monitor.
    SlidingFrame(HWND parent, const TwipsRect& frame, const TwipsRect& pathTemplate,
                 const TwipsRect& countTemplate, const int& dpi, HFONT font);
    ~SlidingFrame() override;

    TextBoxArray& Text1();
    TextBoxArray& CopyTimes();

    double top() const override;
    void setTop(double top) override;
    double height() const override;
    void setHeight(double height) override;

    // A mouse button went down on path box `index` (1 left, 2 right, 4 middle).
    std::function<void(int index, int button)> onPathMouseDown;
    // A character typed into count box `index`, before the box takes it; setting the code
    // to 0 makes the box ignore it.
    std::function<void(int index, std::int16_t& keyAscii)> onCountKeyPress;

    // The edit control showing path or count box `index`, or nullptr while that row is out of
    // view or hidden. Brings the controls up to date with the rows first.
    HWND pathEditor(int index);
    HWND countEditor(int index);

    // The edit controls of the rows in view, by row, each row's path box before its count box.
    std::vector<HWND> editorsInView();

    // Screen readers read the rows by these names and their numbers ("File 3"), each edit
    // control named again as it is lent to another row.
    void nameRows(AccessibleNames& names, const std::string& path, const std::string& count);

    // What the container shows of the frame changed without the frame moving.
    void containerChanged();

    // The window's DPI changed: the frame and its rows are placed again and drawn with `font`.
    void rescaled(HFONT font);

  protected:
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace vantrel::win32
