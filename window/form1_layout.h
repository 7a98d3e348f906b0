#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/twips.h"

// The window Form1 as data: every control with its place, caption, font, colours, stacking and
// tab order, and the popup menu. Each toolkit's front end builds its widgets from this, so the
// two windows cannot drift apart.
namespace vantrel::layout {

enum class Kind {
    Frame,
    Label,
    TextBox,
    CommandButton,
    PictureBox,
    Shape,
    VScrollBar,
    DriveList,
    DirListBox,
};

// What the window makes of a control beyond what its kind gives; most controls have none.
enum class Role {
    None,
    // The list's frame, the frame inside it that slides to scroll the rows, and the bar that
    // slides it.
    ListFrame,
    SlidingFrame,
    ListScrollBar,
    // The hidden boxes a row of the list is made after: its path and its count of copies.
    PathTemplate,
    CountTemplate,
    // The box that names the destination folder.
    Destination,
    // The progress bar: the fill that grows, the caption over it, the back the fill grows over.
    ProgressFill,
    ProgressCaption,
    ProgressBack,
    // The buttons and the popup menu's item, each with a handler of its own.
    FileSearch,
    Replicate,
    ClearList,
    OpenLog,
    DeleteFile,
};

struct Rgb {
    int red;
    int green;
    int blue;

    bool operator==(const Rgb&) const = default;
};

enum class Align { Left, Center };

struct Control {
    std::string name;
    Kind kind;
    Role role = Role::None;
    // The name of the control it sits in; "Form1" for the window itself.
    std::string container;
    // Left and top from the container's outer top-left corner.
    TwipsRect rect;
    std::string caption = {};
    bool bold = false;
    // The tab index, or nullopt for a control that has none (the shapes).
    std::optional<int> tabIndex = std::nullopt;
    // Whether the control is shown when the window is created.
    bool visible = true;
    // Only where a control differs from its kind's standard colours.
    std::optional<Rgb> fill = std::nullopt;
    std::optional<Rgb> textColour = std::nullopt;
    // The width of a shape's black outline, in pixels.
    int outlinePixels = 0;
    Align align = Align::Left;
    bool wordWrap = false;
    // What a screen reader calls the control where its caption does not say it; empty: the
    // caption without its padding blanks.
    std::string accessibleName = {};
    // What a screen reader reads after the name, where the control does more than it shows.
    std::string accessibleDescription = {};
};

struct MenuItem {
    std::string name;
    std::string caption;
    Role role;
};

// A menu of the window that is never on a menu bar: it only pops up.
struct Menu {
    std::string name;
    std::string caption;
    bool visible;
    std::vector<MenuItem> items;
};

struct Form {
    std::string name;
    std::string caption;
    // The client area, in twips.
    double width;
    double height;
    std::string fontFace;
    double fontPoints;
    // Listed in the order the window keeps its children, which among the children of one
    // container is also their stacking order, the first in front.
    std::vector<Control> controls;
    Menu popupMenu;
    // The control that has the keyboard focus when the window opens.
    std::string focus;
};

const Form& form1();

// The control of that name; raises a Failure when there is none.
const Control& control(std::string_view name);

// The control that has the role; raises a Failure for Role::None.
const Control& control(Role role);

// The control's place among the children of its container, front to back: 0 is in front.
int stacking(const Control& control);

// The name a screen reader reads for the control.
std::string accessibleName(const Control& control);

// Frames, labels and shapes never take the keyboard focus.
bool takesFocus(Kind kind);

// Whether a replication run greys the control while it lasts: every control that takes input
// but the list's rows and its scroll bar, which stay as they are to be read and scrolled.
bool greyedDuringRun(const Control& control);

// The controls Tab moves the focus through, by tab index: those that take the focus and are
// shown (the hidden template boxes are skipped).
std::vector<const Control*> tabOrder();

}  // namespace vantrel::layout
