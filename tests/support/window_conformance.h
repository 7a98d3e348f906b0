#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/expected.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/real_folder.h"
#include "window/form1.h"

// What both windows must show, as one table of cases with one body a kind of check. Each front
// end reads its own window through a probe (tests/qt/form1_window_test.cpp,
// tests/support/win32/window_probe.h) and instantiates the suite once; a behaviour both windows
// share gets its one test here.
namespace vantrel::conformance {

// Pixels in the window's own units, 15 twips a pixel at 96 dpi, each part rounded on its own.
struct Box {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};

using expected::pixels;

inline Box pixels(const expected::Rect& rect) {
    return {pixels(rect.left), pixels(rect.top), pixels(rect.width), pixels(rect.height)};
}

struct Font {
    std::string face;
    double points = 0;
    int weight = 0;
    bool operator==(const Font&) const = default;
};

struct Extent {
    int width = 0, height = 0;
};

struct MenuItem {
    std::string text;
    bool enabled = false, checkMark = false;
    bool operator==(const MenuItem&) const = default;
};

struct Bar {
    int min = 0, max = 0, value = 0, smallStep = 0, page = 0;
    bool operator==(const Bar&) const = default;
};

enum class Button { Left, Right, Middle };
enum class Scroll { ArrowUp, ArrowDown, PageUp, PageDown, ToEnd };

// One window, read and driven in neutral terms. Controls go by their layout names, the form as
// "Form1" and a row's boxes as "Text1(k)" and "CopyTimes(k)". Made unopened; a probe also has
// `static bool usable()`, whether a window can be made here.
class WindowProbe {
  public:
    virtual ~WindowProbe() = default;

    // Loaded, shown and given the focus, as start-up does.
    virtual void open() = 0;
    virtual Form1& logic() = 0;
    virtual const Form1Controls& controls() = 0;
    virtual test::FakeMessageBox& messageBox() = 0;
    virtual test::FakeLauncher& launcher() = 0;
    // Where the window writes its log, and the program that opens it.
    virtual std::string logPath() = 0;
    virtual std::string logOpener() = 0;
    virtual int dpi() = 0;

    virtual bool has(const std::string& name) = 0;
    virtual std::string container(const std::string& name) = 0;
    virtual Box place(const std::string& name) = 0;
    virtual bool shown(const std::string& name) = 0;
    // None where the control's text is not its caption (a list's is its current item).
    virtual std::optional<std::string> caption(const std::string& name) = 0;
    // None where the control has no font of its own.
    virtual std::optional<Font> font(const std::string& name) = 0;
    // `text` set in the control's font, broken into lines `wrap` pixels wide (0: one line).
    virtual Extent extent(const std::string& name, const std::string& text, int wrap) = 0;
    // The named children of a container, the one drawn in front first.
    virtual std::vector<std::string> frontToBack(const std::string& container) = 0;

    virtual std::string title() = 0;
    virtual Box client() = 0;
    virtual bool hasMenuBar() = 0;
    virtual std::vector<MenuItem> popupMenu() = 0;
    virtual void resize(int width, int height) = 0;

    virtual std::string focused() = 0;
    virtual void pressTab(bool shift) = 0;
    virtual Bar scrollBar() = 0;
    // The arrows and page areas as a click on them, the end as the program's own request.
    virtual void scroll(Scroll part) = 0;
    // The caret put at the end of the box's text, then each key typed: U'\b' is Backspace,
    // U'\r' Return and U'\n' the keypad's Enter.
    virtual void type(const std::string& box, const std::u32string& keys) = 0;
    virtual void click(const std::string& button) = 0;
    // A press of the mouse button on the box. The items of the menu it opens, if one opens,
    // whose first item is then chosen, or which is closed without a choice.
    virtual std::optional<std::vector<std::string>> press(const std::string& box, Button button,
                                                          bool choose) = 0;

    // The full path of a file of the drops' folder.
    virtual std::string pathOf(const std::string& file) = 0;
    // Drops the paths on Picture1; none drops data that holds no file list.
    virtual void drop(const std::optional<std::vector<std::string>>& paths) = 0;

    // What a screen reader reads as the control's name, and after it.
    virtual std::string readAs(const std::string& name) = 0;
    virtual std::string description(const std::string& name) = 0;
};

// The template boxes of the two arrays are rows of the sliding frame, not controls of their own.
inline bool isControl(const expected::Control& control) {
    return control.name != "Text1" && control.name != "CopyTimes";
}

inline bool isContainer(const std::string& name) {
    return std::ranges::any_of(expected::controls(), [&](const expected::Control& control) {
        return control.container == name;
    });
}

// Each caption inside its control: a frame's between insets of 8 pixels, a button's inside its
// edges of 3, a label's wrapped at its width. Holds at any scale the window is drawn at.
inline void expectCaptionsFit(WindowProbe& probe) {
    for (const expected::Control& control : expected::controls()) {
        if (control.caption.empty() || !isControl(control)) {
            continue;
        }
        SCOPED_TRACE(control.name);
        const Box box = probe.place(control.name);
        const bool frame = isContainer(control.name);
        const bool button = control.name.ends_with("Btn");
        const int room = box.width - (frame ? 16 : button ? 6 : 0);
        const Extent text = probe.extent(control.name, control.caption, frame || button ? 0 : room);
        EXPECT_LE(text.width, room);
        // Two lines of the description fill their label but for the last line's spacing.
        EXPECT_LE(text.height, box.height + (frame || button ? 0 : 1));
    }
}

// The name of row k's box of an array, as "Text1(3)".
inline std::string rowBox(std::string array, int row) {
    return array.append("(").append(std::to_string(row)).append(")");
}

// The array and row a box's name gives; row 0 for a control of its own.
inline std::pair<std::string, int> rowBoxOf(const std::string& name) {
    const std::size_t open = name.find('(');
    return open == std::string::npos
               ? std::pair(name, 0)
               : std::pair(name.substr(0, open), std::stoi(name.substr(open + 1)));
}

// The files menu, which pops up on a path box.
inline const std::vector<std::string> kPopupItems{"Delete File input"};

// Keys typed at the end of the count box of the first of two rows, each count "1".
struct KeysCase {
    std::string name;
    std::u32string keys;
    std::string text;
    int refused;
};

inline const std::vector<KeysCase> kKeys{
    {"a digit", U"7", "17", 0},
    {"backspace", U"\b", "", 0},
    {"a letter", U"x", "1", 1},
    {"a letter not Latin", U"\u0416", "1", 1},
    {"each refused key told once", U"\b1x-. 2", "12", 4},
    {"return", U"\b7\r", "7", 1},
    {"keypad enter", U"\b7\n", "7", 1},
    {"backspace after digits", U"\b45\b", "4", 0},
    {"more digits than a count takes", U"\b40000", "40000", 0},
};

// Files dropped on Picture1 of a list holding "1.txt", each added. Data without a file list
// is refused with a message and leaves the list as it was.
struct DropCase {
    std::string name;
    std::optional<std::vector<std::string>> files;
};

inline const std::vector<DropCase> kDrops{
    {"files in order, one twice", {{"a.jpg", "b c.txt", "a.jpg"}}},
    {"an empty file list", std::vector<std::string>{}},
    {"no file list", std::nullopt},
};

// Presses on the path boxes of a list of `files` rows, each row's count ten times its number.
// `deleted` is the row the menu's item deletes, 0 for none.
struct PressCase {
    std::string name;
    int files;
    std::vector<std::pair<int, Button>> presses;
    bool choose;
    int deleted;
};

inline const std::vector<PressCase> kPresses{
    {"left on the first row", 7, {{1, Button::Left}}, true, 1},
    {"left on a middle row", 7, {{4, Button::Left}}, true, 4},
    {"left on the last row in view", 7, {{6, Button::Left}}, true, 6},
    {"left on the last row", 4, {{4, Button::Left}}, true, 4},
    {"left on the only row", 1, {{1, Button::Left}}, true, 1},
    {"right, then left", 7, {{3, Button::Right}, {1, Button::Left}}, true, 1},
    {"middle, then left", 7, {{4, Button::Middle}, {2, Button::Left}}, true, 2},
    {"right and middle only", 7, {{1, Button::Right}, {3, Button::Middle}}, true, 0},
    {"the menu closed without a choice", 7, {{4, Button::Left}}, false, 0},
};

// A list of `files` rows, at its end first where `fromTheEnd`, scrolled by a click on a part of
// the bar; the bar's Max for the list, its value after, and the first and last row then in view:
// only the rows in view have boxes.
struct ScrollCase {
    std::string name;
    int files;
    bool fromTheEnd;
    Scroll part;
    int max;
    int value;
    std::pair<int, int> inView;
};

inline const std::vector<ScrollCase> kScrolls{
    {"7 rows, arrow down", 7, false, Scroll::ArrowDown, 22, 22, {1, 7}},
    {"7 rows, arrow up", 7, false, Scroll::ArrowUp, 22, -30, {1, 7}},
    {"20 rows, page down", 20, false, Scroll::PageDown, 510, 278, {7, 15}},
    {"40 rows, arrow down", 40, false, Scroll::ArrowDown, 1260, 200, {5, 13}},
    {"40 rows, arrow up from the end", 40, true, Scroll::ArrowUp, 1260, 1060, {28, 36}},
    {"40 rows, page up from the end", 40, true, Scroll::PageUp, 1260, 982, {26, 34}},
    {"40 rows, arrow down at the end", 40, true, Scroll::ArrowDown, 1260, 1260, {34, 40}},
};

// Rows enough to scroll: the names of a row's boxes follow the row they are lent to.
inline constexpr int kReadRows = 40;

// Only the rows from `first` to `last` have boxes, each showing its row.
inline void expectInView(WindowProbe& probe, int files, std::pair<int, int> inView) {
    for (int i = 1; i <= files; ++i) {
        const bool shown = i >= inView.first && i <= inView.second;
        ASSERT_EQ(probe.has(rowBox("Text1", i)), shown) << i;
        ASSERT_EQ(probe.has(rowBox("CopyTimes", i)), shown) << i;
        if (shown) {
            EXPECT_EQ(probe.caption(rowBox("Text1", i)),
                      probe.pathOf(std::to_string(i).append(".txt")));
        }
    }
}

template <class Probe>
class WindowConformance : public testing::Test {
  protected:
    void SetUp() override {
        if (!Probe::usable()) {
            GTEST_SKIP() << "no display for the window";
        }
        fresh();
    }

    // A new window in place of the one a table's row has used.
    void fresh() {
        probe_.reset();
        probe_ = std::make_unique<Probe>();
    }

    // Drops files of the drops' folder, by name.
    void drop(const std::optional<std::vector<std::string>>& files) {
        if (!files) {
            return probe_->drop(std::nullopt);
        }
        std::vector<std::string> paths;
        for (const std::string& file : *files) {
            paths.push_back(probe_->pathOf(file));
        }
        probe_->drop(paths);
    }

    void dropNumbered(int rows) {
        std::vector<std::string> files;
        for (int i = 1; i <= rows; ++i) {
            files.push_back(std::to_string(i).append(".txt"));
        }
        drop(files);
    }

    // A new window, opened, its list holding the files "1.txt" to "<rows>.txt".
    WindowProbe& openedWith(int rows) {
        fresh();
        probe_->open();
        dropNumbered(rows);
        return *probe_;
    }

    std::unique_ptr<Probe> probe_;
};

TYPED_TEST_SUITE_P(WindowConformance);

// Container, place, caption, font and visibility as the window is built; visibility once loaded.
TYPED_TEST_P(WindowConformance, ControlsAreWhereTheLayoutPutsThem) {
    WindowProbe& probe = *this->probe_;
    const std::vector<std::string> withoutText{"ShapeProgress", "ShapeProgressBack", "VScrollFiles",
                                               "Picture1"};
    EXPECT_EQ(probe.dpi(), 96);
    for (const bool loaded : {false, true}) {
        if (loaded) {
            probe.logic().Form_Load();
        }
        for (const expected::Control& control : expected::controls()) {
            if (!isControl(control)) {
                continue;
            }
            SCOPED_TRACE(control.name + (loaded ? " once loaded" : ""));
            ASSERT_TRUE(probe.has(control.name));
            // Form_Load hides the bar until the list outgrows its view.
            EXPECT_EQ(probe.shown(control.name),
                      control.shown && !(loaded && control.name == "VScrollFiles"));
            if (loaded) {
                continue;
            }
            EXPECT_EQ(probe.container(control.name), control.container);
            EXPECT_EQ(probe.place(control.name), pixels(control.rect));
            if (const auto caption = probe.caption(control.name)) {
                EXPECT_EQ(*caption, control.caption);
            }
            const auto font = probe.font(control.name);
            ASSERT_TRUE(font || std::ranges::count(withoutText, control.name) == 1);
            if (font) {
                EXPECT_EQ(*font, (Font{"MS Sans Serif", 8.25, control.bold ? 700 : 400}));
            }
        }
    }
}

TYPED_TEST_P(WindowConformance, TheWindowItselfAndItsPopupMenu) {
    WindowProbe& probe = *this->probe_;
    EXPECT_EQ(probe.title(), expected::kTitle);
    EXPECT_EQ(probe.client(), (Box{0, 0, 566, 484}));
    EXPECT_EQ(probe.client().width, pixels(expected::kFormWidth));
    EXPECT_EQ(probe.client().height, pixels(expected::kFormHeight));
    EXPECT_EQ(expected::kListHeader.size(), 119u);
    EXPECT_FALSE(probe.hasMenuBar());
    EXPECT_EQ(probe.popupMenu(), (std::vector<MenuItem>{{"Delete File input", true, false}}));
}

// The first of a container's controls in the layout is drawn in front.
TYPED_TEST_P(WindowConformance, StackingFollowsTheLayout) {
    for (const std::string container : {"Form1", "CopyDestFrame"}) {
        SCOPED_TRACE(container);
        std::vector<std::string> listed;
        for (const expected::Control& control : expected::controls()) {
            if (control.container == container) {
                listed.push_back(control.name);
            }
        }
        ASSERT_GT(listed.size(), 2u);
        std::vector<std::string> stacked = this->probe_->frontToBack(container);
        std::erase_if(stacked, [&](const auto& name) { return !std::ranges::count(listed, name); });
        EXPECT_EQ(stacked, listed);
    }
}

// Tab passes the hidden bar by; once a long list shows it, the bar has its turn. Shift+Tab goes
// the other way.
TYPED_TEST_P(WindowConformance, FocusStartsOnDrive1AndTabFollowsTheOrder) {
    WindowProbe& probe = *this->probe_;
    probe.open();
    EXPECT_EQ(probe.focused(), expected::kTabOrder.front());
    for (const bool barShown : {false, true}) {
        SCOPED_TRACE(barShown ? "bar shown" : "bar hidden");
        probe.controls().VScrollFiles.setVisible(barShown);
        std::vector<std::string> order = expected::kTabOrder;
        if (!barShown) {
            std::erase(order, "VScrollFiles");
        }
        order.push_back(order.front());
        for (const bool back : {false, true}) {
            std::vector<std::string> visited{probe.focused()};
            for (std::size_t i = 1; i < order.size(); ++i) {
                probe.pressTab(back);
                visited.push_back(probe.focused());
            }
            EXPECT_EQ(visited, order);
            std::ranges::reverse(order);
        }
    }
}

TYPED_TEST_P(WindowConformance, ResizingMovesNothing) {
    WindowProbe& probe = *this->probe_;
    probe.open();
    std::vector<Box> before;
    for (const expected::Control& control : expected::controls()) {
        before.push_back(isControl(control) ? probe.place(control.name) : Box{});
    }
    probe.resize(1000, 900);
    for (std::size_t i = 0; i < before.size(); ++i) {
        const expected::Control& control = expected::controls()[i];
        if (isControl(control)) {
            EXPECT_EQ(probe.place(control.name), before[i]) << control.name;
        }
    }
}

TYPED_TEST_P(WindowConformance, StartUpState) {
    WindowProbe& probe = *this->probe_;
    const Form1Controls& controls = probe.controls();
    EXPECT_EQ(controls.Picture1.dropMode(), DropMode::None);
    probe.open();
    EXPECT_EQ(controls.Picture1.dropMode(), DropMode::Manual);
    for (TextBoxArray* array : {&controls.Text1, &controls.CopyTimes}) {
        EXPECT_EQ(array->count(), 1);
        EXPECT_EQ(array->item(0).top(), expected::kFirstRowTop - expected::kRowHeight);
        EXPECT_EQ(array->item(0).top(), -195.0);
        EXPECT_FALSE(array->item(0).visible());
        EXPECT_EQ(array->item(0).text(), "");
    }
    EXPECT_FALSE(probe.shown("VScrollFiles"));
    EXPECT_EQ(probe.scrollBar(), (Bar{-30, 32767, 0, 1, 1}));
    EXPECT_EQ(controls.VScrollFiles.smallChange(), 1);
    EXPECT_EQ(controls.VScrollFiles.largeChange(), 1);
    EXPECT_EQ(controls.FrameSlide.top(), expected::kFrameSlide.top);
    EXPECT_EQ(controls.ShapeProgress.width(), 0.0);
    EXPECT_EQ(probe.place("ShapeProgress").width, 0);
    EXPECT_EQ(controls.ShapeProgressBack.width(), expected::kFullBar);
    EXPECT_EQ(controls.LabelProgress.caption(), "");
    EXPECT_EQ(controls.SaveTo.text(), "");
    EXPECT_TRUE(probe.messageBox().shown.empty());
}

TYPED_TEST_P(WindowConformance, CaptionsFitTheirControls) {
    this->probe_->open();
    expectCaptionsFit(*this->probe_);
}

// Every character goes through CopyTimes_KeyPress before the box takes it: what is refused never
// reaches the box, and what is taken is the entry's count at once.
TYPED_TEST_P(WindowConformance, KeysTypedIntoACountBox) {
    for (const KeysCase& c : kKeys) {
        SCOPED_TRACE(c.name);
        WindowProbe& probe = this->openedWith(2);
        probe.type("CopyTimes(1)", c.keys);
        EXPECT_EQ(probe.caption("CopyTimes(1)"), c.text);
        EXPECT_EQ(probe.controls().CopyTimes.item(1).text(), c.text);
        EXPECT_EQ(probe.controls().CopyTimes.item(2).text(), "1");
        EXPECT_EQ(probe.messageBox().texts(),
                  std::vector<std::string>(static_cast<std::size_t>(c.refused),
                                           expected::kNumberEntryOnly));
        for (const auto& shown : probe.messageBox().shown) {
            EXPECT_EQ(shown.buttons, Buttons::Ok);
        }
    }
}

// Each row at its place in the list, in view with its boxes; the list fitted to them.
TYPED_TEST_P(WindowConformance, DropsOnPicture1) {
    for (const DropCase& c : kDrops) {
        SCOPED_TRACE(c.name);
        WindowProbe& probe = this->openedWith(1);
        const Form1Controls& controls = probe.controls();
        this->drop(c.files);

        std::vector<std::string> rows{"1.txt"};
        if (c.files) {
            rows.insert(rows.end(), c.files->begin(), c.files->end());
        }
        ASSERT_EQ(controls.Text1.count(), static_cast<int>(rows.size()) + 1);
        EXPECT_EQ(controls.CopyTimes.count(), controls.Text1.count());
        for (int i = 1; i <= static_cast<int>(rows.size()); ++i) {
            const std::string path = probe.pathOf(rows[static_cast<std::size_t>(i) - 1]);
            const std::string pathBox = rowBox("Text1", i);
            const std::string countBox = rowBox("CopyTimes", i);
            EXPECT_EQ(controls.Text1.item(i).text(), path);
            EXPECT_EQ(controls.CopyTimes.item(i).text(), "1");
            for (TextBoxArray* array : {&controls.Text1, &controls.CopyTimes}) {
                EXPECT_EQ(array->item(i).top(), expected::rowTop(i));
                EXPECT_TRUE(array->item(i).visible());
            }
            ASSERT_TRUE(probe.has(pathBox) && probe.has(countBox));
            EXPECT_TRUE(probe.shown(pathBox) && probe.shown(countBox));
            EXPECT_EQ(probe.caption(pathBox), path);
            EXPECT_EQ(probe.caption(countBox), "1");
            EXPECT_EQ(probe.place(pathBox).top, pixels(expected::rowTop(i)));
            EXPECT_EQ(probe.place(countBox).top, probe.place(pathBox).top);
        }
        EXPECT_EQ(controls.FrameSlide.height(),
                  static_cast<double>(rows.size() + 1) * expected::kRowHeight);
        EXPECT_FALSE(probe.shown("VScrollFiles"));
        EXPECT_EQ(
            probe.messageBox().texts(),
            c.files ? std::vector<std::string>{} : std::vector<std::string>{expected::kNoFileName});
    }
}

// Until Form_Load the drop area takes nothing, and says nothing about it.
TYPED_TEST_P(WindowConformance, Picture1TakesNoDropsBeforeLoad) {
    WindowProbe& probe = *this->probe_;
    this->dropNumbered(1);
    EXPECT_EQ(probe.controls().Text1.count(), 1);
    EXPECT_TRUE(probe.messageBox().shown.empty());
    probe.open();
    this->dropNumbered(1);
    EXPECT_EQ(probe.controls().Text1.count(), 2);
}

// Only a left press on a path box opens the files menu; its item deletes the row pressed last,
// the rows below moving up, each with its count.
TYPED_TEST_P(WindowConformance, PressesOnPathBoxes) {
    for (const PressCase& c : kPresses) {
        SCOPED_TRACE(c.name);
        WindowProbe& probe = this->openedWith(c.files);
        const Form1Controls& controls = probe.controls();
        std::vector<std::string> wanted;
        for (int i = 1; i <= c.files; ++i) {
            controls.CopyTimes.item(i).setText(std::to_string(10 * i));
            if (i != c.deleted) {
                wanted.push_back(probe.pathOf(std::to_string(i).append(".txt")) + "|" +
                                 std::to_string(10 * i));
            }
        }
        for (const auto& [row, button] : c.presses) {
            EXPECT_EQ(probe.press(rowBox("Text1", row), button, c.choose),
                      button == Button::Left ? std::optional(kPopupItems) : std::nullopt);
        }

        std::vector<std::string> rows;
        for (int i = 1; i < controls.Text1.count(); ++i) {
            rows.push_back(controls.Text1.item(i).text() + "|" + controls.CopyTimes.item(i).text());
        }
        EXPECT_EQ(rows, wanted);
        EXPECT_EQ(controls.CopyTimes.count(), controls.Text1.count());
        EXPECT_EQ(controls.FrameSlide.height(),
                  static_cast<double>(wanted.size() + 1) * expected::kRowHeight);
        // Six rows fit the list's frame; the seventh needs the bar.
        EXPECT_EQ(probe.shown("VScrollFiles"), wanted.size() > 6);
        for (int i = 1; i <= std::min(c.files, 6); ++i) {
            const std::string path = rowBox("Text1", i);
            ASSERT_EQ(probe.has(path), i <= static_cast<int>(wanted.size())) << i;
            if (probe.has(path)) {
                EXPECT_EQ(*probe.caption(path) + "|" + *probe.caption(rowBox("CopyTimes", i)),
                          wanted[static_cast<std::size_t>(i) - 1]);
                EXPECT_EQ(controls.Text1.item(i).top(), expected::rowTop(i));
            }
        }
        EXPECT_TRUE(probe.messageBox().shown.empty());
    }
}

// Clear List on an empty list only tells so; a scrolled list it empties, hiding the bar and
// putting the frame back at its start place, where the next drop begins.
TYPED_TEST_P(WindowConformance, ClearList) {
    WindowProbe& probe = *this->probe_;
    const Form1Controls& controls = probe.controls();
    probe.open();
    probe.click("ClearBtn");
    ASSERT_EQ(probe.messageBox().texts(), std::vector<std::string>{expected::kNoFilesToDelete});
    EXPECT_EQ(probe.messageBox().shown[0].buttons, Buttons::Ok);
    EXPECT_EQ(controls.Text1.count(), 1);
    EXPECT_EQ(controls.FrameSlide.top(), expected::kFrameSlide.top);
    EXPECT_EQ(controls.FrameSlide.height(), expected::kFrameSlide.height);
    probe.messageBox().shown.clear();

    this->dropNumbered(10);
    probe.scroll(Scroll::ToEnd);
    // Ten rows scroll to Max 135.
    EXPECT_EQ(controls.FrameSlide.top(), -1350.0);
    probe.click("ClearBtn");
    EXPECT_TRUE(probe.messageBox().shown.empty());
    EXPECT_EQ(controls.Text1.count(), 1);
    EXPECT_EQ(controls.CopyTimes.count(), 1);
    for (int i = 1; i <= 10; ++i) {
        EXPECT_FALSE(probe.has(rowBox("Text1", i)) || probe.has(rowBox("CopyTimes", i))) << i;
    }
    EXPECT_FALSE(probe.shown("VScrollFiles"));
    EXPECT_EQ(controls.VScrollFiles.value(), 0);
    EXPECT_EQ(probe.scrollBar().value, 0);
    EXPECT_EQ(controls.FrameSlide.height(), expected::kRowHeight);
    EXPECT_EQ(controls.FrameSlide.top(), expected::kFrameSlide.top);

    this->dropNumbered(1);
    EXPECT_EQ(controls.Text1.item(1).top(), expected::rowTop(1));
    EXPECT_TRUE(probe.has("Text1(1)"));
}

// The bar's value v puts the sliding frame at Top -10 v: the arrows move it by SmallChange, the
// page areas by LargeChange, no further than the ends of its range.
TYPED_TEST_P(WindowConformance, ScrollingMovesTheList) {
    for (const ScrollCase& c : kScrolls) {
        SCOPED_TRACE(c.name);
        WindowProbe& probe = this->openedWith(c.files);
        const Form1Controls& controls = probe.controls();
        ASSERT_TRUE(probe.shown("VScrollFiles"));
        EXPECT_EQ(probe.scrollBar(), (Bar{-30, c.max, 0, 200, 278}));
        EXPECT_EQ(controls.FrameSlide.top(), expected::kFrameSlide.top);
        expectInView(probe, c.files, {1, 6});
        if (c.fromTheEnd) {
            probe.scroll(Scroll::ToEnd);
            ASSERT_EQ(controls.VScrollFiles.value(), c.max);
        }
        probe.scroll(c.part);

        EXPECT_EQ(controls.VScrollFiles.value(), c.value);
        EXPECT_EQ(probe.scrollBar().value, c.value);
        EXPECT_EQ(controls.FrameSlide.top(), -10.0 * c.value);
        expectInView(probe, c.files, c.inView);
        // On screen too: the first row in view sits where the frame's new top puts it.
        EXPECT_EQ(probe.place("FrameSlide").top + probe.place(rowBox("Text1", c.inView.first)).top,
                  pixels(-10.0 * c.value) + pixels(expected::rowTop(c.inView.first)));
        EXPECT_TRUE(probe.messageBox().shown.empty());
    }
}

// Six rows fit the list's frame; the seventh needs the bar.
TYPED_TEST_P(WindowConformance, SixRowsFitAndSevenNeedTheBar) {
    WindowProbe& probe = this->openedWith(6);
    EXPECT_FALSE(probe.shown("VScrollFiles"));
    EXPECT_EQ(probe.controls().FrameSlide.height(), 7 * expected::kRowHeight);
    expectInView(probe, 6, {1, 6});
    this->dropNumbered(1);
    EXPECT_TRUE(probe.shown("VScrollFiles"));
    EXPECT_EQ(probe.scrollBar().max, 22);
    EXPECT_EQ(probe.controls().FrameSlide.height(), 8 * expected::kRowHeight);
}

// The road of a user on real files: drop two files, type a count and a destination that does
// not exist yet, replicate and open the log; then again over changed copies, answering No, Yes,
// Yes and Cancel to the prompts.
TYPED_TEST_P(WindowConformance, ReplicatesDroppedFilesAndOpensTheLog) {
    WindowProbe& probe = *this->probe_;
    const Form1Controls& controls = probe.controls();
    test::FakeMessageBox& box = probe.messageBox();
    probe.open();
    const test::TempFolder work;
    // Bytes a text conversion would change: CR LF, a lone LF, NUL, a byte above 127.
    const std::string first("one\r\ntwo\nthree\0four\xff", 19);
    const std::string second(70000, 'Z');
    // A name beyond ASCII, with a blank.
    const std::string secondName =
        "\xc3\x9c"
        "bersicht 2.dat";
    const std::string secondCopy =
        "\xc3\x9c"
        "bersicht 2(1).dat";
    test::writeFile(work / "notes.v2.txt", first);
    test::writeFile(work / secondName, second);
    probe.drop(std::vector<std::string>{work / "notes.v2.txt", work / secondName});
    ASSERT_EQ(controls.Text1.count(), 3);
    probe.type("CopyTimes(1)", U"\b3");
    EXPECT_EQ(controls.CopyTimes.item(1).text(), "3");
    const std::string destination = test::join(work / "out", "copies");
    // Typed key by key: the temporary folders of both systems are named in ASCII.
    ASSERT_TRUE(std::ranges::all_of(destination, [](unsigned char c) { return c < 0x80; }));
    probe.type("SaveTo", std::u32string(destination.begin(), destination.end()));
    ASSERT_EQ(controls.SaveTo.text(), destination);

    box.script({Answer::Yes});
    probe.click("ReplicateBtn");
    ASSERT_EQ(box.texts(), std::vector<std::string>{expected::createFolderPrompt(destination)});
    EXPECT_EQ(box.shown[0].buttons, Buttons::YesNo);
    const std::vector<std::string> copies{"notes.v2(1).txt", "notes.v2(2).txt", "notes.v2(3).txt",
                                          secondCopy};
    EXPECT_EQ(test::namesIn(destination), copies);
    for (const std::string& copy : copies) {
        EXPECT_EQ(test::readFile(test::join(destination, copy)),
                  copy == secondCopy ? second : first)
            << copy;
    }
    EXPECT_EQ(probe.caption("LabelProgress"), expected::kDone);
    EXPECT_EQ(controls.ShapeProgress.width(), 0.0);
    EXPECT_EQ(probe.place("ShapeProgress").width, 0);
    const std::string crlf = expected::kCrLf;
    EXPECT_EQ(test::readFile(probe.logPath()),
              copies[0] + crlf + copies[1] + crlf + copies[2] + crlf + secondCopy + crlf);
    probe.click("LogBtn");
    ASSERT_EQ(probe.launcher().launched.size(), 1u);
    EXPECT_EQ(probe.launcher().launched[0].commandLine(),
              probe.logOpener() + " " + probe.logPath());
    EXPECT_EQ(probe.launcher().launched[0].style, WindowStyle::Minimized);

    // Marks on the copies tell which were replaced.
    for (const std::string& copy : copies) {
        test::writeFile(test::join(destination, copy), "kept");
    }
    box.shown.clear();
    box.script({Answer::No, Answer::Yes, Answer::Yes, Answer::Cancel});
    probe.click("ReplicateBtn");
    EXPECT_EQ(box.unusedAnswers(), 0u);
    ASSERT_EQ(box.shown.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(box.shown[i].text, expected::replacePrompt(copies[i]));
        EXPECT_EQ(box.shown[i].buttons, Buttons::YesNoCancel);
    }
    const std::vector<std::string> held{"kept", first, first, "kept"};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(test::readFile(test::join(destination, copies[i])), held[i]) << copies[i];
    }
    EXPECT_EQ(probe.caption("LabelProgress"), expected::kCancelled);
    EXPECT_EQ(controls.ShapeProgress.width(), 0.0);
    // The log lists what this run copied, and only that.
    EXPECT_EQ(test::readFile(probe.logPath()), copies[1] + crlf + copies[2] + crlf);
}

// Each control is read by what it is, not by its caption or its current item; the boxes of a
// row in view by the row's number, also once scrolling has lent them to other rows.
TYPED_TEST_P(WindowConformance, ScreenReadersReadWhatEachControlIs) {
    WindowProbe& probe = this->openedWith(kReadRows);
    for (const expected::AccessibleName& named : expected::accessibleNames()) {
        EXPECT_EQ(probe.readAs(named.control), named.name) << named.control;
        EXPECT_EQ(probe.description(named.control),
                  named.control == "Picture1" ? expected::kDropAreaDescription : "")
            << named.control;
    }
    EXPECT_EQ(probe.readAs("Text1(3)"), "File 3");
    EXPECT_EQ(probe.readAs("CopyTimes(3)"), "Copies of file 3");
    probe.scroll(Scroll::ToEnd);
    EXPECT_FALSE(probe.has("Text1(3)"));
    EXPECT_EQ(probe.readAs("Text1(40)"), "File 40");
    EXPECT_EQ(probe.readAs("CopyTimes(40)"), "Copies of file 40");
}

REGISTER_TYPED_TEST_SUITE_P(WindowConformance, ControlsAreWhereTheLayoutPutsThem,
                            TheWindowItselfAndItsPopupMenu, StackingFollowsTheLayout,
                            FocusStartsOnDrive1AndTabFollowsTheOrder, ResizingMovesNothing,
                            StartUpState, CaptionsFitTheirControls, KeysTypedIntoACountBox,
                            DropsOnPicture1, Picture1TakesNoDropsBeforeLoad, PressesOnPathBoxes,
                            ClearList, ScrollingMovesTheList, SixRowsFitAndSevenNeedTheBar,
                            ReplicatesDroppedFilesAndOpensTheLog,
                            ScreenReadersReadWhatEachControlIs);

}  // namespace vantrel::conformance
