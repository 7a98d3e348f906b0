// The Windows program's speed, run under Wine or on Windows: the file list at its sizes (drop,
// delete entry 1, Clear List, each timed to the window painted); one 4 KiB file replicated
// 10,000 times through the window's ReplicateBtn_Click beside the same copies made by the core
// alone, both on the real file system; the copy step alone beside a bare CopyFileW loop (alone
// with `win32_bench --copy-step`); and the time from the start of the program to its
// window painted, measured on copies of this bench started as `win32_bench --startup-child`,
// which do what the program's wWinMain does. With `win32_bench --run-control [MiB]` (2048 by
// default) only: the longest a mouse move posted to the window every 5 ms waited to be read while
// one large file was copied through the window, and the time from Yes to "Stop replicating?"
// (asked by Escape a third of the way into the copy) to the end of the run.

#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "filelist/file_list.h"
#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "platform/utf16.h"
#include "replication/replication_run.h"
#include "support/fake_file_system.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"
#include "win32/form1_window.h"
#include "win32/message_pump.h"
#include "win32/program.h"
#include "win32/progress_repainter.h"
#include "win32/waiter.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSizes[] = {1000, 10000, 32767};
constexpr int kCopies = 10000;
// Under Wine the 10,000 copies into one folder take minutes, the core's alone as long as the
// window's; three rounds keep the whole bench near a quarter of an hour.
constexpr int kRounds = 3;
constexpr int kStarts = 5;
constexpr int kStepCopies = 2000;
constexpr int kStepRounds = 5;
constexpr wchar_t kStartupChild[] = L"--startup-child";
constexpr wchar_t kCopyStepOnly[] = L"--copy-step";
constexpr wchar_t kRunControlOnly[] = L"--run-control";
constexpr double kInputGoalMs = 100;
constexpr double kStopGoalMs = 200;

double millisecondsSince(Clock::time_point since) {
    return std::chrono::duration<double, std::milli>(Clock::now() - since).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Paints what is waiting to be painted and answers what is waiting to be answered.
void paint(HWND window) {
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

class PathList : public vantrel::DroppedFiles {
  public:
    explicit PathList(int files) {
        for (int k = 1; k <= files; ++k) {
            paths_.push_back("C:\\Users\\someone\\Pictures\\Holiday 2023\\IMG_" +
                             std::to_string(100000 + k) + ".jpg");
        }
    }
    long long count() const override { return static_cast<long long>(paths_.size()); }
    std::string file(long long k) const override { return paths_[static_cast<std::size_t>(k - 1)]; }

  private:
    std::vector<std::string> paths_;
};

[[noreturn]] void fail(const char* what, int files) {
    std::fprintf(stderr, "%s (%d files)\n", what, files);
    std::exit(1);
}

struct ListTimes {
    double drop;
    double deleteFirst;
    double clear;
};

ListTimes measureList(int files) {
    vantrel::test::FakeMessageBox messageBox;
    const vantrel::Conventions conventions = vantrel::Conventions::windows();
    vantrel::test::FakeFileSystem fileSystem(conventions.separator);
    vantrel::test::FakeLauncher launcher;
    vantrel::test::NoPainting painter;
    vantrel::test::NoWaiting waiter;
    vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
    vantrel::win32::Form1Window window(services);
    vantrel::Form1& form = window.logic();
    window.open();
    paint(window.hwnd());

    ListTimes times{};
    const PathList drop(files);
    auto start = Clock::now();
    form.Picture1_OLEDragDrop(drop);
    paint(window.hwnd());
    times.drop = millisecondsSince(start);
    if (!messageBox.shown.empty() || window.controls().Text1.count() != files + 1) {
        fail("the drop did not complete", files);
    }

    // The right button picks the entry without opening the menu, whose item is then chosen.
    form.Text1_MouseDown(1, 2);
    start = Clock::now();
    form.PUMenu_DeleteFile_Click();
    paint(window.hwnd());
    times.deleteFirst = millisecondsSince(start);

    start = Clock::now();
    form.ClearBtn_Click();
    paint(window.hwnd());
    times.clear = millisecondsSince(start);
    if (!messageBox.shown.empty() || window.controls().Text1.count() != 1) {
        fail("the list was not cleared", files);
    }
    return times;
}

std::string cell(double ms, double goal) {
    char text[64];
    if (goal > 0) {
        std::snprintf(text, sizeof text, "%8.1f ms (goal %4.0f, ratio %5.3f)", ms, goal, ms / goal);
    } else {
        std::snprintf(text, sizeof text, "%8.1f ms", ms);
    }
    return text;
}

void fileList() {
    std::printf("The file list, each time up to the window painted:\n\n");
    std::printf("| %6s | %-34s | %-34s | %-10s |\n", "files", "drop", "delete entry 1",
                "Clear List");
    std::printf(
        "|--------|------------------------------------|-------------------------------"
        "-----|------------|\n");
    // The first window of a process pays for loading fonts and controls: not counted.
    measureList(kSizes[0]);
    for (const int files : kSizes) {
        const ListTimes times = measureList(files);
        std::printf("| %6d | %-34s | %-34s | %-10s |\n", files,
                    cell(times.drop, files == 32767 ? 3000 : 0).c_str(),
                    cell(times.deleteFirst, files == 32767 ? 100 : 0).c_str(),
                    cell(times.clear, 0).c_str());
        std::fflush(stdout);
    }
}

struct RunBench {
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("vantrel-bench-" + std::to_string(::GetCurrentProcessId()));
    std::string source;
    vantrel::test::FakeMessageBox messageBox;
    vantrel::RealFileSystem fileSystem;
    vantrel::test::FakeLauncher launcher;
    vantrel::Conventions conventions = vantrel::Conventions::windows();

    RunBench() {
        std::filesystem::create_directories(folder);
        conventions.logPath = (folder / "Log.txt").string();
        messageBox.alwaysAnswer(vantrel::Answer::Yes);
        source = (folder / "source.bin").string();
        std::ofstream(source, std::ios::binary) << std::string(4096, 'v');
    }
    ~RunBench() { std::filesystem::remove_all(folder); }

    // A fresh, empty destination, so that no copy asks before replacing.
    std::string destination(const std::string& name) {
        const auto to = folder / name;
        std::filesystem::remove_all(to);
        std::filesystem::create_directories(to);
        return to.string();
    }

    void checkCopies(const std::string& destination) {
        const auto made = std::distance(std::filesystem::directory_iterator(destination),
                                        std::filesystem::directory_iterator{});
        if (made != kCopies || !messageBox.shown.empty()) {
            std::fprintf(stderr, "expected %d copies, found %lld; %zu messages\n", kCopies,
                         static_cast<long long>(made), messageBox.shown.size());
            std::exit(1);
        }
    }

    double coreAlone() {
        vantrel::test::FakeReplicationWindow window;
        window.saveTo.setText(destination("core"));
        window.addRowPath(source, std::to_string(kCopies));
        vantrel::test::NoPainting painter;
        vantrel::test::NoWaiting waiter;
        vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        const auto start = Clock::now();
        vantrel::ReplicateBtn_Click(window.controls, services);
        const double ms = millisecondsSince(start);
        checkCopies(window.saveTo.text());
        return ms;
    }

    double throughTheWindow() {
        vantrel::win32::ProgressRepainter painter;
        vantrel::win32::Win32Waiter waiter;
        vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
        vantrel::win32::Form1Window window(services);
        painter.watch(window.hwnd(), window.progressArea());
        window.open();
        paint(window.hwnd());
        const vantrel::Form1Controls& controls = window.controls();
        vantrel::FileList(controls.Text1, controls.CopyTimes)
            .append(source, std::to_string(kCopies));
        const std::string to = destination("window");
        controls.SaveTo.setText(to);
        paint(window.hwnd());
        const auto start = Clock::now();
        window.logic().ReplicateBtn_Click();
        const double ms = millisecondsSince(start);
        checkCopies(to);
        return ms;
    }
};

void replication() {
    RunBench bench;
    std::vector<double> core;
    std::vector<double> window;
    for (int round = 0; round < kRounds; ++round) {
        core.push_back(bench.coreAlone());
        window.push_back(bench.throughTheWindow());
    }
    std::printf("\n%d copies of a 4 KiB file on the real file system, median of %d runs each:\n",
                kCopies, kRounds);
    std::printf("  core alone (fake controls, no painting):    %8.1f ms\n", median(core));
    std::printf("  through the window, progress repainted:     %8.1f ms\n", median(window));
    for (int round = 0; round < kRounds; ++round) {
        std::printf("  round %d: core %.1f ms, window %.1f ms\n", round + 1, core[round],
                    window[round]);
    }
    std::printf(
        "  ratio window / core: %.3f of the medians, %.3f of the fastest runs  "
        "[goal <= 1.3]\n",
        median(window) / median(core),
        *std::min_element(window.begin(), window.end()) /
            *std::min_element(core.begin(), core.end()));
    std::fflush(stdout);
}

// New copies of the 4 KiB file into an empty folder, by the file system's copy step or by bare
// CopyFileW calls, which keep no copy from being seen half-written and replace nothing.
double copySteps(RunBench& bench, bool bare) {
    const std::string to = bench.destination(bare ? "bare" : "step");
    const std::wstring source = std::filesystem::path(bench.source).wstring();
    const auto start = Clock::now();
    for (int k = 1; k <= kStepCopies; ++k) {
        const std::string copy = to + "\\source(" + std::to_string(k) + ").bin";
        if (bare) {
            if (!::CopyFileW(source.c_str(), std::filesystem::path(copy).c_str(), TRUE)) {
                fail("CopyFileW failed", k);
            }
        } else {
            bench.fileSystem.copyFile(bench.source, copy, vantrel::CopyTo::NewFile);
        }
    }
    return millisecondsSince(start);
}

void copyStep() {
    RunBench bench;
    std::vector<double> step;
    std::vector<double> bare;
    for (int round = 0; round < kStepRounds; ++round) {
        step.push_back(copySteps(bench, false));
        bare.push_back(copySteps(bench, true));
    }
    std::printf("\n%d new copies of a 4 KiB file, median of %d alternating rounds:\n", kStepCopies,
                kStepRounds);
    std::printf("  the copy step (RealFileSystem::copyFile): %8.1f ms\n", median(step));
    std::printf("  a bare CopyFileW loop:                    %8.1f ms\n", median(bare));
    std::printf("  ratio copy step / CopyFileW: %.3f  [goal <= 1.15]\n",
                median(step) / median(bare));
    std::fflush(stdout);
}

void goalRow(const char* what, double ms, double goal) {
    std::printf("  %-52s %9.1f ms   goal <= %5.0f ms   ratio %.3f\n", what, ms, goal, ms / goal);
}

struct ControlledRun {
    double ms = 0;
    double longestInputWaitMs = 0;
    double yesToEndMs = -1;
};

// One copy of `source` through the window, as Program wires it. With `input`, a mouse move is
// posted to the window every 5 ms, stamped with its time; with `stopAfterMs`, Escape is posted
// that long into the run and the question is answered Yes.
ControlledRun controlledRun(RunBench& bench, const std::string& source, const std::string& name,
                            bool input, int stopAfterMs) {
    vantrel::win32::ProgressRepainter painter;
    vantrel::win32::Win32Waiter waiter;
    vantrel::Services services{bench.messageBox,  bench.fileSystem, bench.launcher,
                               bench.conventions, painter,          waiter};
    vantrel::win32::Form1Window window(services);
    painter.watch(window.hwnd(), window.progressArea());
    window.open();
    paint(window.hwnd());
    vantrel::FileList(window.controls().Text1, window.controls().CopyTimes).append(source, "1");
    window.controls().SaveTo.setText(bench.destination(name));
    paint(window.hwnd());

    const auto start = Clock::now();
    const auto since = [&start] { return millisecondsSince(start); };
    ControlledRun run;
    const HWND hwnd = window.hwnd();
    const vantrel::win32::MessageFilter read = [&](const MSG& message) {
        if (message.hwnd == hwnd && message.message == WM_MOUSEMOVE) {
            const double posted = static_cast<double>(message.lParam) / 1000;
            run.longestInputWaitMs = std::max(run.longestInputWaitMs, since() - posted);
            return true;
        }
        const bool used = window.translate(message);
        if (message.hwnd == hwnd && message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) {
            run.yesToEndMs = since();
        }
        return used;
    };
    painter.filter = read;
    waiter.filter = read;
    std::atomic<bool> done = false;
    std::thread user([&] {
        bool asked = stopAfterMs == 0;
        while (!done) {
            if (input) {
                ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, static_cast<LPARAM>(since() * 1000));
            }
            if (!asked && since() >= stopAfterMs) {
                ::PostMessageW(hwnd, WM_KEYDOWN, VK_ESCAPE, 0);
                asked = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    });
    window.logic().ReplicateBtn_Click();
    run.ms = since();
    done = true;
    user.join();
    if (run.yesToEndMs >= 0) {
        run.yesToEndMs = run.ms - run.yesToEndMs;
    }
    return run;
}

void runControl(long long mebibytes) {
    RunBench bench;
    const std::string big = (bench.folder / "big.bin").string();
    {
        std::ofstream out(big, std::ios::binary);
        const std::string block(1 << 20, 'v');
        for (long long i = 0; i < mebibytes; ++i) {
            out << block;
        }
    }
    const auto began = Clock::now();
    bench.fileSystem.copyFile(big, bench.destination("alone") + "\\big(1).bin",
                              vantrel::CopyTo::NewFile);
    const double alone = millisecondsSince(began);
    const ControlledRun moving = controlledRun(bench, big, "moving", true, 0);
    const ControlledRun stopped =
        controlledRun(bench, big, "stopped", false, static_cast<int>(std::max(50.0, alone / 3)));
    std::printf("\nOne file of %lld MiB through the window:\n", mebibytes);
    std::printf("  the copy alone, no window:          %9.1f ms\n", alone);
    std::printf("  through the window:                 %9.1f ms\n", moving.ms);
    goalRow("longest wait of input to be read (a move every 5 ms)", moving.longestInputWaitMs,
            kInputGoalMs);
    if (stopped.yesToEndMs < 0) {
        std::printf("  the run ended before Escape was read\n");
    } else {
        goalRow("from Yes to the end of the run (asked at a third)", stopped.yesToEndMs,
                kStopGoalMs);
    }
    std::fflush(stdout);
}

// What wWinMain does, up to the window painted; then it reports and ends.
int startupChild(Clock::time_point sinceStart) {
    ::OleInitialize(nullptr);
    vantrel::win32::Program program;
    program.window().open(SW_SHOWNORMAL);
    ::UpdateWindow(program.window().hwnd());
    std::printf("window shown after %.1f ms in main\n", millisecondsSince(sinceStart));
    std::fflush(stdout);
    return 0;
}

void startup() {
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::vector<double> outside;
    std::vector<double> inside;
    for (int start = 0; start <= kStarts; ++start) {
        const std::wstring quoted = L"\"" + std::wstring(self) + L"\" " + kStartupChild;
        const auto began = Clock::now();
        FILE* child = ::_wpopen(quoted.c_str(), L"r");
        char line[256] = {};
        const bool read = child != nullptr && std::fgets(line, sizeof line, child) != nullptr;
        const double ms = millisecondsSince(began);
        if (child != nullptr) {
            ::_pclose(child);
        }
        double inMain = 0;
        if (!read || std::sscanf(line, "window shown after %lf ms in main", &inMain) != 1) {
            std::fprintf(stderr, "no start-up report from the child\n");
            return;
        }
        // The first start warms the caches and is not counted.
        if (start > 0) {
            outside.push_back(ms);
            inside.push_back(inMain);
        }
    }
    std::printf(
        "\nstart-up (median of %d warm starts): %.1f ms from process start to the window "
        "painted, %.1f ms of it in wWinMain\n",
        kStarts, median(outside), median(inside));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const auto sinceStart = Clock::now();
    if (argc == 2 && std::wstring(argv[1]) == kStartupChild) {
        return startupChild(sinceStart);
    }
    if (argc == 2 && std::wstring(argv[1]) == kCopyStepOnly) {
        copyStep();
        return 0;
    }
    if (argc >= 2 && std::wstring(argv[1]) == kRunControlOnly) {
        runControl(argc == 3 ? std::wcstoll(argv[2], nullptr, 10) : 2048);
        return 0;
    }
    ::OleInitialize(nullptr);
    fileList();
    replication();
    copyStep();
    startup();
    runControl(2048);
    return 0;
}
