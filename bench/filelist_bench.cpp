// The file list at its sizes: drop, delete, clear and scroll through the real window's handlers,
// offscreen, each timed to the window painted, with the memory a row adds.
//
// Run without arguments: every list size runs in a fresh process of this program, so that one
// size's freed memory does not flatter the next one's figure.

#include <unistd.h>

#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "platform/conventions.h"
#include "platform/services.h"
#include "qt/form1_window.h"
#include "qt/program.h"
#include "support/fake_file_system.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_waiter.h"

namespace {

using Clock = std::chrono::steady_clock;

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

struct Row {
    double drop;
    double perRowBytes;
    double scrollStep;
    double deleteFirst;
    double clear;
};

Row measure(int files) {
    vantrel::test::FakeMessageBox messageBox;
    const vantrel::Conventions conventions = vantrel::Conventions::current();
    vantrel::test::FakeFileSystem fileSystem(conventions.separator);
    vantrel::test::FakeLauncher launcher;
    vantrel::test::NoPainting painter;
    vantrel::test::NoWaiting waiter;
    vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
    vantrel::qt::Form1Window window(services);
    vantrel::Form1& form = window.logic();
    const vantrel::TextBoxArray& paths = window.controls().Text1;
    auto* bar = window.findChild<QScrollBar*>(QStringLiteral("VScrollFiles"));
    window.open();
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
    form.Picture1_OLEDragDrop(drop);
    paint();
    row.drop = milliseconds(start);
    row.perRowBytes = static_cast<double>(residentBytes() - before) / files;
    if (!messageBox.shown.empty() || paths.count() != files + 1) {
        std::fprintf(stderr, "the drop of %d files did not complete\n", files);
        std::exit(1);
    }

    start = Clock::now();
    for (int step = 0; step < kScrollSteps; ++step) {
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        paint();
    }
    row.scrollStep = milliseconds(start) / kScrollSteps;
    if (bar->value() <= 0) {
        std::fprintf(stderr, "the list of %d files did not scroll\n", files);
        std::exit(1);
    }

    // The right button picks the entry without opening the menu, whose item is then chosen.
    form.Text1_MouseDown(1, 2);
    start = Clock::now();
    form.PUMenu_DeleteFile_Click();
    paint();
    row.deleteFirst = milliseconds(start);

    start = Clock::now();
    form.ClearBtn_Click();
    paint();
    row.clear = milliseconds(start);
    if (!messageBox.shown.empty() || paths.count() != 1) {
        std::fprintf(stderr, "the list of %d files was not cleared\n", files);
        std::exit(1);
    }
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
        vantrel::qt::chooseClassicStyle();
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
