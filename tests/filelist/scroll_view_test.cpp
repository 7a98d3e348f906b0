#include "filelist/scroll_view.h"

#include <cmath>
#include <ostream>

#include <gtest/gtest.h>

#include "support/file_list_window.h"

namespace vantrel::test {
namespace {

struct FitCase {
    int entries;
    double viewportHeight;
    bool shown;
    int max;
    int smallChange;
    int largeChange;
};

void PrintTo(const FitCase& c, std::ostream* os) {
    *os << c.entries << " entries in " << c.viewportHeight;
}

class FitToRows : public testing::TestWithParam<FitCase> {};

// The bar's settings are only written while it is needed; a hidden bar keeps the standard ones.
TEST_P(FitToRows, ShowsTheBarOnlyWhileTheRowsOverhang) {
    const FitCase& c = GetParam();
    FileListWindow window;
    window.frameFix.setHeight(c.viewportHeight);
    window.addEntries(c.entries);

    EXPECT_EQ(window.frameSlide.height(), (c.entries + 1) * 375.0);
    EXPECT_EQ(window.bar.visible(), c.shown);
    EXPECT_EQ(window.bar.max(), c.max);
    EXPECT_EQ(window.bar.smallChange(), c.smallChange);
    EXPECT_EQ(window.bar.largeChange(), c.largeChange);
    EXPECT_EQ(window.bar.min(), -30);
}

INSTANTIATE_TEST_SUITE_P(
    Geometry, FitToRows,
    testing::Values(FitCase{0, 2775, false, 32767, 1, 1}, FitCase{6, 2775, false, 32767, 1, 1},
                    FitCase{7, 2775, true, 22, 200, 278}, FitCase{7, 3000, false, 32767, 1, 1},
                    FitCase{8, 3000, true, 38, 200, 300}, FitCase{93, 2775, true, 3248, 200, 278}));

TEST(ScrollView, FittingLeavesTheValueAndOffsetAlone) {
    FileListWindow window;
    window.bar.value_ = 5;
    window.frameSlide.setTop(-50);
    window.addEntries(10);

    EXPECT_EQ(window.bar.value(), 5);
    EXPECT_EQ(window.frameSlide.top(), -50);
}

class ScrollOffset : public testing::TestWithParam<std::pair<int, double>> {};

TEST_P(ScrollOffset, MovesTheSlidingFrameTenTwipsPerUnit) {
    FileListWindow window;
    window.bar.value_ = GetParam().first;
    VScrollFiles_Change(window.controls);
    EXPECT_EQ(window.frameSlide.top(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Values, ScrollOffset,
                         testing::Values(std::pair{-30, 300.0}, std::pair{0, 0.0},
                                         std::pair{22, -220.0}, std::pair{3276, -32760.0},
                                         std::pair{3277, -32770.0}));

// Lists beyond the 16-bit offsets still scroll until their last row reaches the viewport's
// bottom edge, give or take the 5 twips of rounding.
TEST(ScrollView, LongestListScrollsToItsEnd) {
    FileListWindow window;
    window.addEntries(32767);
    ASSERT_TRUE(window.bar.visible());
    EXPECT_EQ(window.bar.max(), 1228522);

    window.bar.value_ = window.bar.max();
    VScrollFiles_Change(window.controls);

    const double bottom = window.frameSlide.top() + window.frameSlide.height();
    EXPECT_LE(std::abs(bottom - window.frameFix.height()), 5);
}

}  // namespace
}  // namespace vantrel::test
