#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/control_array.h"
#include "platform/controls.h"

// In-memory controls that remember their properties, for tests and benchmarks.
namespace vantrel::test {

class FakeTextBox : public TextBox {
  public:
    std::string text() const override { return text_; }
    void setText(const std::string& text) override { text_ = text; }
    double top() const override { return top_; }
    void setTop(double top) override { top_ = top; }
    double height() const override { return height_; }
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }

    double left = 0;
    double width = 0;
    double height_ = 375;
    double top_ = 0;
    std::string text_;
    bool visible_ = false;
};

class FakeTextBoxArray : public ControlArray<FakeTextBox> {
  public:
    FakeTextBoxArray(double left, double width, double height);

  protected:
    std::unique_ptr<FakeTextBox> copyOfTemplate(const FakeTextBox& templateBox, int index) override;
};

class FakeLabel : public Label {
  public:
    std::string caption() const override { return caption_; }
    void setCaption(const std::string& caption) override {
        caption_ = caption;
        history.push_back(caption);
    }
    std::string caption_;
    std::vector<std::string> history;
};

class FakeShape : public Shape {
  public:
    explicit FakeShape(double width = 0) : width_(width) {}
    double width() const override { return width_; }
    void setWidth(double width) override {
        width_ = width;
        history.push_back(width);
    }
    double width_;
    std::vector<double> history;
};

class FakeFrame : public Frame {
  public:
    FakeFrame(double top, double height) : top_(top), height_(height) {}
    double top() const override { return top_; }
    void setTop(double top) override { top_ = top; }
    double height() const override { return height_; }
    void setHeight(double height) override { height_ = height; }
    double top_;
    double height_;
};

// Starts with the platform's standard settings of a scroll bar.
class FakeScrollBar : public ScrollBar {
  public:
    int value() const override { return value_; }
    void setValue(int value) override {
        const int before = value_;
        value_ = std::clamp(value, min_, max_);
        if (value_ != before && changed) {
            changed();
        }
    }
    int min() const override { return min_; }
    void setMin(int min) override { min_ = min; }
    int max() const override { return max_; }
    void setMax(int max) override { max_ = max; }
    int smallChange() const override { return smallChange_; }
    void setSmallChange(int change) override { smallChange_ = change; }
    int largeChange() const override { return largeChange_; }
    void setLargeChange(int change) override { largeChange_ = change; }
    bool visible() const override { return visible_; }
    void setVisible(bool visible) override { visible_ = visible; }

    int value_ = 0;
    int min_ = 0;
    int max_ = 32767;
    int smallChange_ = 1;
    int largeChange_ = 1;
    bool visible_ = true;
    // The window's change handler, as the platform raises it.
    std::function<void()> changed;
};

// Drives by their text; choose() is the user picking one.
class FakeDriveList : public DriveList {
  public:
    std::string drive() const override { return drive_; }
    void restorePrevious() override { drive_ = previous_; }
    void choose(const std::string& drive) {
        previous_ = drive_;
        drive_ = drive;
        notifyChange();
    }
    std::string drive_;
    std::string previous_;
};

// Every folder can be opened but those listed in `unreadable`, which fail with their number.
class FakeDirectoryList : public DirectoryList {
  public:
    std::string path() const override { return path_; }
    void setPath(const std::string& path) override;
    std::string path_;
    std::map<std::string, int> unreadable;
};

class FakeDropTarget : public DropTarget {
  public:
    DropMode dropMode() const override { return mode_; }
    void setDropMode(DropMode mode) override { mode_ = mode; }
    DropMode mode_ = DropMode::None;
};

// Counts its pop-ups; `choose` is what the user does while it is open.
class FakePopupMenu : public PopupMenu {
  public:
    void popup() override {
        ++shown;
        if (choose) {
            choose();
        }
    }
    int shown = 0;
    std::function<void()> choose;
};

// Holds a file list, or with none (text, an image) a clipboard whose count() fails.
class FakeClipboard : public SystemClipboard {
  public:
    std::unique_ptr<DroppedFiles> files() const override;
    std::optional<std::vector<std::string>> files_;
};

// Records each title it was shown with and answers `chosen_` (none: cancelled).
class FakeFileDialog : public OpenFileDialog {
  public:
    std::vector<std::string> showOpen(const std::string& title) override {
        titles.push_back(title);
        return chosen_;
    }
    std::vector<std::string> chosen_;
    std::vector<std::string> titles;
};

}  // namespace vantrel::test
