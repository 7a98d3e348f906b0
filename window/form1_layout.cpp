#include "window/form1_layout.h"

#include <algorithm>

#include "platform/failure.h"

namespace vantrel::layout {

namespace {

constexpr Rgb kBarBack{224, 224, 224};
constexpr Rgb kBarFill{128, 128, 255};
constexpr Rgb kNavy{0, 0, 64};

Form makeForm1() {
    // One blank, "Filename", 97 blanks, "No. of Copies": the header of the list's columns.
    const std::string listHeader = " Filename" + std::string(97, ' ') + "No. of Copies";
    const std::string describe =
        "Copies and replicates multiple files of different file types to a certain folder/drive.";
    using enum Kind;
    Form form{
        .name = "Form1",
        .caption = "Vantrel ver. 2",
        .width = 8490,
        .height = 7260,
        .fontFace = "MS Sans Serif",
        .fontPoints = 8.25,
        .controls = {},
        .popupMenu = {.name = "PUMenu_Files",
                      .caption = "Menu_Files",
                      .visible = false,
                      .items = {{.name = "PUMenu_DeleteFile",
                                 .caption = "Delete File input",
                                 .role = Role::DeleteFile}}},
        .focus = "Drive1",
    };
    form.controls = {
        {.name = "Frame1",
         .kind = Frame,
         .container = "Form1",
         .rect = {.left = 4680, .top = 120, .width = 3615, .height = 975},
         .caption = "Vantrel ver. 2",
         .bold = true,
         .tabIndex = 17},
        {.name = "Label3",
         .kind = Label,
         .container = "Frame1",
         .rect = {.left = 120, .top = 360, .width = 3375, .height = 375},
         .caption = describe,
         .tabIndex = 18,
         .wordWrap = true},
        // Form_Load hides it; the list shows it once its rows outgrow the view.
        {.name = "VScrollFiles",
         .kind = VScrollBar,
         .role = Role::ListScrollBar,
         .container = "Form1",
         .rect = {.left = 120, .top = 3960, .width = 255, .height = 3135},
         .tabIndex = 16,
         .accessibleName = "Scroll the file list"},
        {.name = "LogBtn",
         .kind = CommandButton,
         .role = Role::OpenLog,
         .container = "Form1",
         .rect = {.left = 7200, .top = 2880, .width = 1095, .height = 375},
         .caption = "Log File",
         .tabIndex = 15},
        {.name = "ClearBtn",
         .kind = CommandButton,
         .role = Role::ClearList,
         .container = "Form1",
         .rect = {.left = 7200, .top = 2400, .width = 1095, .height = 375},
         .caption = "Clear List",
         .tabIndex = 14},
        {.name = "ReplicateBtn",
         .kind = CommandButton,
         .role = Role::Replicate,
         .container = "Form1",
         .rect = {.left = 7200, .top = 1920, .width = 1095, .height = 375},
         .caption = "Replicate ",
         .tabIndex = 13},
        {.name = "OpenWEBtn",
         .kind = CommandButton,
         .role = Role::FileSearch,
         .container = "Form1",
         .rect = {.left = 7200, .top = 1440, .width = 1095, .height = 375},
         .caption = "File Search",
         .tabIndex = 12},
        {.name = "DropArea",
         .kind = Frame,
         .container = "Form1",
         .rect = {.left = 4680, .top = 1200, .width = 2415, .height = 2775},
         .caption = "Drop files to copy here:",
         .bold = true,
         .tabIndex = 10},
        {.name = "Picture1",
         .kind = PictureBox,
         .container = "DropArea",
         .rect = {.left = 120, .top = 360, .width = 2175, .height = 2295},
         .tabIndex = 11,
         .accessibleName = "Drop files to copy here:",
         .accessibleDescription = "Press Enter to choose files, or Ctrl+V to paste files copied "
                                  "in the file manager"},
        {.name = "FrameFix",
         .kind = Frame,
         .role = Role::ListFrame,
         .container = "Form1",
         .rect = {.left = 360, .top = 4080, .width = 8055, .height = 2775},
         .caption = listHeader,
         .bold = true,
         .tabIndex = 5},
        {.name = "FrameSlide",
         .kind = Frame,
         .role = Role::SlidingFrame,
         .container = "FrameFix",
         .rect = {.left = 120, .top = 360, .width = 7815, .height = 1455},
         .tabIndex = 6,
         .accessibleName = "Files to copy"},
        // A row's boxes are read with the entry's number after these names.
        {.name = "Text1",
         .kind = TextBox,
         .role = Role::PathTemplate,
         .container = "FrameSlide",
         .rect = {.left = 120, .top = 120, .width = 6735, .height = 375},
         .tabIndex = 8,
         .visible = false,
         .accessibleName = "File"},
        {.name = "CopyTimes",
         .kind = TextBox,
         .role = Role::CountTemplate,
         .container = "FrameSlide",
         .rect = {.left = 6840, .top = 120, .width = 855, .height = 375},
         .tabIndex = 7,
         .visible = false,
         .accessibleName = "Copies of file"},
        {.name = "CopyDestFrame",
         .kind = Frame,
         .container = "Form1",
         .rect = {.left = 120, .top = 120, .width = 4455, .height = 3855},
         .caption = "Copy Destination ",
         .bold = true,
         .tabIndex = 0},
        {.name = "SaveTo",
         .kind = TextBox,
         .role = Role::Destination,
         .container = "CopyDestFrame",
         .rect = {.left = 120, .top = 3360, .width = 4215, .height = 315},
         .tabIndex = 4,
         .accessibleName = "Save To:"},
        {.name = "Dir1",
         .kind = DirListBox,
         .container = "CopyDestFrame",
         .rect = {.left = 120, .top = 720, .width = 4215, .height = 2340},
         .tabIndex = 2,
         .accessibleName = "Folders"},
        {.name = "Drive1",
         .kind = DriveList,
         .container = "CopyDestFrame",
         .rect = {.left = 120, .top = 360, .width = 4215, .height = 315},
         .tabIndex = 1,
         .accessibleName = "Drives"},
        {.name = "Label2",
         .kind = Label,
         .container = "CopyDestFrame",
         .rect = {.left = 120, .top = 3120, .width = 855, .height = 255},
         .caption = "Save To:",
         .bold = true,
         .tabIndex = 3},
        {.name = "ShapeProgress",
         .kind = Shape,
         .role = Role::ProgressFill,
         .container = "Form1",
         .rect = {.left = 360, .top = 6840, .width = 675, .height = 255},
         .fill = kBarFill,
         .outlinePixels = 2,
         .accessibleName = "Progress"},
        {.name = "LabelProgress",
         .kind = Label,
         .role = Role::ProgressCaption,
         .container = "Form1",
         .rect = {.left = 2280, .top = 6840, .width = 3735, .height = 255},
         .tabIndex = 9,
         .textColour = kNavy,
         .align = Align::Center,
         .accessibleName = "Progress caption"},
        {.name = "ShapeProgressBack",
         .kind = Shape,
         .role = Role::ProgressBack,
         .container = "Form1",
         .rect = {.left = 360, .top = 6840, .width = 8055, .height = 255},
         .fill = kBarBack,
         .outlinePixels = 1,
         .accessibleName = "Progress bar"},
    };
    return form;
}

}  // namespace

const Form& form1() {
    static const Form form = makeForm1();
    return form;
}

const Control& control(Role role) {
    const auto& controls = form1().controls;
    const auto found = std::ranges::find(controls, role, &Control::role);
    if (role == Role::None || found == controls.end()) {
        throw Failure(kElementDoesNotExist, "The window has no control of that role");
    }
    return *found;
}

const Control& control(std::string_view name) {
    const auto& controls = form1().controls;
    const auto found = std::ranges::find(controls, name, &Control::name);
    if (found == controls.end()) {
        throw Failure(kElementDoesNotExist, "The window has no control " + std::string(name));
    }
    return *found;
}

std::string accessibleName(const Control& control) {
    if (!control.accessibleName.empty()) {
        return control.accessibleName;
    }
    std::string name;
    for (const char ch : control.caption) {
        if (ch != ' ') {
            name += ch;
        } else if (!name.empty() && name.back() != ' ') {
            name += ' ';
        }
    }
    if (!name.empty() && name.back() == ' ') {
        name.pop_back();
    }
    return name;
}

int stacking(const Control& control) {
    const auto& controls = form1().controls;
    return static_cast<int>(std::ranges::count_if(controls, [&](const Control& other) {
        return other.container == control.container && &other < &control;
    }));
}

bool takesFocus(Kind kind) {
    return kind != Kind::Frame && kind != Kind::Label && kind != Kind::Shape;
}

bool greyedDuringRun(const Control& control) {
    switch (control.role) {
        case Role::PathTemplate:
        case Role::CountTemplate:
        case Role::ListScrollBar:
            return false;
        default:
            return takesFocus(control.kind);
    }
}

std::vector<const Control*> tabOrder() {
    std::vector<const Control*> order;
    for (const Control& control : form1().controls) {
        if (control.tabIndex && control.visible && takesFocus(control.kind)) {
            order.push_back(&control);
        }
    }
    std::ranges::sort(order, {}, [](const Control* control) { return *control->tabIndex; });
    return order;
}

}  // namespace vantrel::layout
