#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The window's controls as the program's logic sees them. Positions and sizes are twips.
namespace vantrel {

class TextBox {
  public:
    virtual ~TextBox() = default;
    virtual std::string text() const = 0;
    virtual void setText(const std::string& text) = 0;
    virtual double top() const = 0;
    virtual void setTop(double top) = 0;
    virtual double height() const = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
};

// A control array: element 0 is the template; load makes a hidden copy of it at a free index,
// unload removes a loaded element other than 0. Missing elements are failures, not no-ops.
class TextBoxArray {
  public:
    virtual ~TextBoxArray() = default;
    // Number of loaded elements, element 0 included.
    virtual int count() const = 0;
    // Highest loaded index.
    virtual int ubound() const = 0;
    virtual TextBox& item(int index) = 0;
    virtual void load(int index) = 0;
    virtual void unload(int index) = 0;
};

class Label {
  public:
    virtual ~Label() = default;
    virtual std::string caption() const = 0;
    virtual void setCaption(const std::string& caption) = 0;
};

class Shape {
  public:
    virtual ~Shape() = default;
    virtual double width() const = 0;
    virtual void setWidth(double width) = 0;
};

class Frame {
  public:
    virtual ~Frame() = default;
    virtual double top() const = 0;
    virtual void setTop(double top) = 0;
    virtual double height() const = 0;
    virtual void setHeight(double height) = 0;
};

class ScrollBar {
  public:
    virtual ~ScrollBar() = default;
    virtual int value() const = 0;
    // Kept within min .. max; a change of the value raises the bar's change notification.
    virtual void setValue(int value) = 0;
    virtual int min() const = 0;
    virtual void setMin(int min) = 0;
    virtual int max() const = 0;
    virtual void setMax(int max) = 0;
    virtual int smallChange() const = 0;
    virtual void setSmallChange(int change) = 0;
    virtual int largeChange() const = 0;
    virtual void setLargeChange(int change) = 0;
    virtual bool visible() const = 0;
    virtual void setVisible(bool visible) = 0;
};

}  // namespace vantrel

namespace vantrel {

// A control that tells the window when its value changes, whether the user or the program
// changed it. The window registers one handler.
class Notifier {
  public:
    void onChange(std::function<void()> handler) { handler_ = std::move(handler); }

  protected:
    ~Notifier() = default;
    void notifyChange() {
        if (handler_) {
            handler_();
        }
    }

  private:
    std::function<void()> handler_;
};

// The drive list (Drive1). The user choosing another drive raises the change notification;
// the drive text is what the directory list accepts as its path.
class DriveList : public Notifier {
  public:
    virtual ~DriveList() = default;
    virtual std::string drive() const = 0;
    // Goes back to the drive chosen before the last change, without a notification.
    virtual void restorePrevious() = 0;
};

// The directory list (Dir1): its current folder, as a full path. Every change of the current
// folder, by the user opening one or by setPath, raises the change notification.
class DirectoryList : public Notifier {
  public:
    virtual ~DirectoryList() = default;
    virtual std::string path() const = 0;
    // Opens the folder; one that cannot be opened raises a Failure and changes nothing.
    virtual void setPath(const std::string& path) = 0;
};

enum class DropMode : int { None = 0, Manual = 1 };

// A control that files can be dropped on; it takes drops only in manual mode.
class DropTarget {
  public:
    virtual ~DropTarget() = default;
    virtual DropMode dropMode() const = 0;
    virtual void setDropMode(DropMode mode) = 0;
};

// A popup menu shown modally at the pointer; choosing an item runs that item's handler.
class PopupMenu {
  public:
    virtual ~PopupMenu() = default;
    virtual void popup() = 0;
};

// The file list of a drop.
class DroppedFiles {
  public:
    virtual ~DroppedFiles() = default;
    // Raises a Failure when the data carries no file list.
    virtual long long count() const = 0;
    // File k, for k = 1 .. count(), as a full path.
    virtual std::string file(long long k) const = 0;
};

// The system's clipboard, as far as it holds files: a paste hands them on as a drop of the same
// files would.
class SystemClipboard {
  public:
    virtual ~SystemClipboard() = default;
    // What the clipboard holds now; its count() raises a Failure when that is no file list.
    virtual std::unique_ptr<DroppedFiles> files() const = 0;
};

// The system's dialog that opens several files at once.
class OpenFileDialog {
  public:
    virtual ~OpenFileDialog() = default;
    // Shows the dialog modally, in the folder where the last one closed; returns the files
    // chosen, full paths in the dialog's order, or none when it was cancelled.
    virtual std::vector<std::string> showOpen(const std::string& title) = 0;
};

}  // namespace vantrel
