// The file list at its sizes: drop, delete, clear and scroll on the real sliding frame,
// offscreen, each timed to the window painted, with the memory a row adds.
//
// Run without arguments: every list size runs in a fresh process of this program, so that one
// size's freed memory does not flatter the next one's figure.

#include <unistd.h>

#include <QApplication>
#include <QGroupBox>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "filelist/drop_intake.h"
#include "filelist/file_list_controls.h"
#include "filelist/row_removal.h"
#include "filelist/scroll_view.h"
#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_message_box.h"
#include "qt/sliding_frame.h"
#include "qt/twips.h"

namespace {

using Clock = std::chrono::steady_clock;
using vantrel::qt::toPixels;

constexpr int kSizes[] = {1000, 10000, 32767};
constexpr int kScrollSteps = 50;

double milliseconds(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

long long residentBytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    long long resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

class PathList : public vantrel::DroppedFiles {
  public:
    explicit PathList(int files) {
        paths_.reserve(static_cast<std::size_t>(files));
        for (int k = 1; k <= files; ++k) {
            paths_.push_back("/home/someone/Pictures/Holiday 2023/IMG_" +
                             std::to_string(100000 + k) + ".jpg");
        }
    }
    long long count() const override { return static_cast<long long>(paths_.size()); }
    std::string file(long long k) const override { return paths_[static_cast<std::size_t>(k - 1)]; }

  private:
    std::vector<std::string> paths_;
};

// FrameFix does not move: the list logic only reads its height.
class FixedFrame : public vantrel::Frame {
  public:
    double top() const override { return 4080; }
    void setTop(double /*top*/) override {}
    double height() const override { return 2775; }
    void setHeight(double /*height*/) override {}
};

struct Row {
    double drop;
    double perRowBytes;
    double scrollStep;
    double deleteFirst;
    double clear;
};

Row measure(int files) {
    QWidget window;
    window.resize(toPixels(8490), toPixels(7260));
    auto* frameFix = new QGroupBox(QStringLiteral(" Filename") + QString(97, QLatin1Char(' ')) +
                                       QStringLiteral("No. of Copies"),
                                   &window);
    frameFix->setGeometry(toPixels(360), toPixels(4080), toPixels(8055), toPixels(2775));
    auto* slide = new vantrel::qt::SlidingFrame(frameFix, {120, 360, 7815, 1455},
                                                {120, 120, 6735, 375}, {6840, 120, 855, 375});
    slide->Text1().item(0).setTop(-195);
    slide->CopyTimes().item(0).setTop(-195);
    FixedFrame fixedFrame;
    vantrel::fake::FakeScrollBar bar;
    bar.setMin(-30);
    bar.setVisible(false);
    vantrel::fake::FakeMessageBox messageBox;
    vantrel::FileListControls controls{slide->Text1(), slide->CopyTimes(), *slide, fixedFrame, bar};
    window.show();
    QCoreApplication::processEvents();
    const auto paint = [&window] {
        QCoreApplication::processEvents();
        window.grab();
    };
    paint();

    Row row{};
    const PathList drop(files);
    const long long before = residentBytes();
    auto start = Clock::now();
    vantrel::Picture1_OLEDragDrop(controls, drop, messageBox);
    paint();
    row.drop = milliseconds(start);
    row.perRowBytes = static_cast<double>(residentBytes() - before) / files;
    if (!messageBox.shown.empty() || slide->Text1().count() != files + 1) {
        std::fprintf(stderr, "the drop of %d files did not complete\n", files);
        std::exit(1);
    }

    start = Clock::now();
    for (int step = 0; step < kScrollSteps; ++step) {
        bar.value_ = std::min(bar.value_ + bar.smallChange(), bar.max());
        vantrel::VScrollFiles_Change(controls);
        paint();
    }
    row.scrollStep = milliseconds(start) / kScrollSteps;

    start = Clock::now();
    vantrel::PUMenu_DeleteFile_Click(controls, 1);
    paint();
    row.deleteFirst = milliseconds(start);

    start = Clock::now();
    vantrel::ClearBtn_Click(controls, messageBox);
    paint();
    row.clear = milliseconds(start);
    return row;
}

// One cell: the figure, then its goal and the ratio figure / goal where there is a goal.
std::string cell(double value, double goal, const char* unit) {
    char text[64];
    if (goal > 0) {
        std::snprintf(text, sizeof text, "%8.1f %-2s (goal %4.0f, ratio %5.3f)", value, unit, goal,
                      value / goal);
    } else {
        std::snprintf(text, sizeof text, "%8.1f %-2s", value, unit);
    }
    return text;
}

void printRow(int files, const Row& row) {
    std::printf("| %6d | %-36s | %-36s | %-11s | %-11s | %-36s |\n", files,
                cell(row.drop,
                     files == 10000   ? 1000
                     : files == 32767 ? 3000
                                      : 0,
                     "ms")
                    .c_str(),
                cell(row.deleteFirst, files == 32767 ? 100 : 0, "ms").c_str(),
                cell(row.clear, 0, "ms").c_str(), cell(row.scrollStep, 0, "ms").c_str(),
                cell(row.perRowBytes, 4096, "B").c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QApplication app(argc, argv);
        const int files = std::atoi(argv[1]);
        printRow(files, measure(files));
        return 0;
    }
    std::printf(
        "Offscreen, each time up to the window painted; a scroll step is one arrow click "
        "(200 units), averaged over %d.\n\n",
        kScrollSteps);
    std::printf("| %6s | %-36s | %-36s | %-11s | %-11s | %-36s |\n", "files", "drop",
                "delete entry 1", "Clear List", "scroll step", "memory per row");
    std::printf(
        "|--------|--------------------------------------|--------------------------------------"
        "|-------------|-------------|--------------------------------------|\n");
    std::fflush(stdout);
    for (int files : kSizes) {
        std::string command = "'";
        command += argv[0];
        command += "' ";
        command += std::to_string(files);
        if (std::system(command.c_str()) != 0) {
            return 1;
        }
    }
    return 0;
}
