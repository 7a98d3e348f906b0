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
        .popupMenu = {"PUMenu_Files",
                      "Menu_Files",
                      false,
                      {{"PUMenu_DeleteFile", "Delete File input"}}},
        .focus = "Drive1",
    };
    form.controls = {
        {"Frame1", Frame, "Form1", {4680, 120, 3615, 975}, "Vantrel ver. 2", true, 17},
        {.name = "Label3",
         .kind = Label,
         .container = "Frame1",
         .rect = {120, 360, 3375, 375},
         .caption = describe,
         .tabIndex = 18,
         .wordWrap = true},
        // Form_Load hides it; the list shows it once its rows outgrow the view.
        {.name = "VScrollFiles",
         .kind = VScrollBar,
         .container = "Form1",
         .rect = {120, 3960, 255, 3135},
         .tabIndex = 16,
         .accessibleName = "Scroll the file list"},
        {"LogBtn", CommandButton, "Form1", {7200, 2880, 1095, 375}, "Log File", false, 15},
        {"ClearBtn", CommandButton, "Form1", {7200, 2400, 1095, 375}, "Clear List", false, 14},
        {"ReplicateBtn", CommandButton, "Form1", {7200, 1920, 1095, 375}, "Replicate ", false, 13},
        {"OpenWEBtn", CommandButton, "Form1", {7200, 1440, 1095, 375}, "File Search", false, 12},
        {"DropArea",
         Frame,
         "Form1",
         {4680, 1200, 2415, 2775},
         "Drop files to copy here:",
         true,
         10},
        {.name = "Picture1",
         .kind = PictureBox,
         .container = "DropArea",
         .rect = {120, 360, 2175, 2295},
         .tabIndex = 11,
         .accessibleName = "Drop files to copy here:"},
        {"FrameFix", Frame, "Form1", {360, 4080, 8055, 2775}, listHeader, true, 5},
        {.name = "FrameSlide",
         .kind = Frame,
         .container = "FrameFix",
         .rect = {120, 360, 7815, 1455},
         .tabIndex = 6,
         .accessibleName = "Files to copy"},
        // A row's boxes are read with the entry's number after these names.
        {.name = "Text1",
         .kind = TextBox,
         .container = "FrameSlide",
         .rect = {120, 120, 6735, 375},
         .tabIndex = 8,
         .visible = false,
         .accessibleName = "File"},
        {.name = "CopyTimes",
         .kind = TextBox,
         .container = "FrameSlide",
         .rect = {6840, 120, 855, 375},
         .tabIndex = 7,
         .visible = false,
         .accessibleName = "Copies of file"},
        {"CopyDestFrame", Frame, "Form1", {120, 120, 4455, 3855}, "Copy Destination ", true, 0},
        {.name = "SaveTo",
         .kind = TextBox,
         .container = "CopyDestFrame",
         .rect = {120, 3360, 4215, 315},
         .tabIndex = 4,
         .accessibleName = "Save To:"},
        {.name = "Dir1",
         .kind = DirListBox,
         .container = "CopyDestFrame",
         .rect = {120, 720, 4215, 2340},
         .tabIndex = 2,
         .accessibleName = "Folders"},
        {.name = "Drive1",
         .kind = DriveList,
         .container = "CopyDestFrame",
         .rect = {120, 360, 4215, 315},
         .tabIndex = 1,
         .accessibleName = "Drives"},
        {"Label2", Label, "CopyDestFrame", {120, 3120, 855, 255}, "Save To:", true, 3},
        {.name = "ShapeProgress",
         .kind = Shape,
         .container = "Form1",
         .rect = {360, 6840, 675, 255},
         .fill = kBarFill,
         .outlinePixels = 2,
         .accessibleName = "Progress"},
        {.name = "LabelProgress",
         .kind = Label,
         .container = "Form1",
         .rect = {2280, 6840, 3735, 255},
         .tabIndex = 9,
         .textColour = kNavy,
         .align = Align::Center,
         .accessibleName = "Progress caption"},
        {.name = "ShapeProgressBack",
         .kind = Shape,
         .container = "Form1",
         .rect = {360, 6840, 8055, 255},
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
