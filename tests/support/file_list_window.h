#pragma once

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "filelist/drop_intake.h"
#include "filelist/file_list_controls.h"
#include "filelist/scroll_view.h"
#include "platform/failure.h"
#include "support/expected.h"
#include "support/fake_controls.h"
#include "support/fake_message_box.h"
#include "support/listed_files.h"

namespace vantrel::test {

// A drop of `total` files named "file<k>"; fetching file `failAt` fails.
class GeneratedFiles : public DroppedFiles {
  public:
    explicit GeneratedFiles(long long total, long long failAt = 0)
        : total_(total), failAt_(failAt) {}
    long long count() const override { return total_; }
    std::string file(long long k) const override {
        if (k == failAt_) {
            throw Failure(kDeviceIoError, "Device I/O error");
        }
        return "file" + std::to_string(k);
    }

  private:
    long long total_;
    long long failAt_;
};

// A count-box array that can be told to fail loading one index, as when boxes run out.
class RefusingTextBoxArray : public FakeTextBoxArray {
  public:
    using FakeTextBoxArray::FakeTextBoxArray;
    void load(int index) override {
        if (index == refuseAt) {
            throw Failure(7, "Out of memory");
        }
        FakeTextBoxArray::load(index);
    }
    int refuseAt = 0;
};

// The file list of the window as start-up leaves it.
struct FileListWindow {
    FileListWindow() {
        text1.item(0).setTop(expected::kFirstRowTop - expected::kRowHeight);
        copyTimes.item(0).setTop(expected::kFirstRowTop - expected::kRowHeight);
        bar.setVisible(false);
        bar.setMin(-30);
        bar.changed = [this] { VScrollFiles_Change(controls); };
    }

    void addEntries(long long n) { Picture1_OLEDragDrop(controls, GeneratedFiles(n), messages); }

    std::vector<std::string> texts(TextBoxArray& boxes) const {
        std::vector<std::string> result;
        for (int i = 1; i < boxes.count(); ++i) {
            result.push_back(boxes.item(i).text());
        }
        return result;
    }

    std::vector<double> tops(TextBoxArray& boxes) const {
        std::vector<double> result;
        for (int i = 1; i < boxes.count(); ++i) {
            result.push_back(boxes.item(i).top());
        }
        return result;
    }

    // Both arrays hold exactly 0 .. N and the sliding frame and bar match N.
    void expectParallelAndFitted() {
        EXPECT_EQ(text1.count(), copyTimes.count());
        EXPECT_EQ(text1.ubound(), text1.count() - 1);
        EXPECT_EQ(copyTimes.ubound(), copyTimes.count() - 1);
        EXPECT_EQ(frameSlide.height(), text1.count() * expected::kRowHeight);
        EXPECT_EQ(bar.visible(), frameSlide.height() > frameFix.height());
    }

    FakeTextBoxArray text1{expected::kPathTemplate.left, expected::kPathTemplate.width,
                           expected::kRowHeight};
    RefusingTextBoxArray copyTimes{expected::kCountTemplate.left, expected::kCountTemplate.width,
                                   expected::kRowHeight};
    FakeFrame frameSlide{expected::kFrameSlide.top, expected::kFrameSlide.height};
    FakeFrame frameFix{expected::kFrameFix.top, expected::kFrameFix.height};
    FakeScrollBar bar;
    FakeMessageBox messages;
    FileListControls controls{text1,    copyTimes, frameSlide,
                              frameFix, bar,       expected::kFrameSlide.top};
};

}  // namespace vantrel::test
