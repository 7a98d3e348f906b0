#include "window/form1_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/expected.h"

namespace vantrel {
namespace {

TEST(Form1Layout, TheWindowIsAsDrawn) {
    const layout::Form& form = layout::form1();
    EXPECT_EQ(form.name, "Form1");
    EXPECT_EQ(form.caption, expected::kTitle);
    EXPECT_EQ(form.width, expected::kFormWidth);
    EXPECT_EQ(form.height, expected::kFormHeight);
    EXPECT_EQ(form.fontFace, "MS Sans Serif");
    EXPECT_EQ(form.fontPoints, 8.25);
    EXPECT_EQ(form.focus, "Drive1");
}

// Every control, in the order the window keeps its children, with its place and settings.
TEST(Form1Layout, EveryControlIsWhereTheLayoutTablePutsIt) {
    const auto& controls = layout::form1().controls;
    ASSERT_EQ(controls.size(), expected::controls().size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const layout::Control& actual = controls[i];
        const expected::Control& wanted = expected::controls()[i];
        SCOPED_TRACE(wanted.name);
        EXPECT_EQ(actual.name, wanted.name);
        EXPECT_EQ(actual.container, wanted.container);
        EXPECT_EQ(actual.rect, (TwipsRect{wanted.rect.left, wanted.rect.top, wanted.rect.width,
                                          wanted.rect.height}));
        EXPECT_EQ(actual.caption, wanted.caption);
        EXPECT_EQ(actual.bold, wanted.bold);
        EXPECT_EQ(actual.tabIndex.value_or(-1), wanted.tab);
        EXPECT_EQ(actual.visible, wanted.shown);
    }
}

TEST(Form1Layout, TheProgressBarIsAFillOverACaptionOverAGreyBack) {
    const layout::Control& fill = layout::control("ShapeProgress");
    const layout::Control& caption = layout::control("LabelProgress");
    const layout::Control& back = layout::control("ShapeProgressBack");
    EXPECT_EQ(fill.fill, (layout::Rgb{128, 128, 255}));
    EXPECT_EQ(fill.outlinePixels, 2);
    EXPECT_EQ(back.fill, (layout::Rgb{224, 224, 224}));
    EXPECT_EQ(back.outlinePixels, 1);
    EXPECT_EQ(caption.textColour, (layout::Rgb{0, 0, 64}));
    EXPECT_EQ(caption.align, layout::Align::Center);
    EXPECT_LT(layout::stacking(fill), layout::stacking(caption));
    EXPECT_LT(layout::stacking(caption), layout::stacking(back));
    EXPECT_TRUE(layout::control("Label3").wordWrap);
    EXPECT_THROW(layout::control("Command1"), std::exception);
}

TEST(Form1Layout, StackingCountsWithinEachContainerFrontToBack) {
    const std::vector<std::pair<std::string, int>> cases{
        {"Frame1", 0}, {"ShapeProgressBack", 11}, {"Label3", 0},   {"SaveTo", 0},
        {"Label2", 3}, {"FrameSlide", 0},         {"CopyTimes", 1}};
    for (const auto& [name, position] : cases) {
        EXPECT_EQ(layout::stacking(layout::control(name)), position) << name;
    }
}

TEST(Form1Layout, TabSkipsFramesLabelsShapesAndTheHiddenTemplates) {
    std::vector<std::string> order;
    for (const layout::Control* control : layout::tabOrder()) {
        order.push_back(control->name);
    }
    EXPECT_EQ(order, expected::kTabOrder);
}

// Each part the window makes of a control beyond its kind goes to exactly the control the
// window expects; the other controls have none.
TEST(Form1Layout, EachRoleIsHeldByTheOneControlThatPlaysIt) {
    using layout::Role;
    const std::vector<std::pair<Role, std::string>> cases{{Role::ListFrame, "FrameFix"},
                                                          {Role::SlidingFrame, "FrameSlide"},
                                                          {Role::ListScrollBar, "VScrollFiles"},
                                                          {Role::PathTemplate, "Text1"},
                                                          {Role::CountTemplate, "CopyTimes"},
                                                          {Role::Destination, "SaveTo"},
                                                          {Role::ProgressFill, "ShapeProgress"},
                                                          {Role::ProgressCaption, "LabelProgress"},
                                                          {Role::ProgressBack, "ShapeProgressBack"},
                                                          {Role::FileSearch, "OpenWEBtn"},
                                                          {Role::Replicate, "ReplicateBtn"},
                                                          {Role::ClearList, "ClearBtn"},
                                                          {Role::OpenLog, "LogBtn"}};
    for (const expected::Control& wanted : expected::controls()) {
        const auto found =
            std::ranges::find(cases, wanted.name, &decltype(cases)::value_type::second);
        const Role role = found != cases.end() ? found->first : Role::None;
        EXPECT_EQ(layout::control(wanted.name).role, role) << wanted.name;
    }
    for (const auto& [role, name] : cases) {
        EXPECT_EQ(layout::control(role).name, name);
    }
    EXPECT_THROW(layout::control(Role::None), std::exception);
}

TEST(Form1Layout, TheOnlyMenuIsAHiddenPopup) {
    const layout::Menu& menu = layout::form1().popupMenu;
    EXPECT_EQ(menu.name, "PUMenu_Files");
    EXPECT_EQ(menu.caption, "Menu_Files");
    EXPECT_FALSE(menu.visible);
    ASSERT_EQ(menu.items.size(), 1U);
    EXPECT_EQ(menu.items[0].name, "PUMenu_DeleteFile");
    EXPECT_EQ(menu.items[0].caption, "Delete File input");
    EXPECT_EQ(menu.items[0].role, layout::Role::DeleteFile);
}

// A run greys what takes input but the list's rows and its scroll bar, which stay to be read
// and scrolled.
TEST(Form1Layout, ARunGreysEveryControlThatTakesInputButTheList) {
    const std::vector<std::string> greyed{"LogBtn",   "ClearBtn", "ReplicateBtn", "OpenWEBtn",
                                          "Picture1", "SaveTo",   "Dir1",         "Drive1"};
    for (const layout::Control& control : layout::form1().controls) {
        EXPECT_EQ(layout::greyedDuringRun(control), std::ranges::count(greyed, control.name) == 1)
            << control.name;
    }
}

// A screen reader reads captions without their padding blanks, and controls without a
// caption by what they are.
TEST(Form1Layout, AccessibleNamesLeaveOutThePadding) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"ReplicateBtn", "Replicate"},
        {"CopyDestFrame", "Copy Destination"},
        {"FrameFix", "Filename No. of Copies"},
        {"Label2", "Save To:"},
        {"SaveTo", "Save To:"},
        {"Picture1", "Drop files to copy here:"}};
    for (const auto& [name, read] : cases) {
        EXPECT_EQ(layout::accessibleName(layout::control(name)), read) << name;
    }
    for (const layout::Control& control : layout::form1().controls) {
        EXPECT_FALSE(layout::accessibleName(control).empty()) << control.name;
    }
}

}  // namespace
}  // namespace vantrel
