#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/twips.h"

namespace vantrel {

// Whole pixels, half-open: from left and top up to, not including, right and bottom. Each
// front end converts its own rectangles to this once.
struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;

    bool operator==(const PixelRect&) const = default;
};

enum class RowColumn { Path, Count };

class StoredRow;
class StoredRowArray;

// A toolkit's edit box, lent to one row of its column at a time while that row is in view.
class RowEditor {
  public:
    RowEditor() = default;
    RowEditor(const RowEditor&) = delete;
    RowEditor& operator=(const RowEditor&) = delete;
    virtual ~RowEditor() = default;

    // The row this editor shows, or nullptr while it is free. A handler that opens a modal box
    // may remove the row, or lend the editor to another: compare before and after.
    const TextBox* row() const;
    // The index of that row, 0 while the editor is free.
    int index() const;

  protected:
    // The user changed the text: the row keeps it. Changes that come from showing a row's text
    // are not the user's and are ignored.
    void edited(const std::string& text);

  private:
    friend class StoredRowArray;
    friend class StoredRow;

    // Shows the text from its start.
    virtual void showText(const std::string& text) = 0;
    // Moves the editor to `box`, in pixels of the frame's window.
    virtual void place(const PixelRect& box) = 0;
    virtual void setShown(bool shown) = 0;
    virtual bool focused() const = 0;
    // Names the editor after the row it now shows: its control ("Text1(3)") and what a screen
    // reader calls it ("File 3", or empty while the list has no such names).
    virtual void name(const std::string& control, const std::string& accessible) = 0;

    void display(const std::string& text);

    StoredRow* row_ = nullptr;
    bool showing_ = false;
};

// What the rows need from the front end that shows them.
class RowEditors {
  public:
    // A new editor of the column, hidden, in the frame's window.
    virtual std::unique_ptr<RowEditor> make(RowColumn column) = 0;
    // A shown row moved or appeared: the front end calls RowStore::rebind once its thread turns
    // to its events again, so that many changes in one handler rebind once.
    virtual void rowsChanged() = 0;

  protected:
    ~RowEditors() = default;
};

// The rows of the file list as plain data: the control arrays Text1 and CopyTimes, element 0 the
// template, at most 32,767 rows. Real editors exist only for the rows in view and are lent anew
// as the view moves, so that a list of tens of thousands of rows stays fast.
class RowStore {
  public:
    // Twips to whole pixels of the screen the frame is on.
    using ToPixels = std::function<int(double twips)>;

    // `pathTemplate` and `countTemplate` are the template boxes, hidden from the start.
    RowStore(RowEditors& editors, const TwipsRect& pathTemplate, const TwipsRect& countTemplate);
    RowStore(const RowStore&) = delete;
    RowStore& operator=(const RowStore&) = delete;
    ~RowStore();

    TextBoxArray& Text1();
    TextBoxArray& CopyTimes();

    // What a screen reader calls the boxes of a row: these names and the row's index.
    void setAccessibleRowNames(const std::string& path, const std::string& count);

    // Lends an editor to every shown row that meets `view` and takes it from every other row;
    // the focused editor stays with its row. `view` is in pixels of the whole frame; the frame's
    // window starts `cut` pixels below the whole frame's top.
    void rebind(const PixelRect& view, const ToPixels& pixels, int cut = 0);

    // The editor showing box `index` of the column, or nullptr while that row is out of view,
    // hidden or not loaded. As last rebound.
    RowEditor* editor(RowColumn column, int index);

    // The editors of the rows in view, by row, each row's path box before its count box.
    std::vector<RowEditor*> editorsInView();

  private:
    std::unique_ptr<StoredRowArray> paths_;
    std::unique_ptr<StoredRowArray> counts_;
};

}  // namespace vantrel
