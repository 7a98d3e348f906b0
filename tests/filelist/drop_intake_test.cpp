#include "filelist/drop_intake.h"

#include <ostream>

#include <gtest/gtest.h>

#include "support/file_list_window.h"

namespace vantrel::test {
namespace {

using Strings = std::vector<std::string>;
using Tops = std::vector<double>;

const std::string& kNoFileName = expected::kNoFileName;

class NoFileList : public DroppedFiles {
  public:
    long long count() const override { throw Failure(kNoFileList, "Invalid clipboard format"); }
    std::string file(long long) const override { return "never asked"; }
};

TEST(DropIntake, AppendsFilesInOrderBelowTheTemplate) {
    FileListWindow window;
    Picture1_OLEDragDrop(window.controls, ListedFiles({"C:\\a.jpg", "C:\\b.txt", "C:\\a.jpg"}),
                         window.messages);

    EXPECT_EQ(window.texts(window.text1), (Strings{"C:\\a.jpg", "C:\\b.txt", "C:\\a.jpg"}));
    EXPECT_EQ(window.texts(window.copyTimes), (Strings{"1", "1", "1"}));
    EXPECT_EQ(window.tops(window.text1), (Tops{180, 555, 930}));
    EXPECT_EQ(window.tops(window.copyTimes), (Tops{180, 555, 930}));
    for (int i = 1; i <= 3; ++i) {
        EXPECT_TRUE(window.text1.item(i).visible() && window.copyTimes.item(i).visible());
        EXPECT_EQ(window.text1.item(i).width, expected::kPathTemplate.width);
        EXPECT_EQ(window.copyTimes.item(i).left, expected::kCountTemplate.left);
    }
    EXPECT_FALSE(window.text1.item(0).visible());
    EXPECT_TRUE(window.messages.shown.empty());
    window.expectParallelAndFitted();
}

TEST(DropIntake, AppendsAfterExistingEntriesAndShowsTheBarPastSix) {
    FileListWindow window;
    window.addEntries(5);
    window.copyTimes.item(5).setText("9");
    Picture1_OLEDragDrop(window.controls, ListedFiles({"x", "y"}), window.messages);

    EXPECT_EQ(window.texts(window.text1),
              (Strings{"file1", "file2", "file3", "file4", "file5", "x", "y"}));
    EXPECT_EQ(window.texts(window.copyTimes), (Strings{"1", "1", "1", "1", "9", "1", "1"}));
    EXPECT_EQ(window.text1.item(6).top(), 2055);
    EXPECT_EQ(window.copyTimes.item(7).top(), 2430);
    EXPECT_TRUE(window.bar.visible());
    EXPECT_EQ(window.bar.max(), 22);
    window.expectParallelAndFitted();
}

TEST(DropIntake, EmptyDropAddsNothingQuietlyAndStillFits) {
    FileListWindow window;
    Picture1_OLEDragDrop(window.controls, ListedFiles({}), window.messages);

    EXPECT_EQ(window.text1.count(), 1);
    EXPECT_TRUE(window.messages.shown.empty());
    window.expectParallelAndFitted();
}

// The system reads a path up to a NUL, while the copy's name would come from what follows it:
// such a path names no file. A drop of nothing else holds no file list.
TEST(DropIntake, PathsHoldingANulAreLeftOut) {
    using namespace std::string_literals;
    const std::string hidden = "/home/u/secret.key\0/cat.jpg"s;
    const struct {
        Strings dropped;
        Strings listed;
        Strings messages;
    } cases[] = {
        {{"/p/a.jpg", hidden, "/p/b.jpg"}, {"file1", "/p/a.jpg", "/p/b.jpg"}, {}},
        {{hidden, "\0"s}, {"file1"}, {kNoFileName}},
    };
    for (const auto& c : cases) {
        FileListWindow window;
        window.addEntries(1);
        Picture1_OLEDragDrop(window.controls, ListedFiles(c.dropped), window.messages);

        EXPECT_EQ(window.texts(window.text1), c.listed);
        EXPECT_EQ(window.messages.texts(), c.messages);
        window.expectParallelAndFitted();
    }
}

TEST(DropIntake, UnreadableDropsAddNothing) {
    const NoFileList noFileList;
    const GeneratedFiles tooMany(32768);
    for (const DroppedFiles* data : {static_cast<const DroppedFiles*>(&noFileList),
                                     static_cast<const DroppedFiles*>(&tooMany)}) {
        FileListWindow window;
        window.addEntries(2);
        Picture1_OLEDragDrop(window.controls, *data, window.messages);

        EXPECT_EQ(window.texts(window.text1), (Strings{"file1", "file2"}));
        ASSERT_EQ(window.messages.shown.size(), 1u);
        EXPECT_EQ(window.messages.shown[0].text, kNoFileName);
        EXPECT_EQ(window.messages.shown[0].buttons, Buttons::Ok);
        window.expectParallelAndFitted();
    }
}

// A failure part-way keeps the entries completed before it and leaves no half-made row.
struct MidDropCase {
    const char* name;
    long long entriesBefore;
    long long files;
    long long failingFile;
    int refusedCountRow;
    int entriesAfter;
};

void PrintTo(const MidDropCase& c, std::ostream* os) {
    *os << c.name;
}

class DropFailingPartWay : public testing::TestWithParam<MidDropCase> {};

TEST_P(DropFailingPartWay, KeepsCompletedEntriesParallelAndFitted) {
    const MidDropCase& c = GetParam();
    FileListWindow window;
    window.addEntries(c.entriesBefore);
    window.copyTimes.refuseAt = c.refusedCountRow;
    Picture1_OLEDragDrop(window.controls, GeneratedFiles(c.files, c.failingFile), window.messages);

    EXPECT_EQ(window.text1.count() - 1, c.entriesAfter);
    ASSERT_EQ(window.messages.shown.size(), 1u);
    EXPECT_EQ(window.messages.shown[0].text, kNoFileName);
    EXPECT_EQ(window.text1.item(c.entriesAfter).top(), expected::rowTop(c.entriesAfter));
    window.expectParallelAndFitted();
}

INSTANTIATE_TEST_SUITE_P(Failures, DropFailingPartWay,
                         testing::Values(MidDropCase{"FileUnreadable", 2, 5, 3, 0, 4},
                                         MidDropCase{"CountBoxRefused", 2, 5, 0, 4, 3},
                                         MidDropCase{"IndexPast32767", 32765, 5, 0, 0, 32767}),
                         [](const testing::TestParamInfo<MidDropCase>& info) {
                             return info.param.name;
                         });

class FailingFrame : public FakeFrame {
  public:
    using FakeFrame::FakeFrame;
    void setHeight(double) override { throw Failure(7, "Out of memory"); }
};

TEST(DropIntake, FailingFitIsReportedOnce) {
    FileListWindow window;
    FailingFrame slide(360, 1455);
    FileListControls controls{window.text1,    window.copyTimes, slide,
                              window.frameFix, window.bar,       expected::kFrameSlide.top};
    Picture1_OLEDragDrop(controls, ListedFiles({"a"}), window.messages);

    EXPECT_EQ(window.texts(window.text1), (Strings{"a"}));
    EXPECT_EQ(window.messages.shown.size(), 1u);
}

}  // namespace
}  // namespace vantrel::test
