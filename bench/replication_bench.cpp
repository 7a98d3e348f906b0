// Measures a replication run on the real file system against the references it must keep up
// with, side by side in one run:
//
//   copies   the run against cp doing the same copies (cases SIZExCOUNT), and new copies
//            against two bare loops in this process: the safe steps (O_TMPFILE,
//            copy_file_range, linkat) and the unsafe ones (O_CREAT|O_EXCL at the name);
//   log      N entries of one copy each against one entry of N copies: what the log costs;
//   reflink  4 copies of 256 MiB on an XFS image made with reflink=1 (as root): time and new
//            space used, against cp --reflink=always.
//
//   replication_bench [--dir FOLDER] [--rounds N] [--case SIZExCOUNT]... [--entries N]
//                     [--part copies|log|reflink]...
//
// SIZE is in bytes, or with a suffix K, M or G (powers of 1024); COUNT is the number of
// copies of one file. Without --case it measures 4Kx2000, 1Mx200 and 256Mx4; without --part,
// every part. Each figure is the best of N rounds (5 by default), as other work on the machine
// only ever slows a round.

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "platform/services.h"
#include "replication/replication_run.h"
#include "support/expected.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"

namespace {

using namespace vantrel;
using Clock = std::chrono::steady_clock;

struct Case {
    std::uint64_t size;
    int count;
};

struct Figure {
    double seconds;
    double copiesPerSecond;
    double megabytesPerSecond;
};

constexpr std::uint64_t kKiB = 1024;
constexpr std::uint64_t kMiB = 1024 * kKiB;
constexpr std::uint64_t kGiB = 1024 * kMiB;
constexpr std::uint64_t kSmallGoalSize = 4 * kKiB;
constexpr double kSmallGoal = 20.0;
constexpr std::uint64_t kLargeGoalSize = 256 * kMiB;
constexpr double kLargeGoal = 0.9;
constexpr double kBareSafeGoal = 1.15;

std::uint64_t parseSize(const std::string& text) {
    std::size_t end = 0;
    std::uint64_t size = std::stoull(text, &end);
    const std::string suffix = text.substr(end);
    if (suffix == "K" || suffix == "k") {
        size *= kKiB;
    } else if (suffix == "M") {
        size *= kMiB;
    } else if (suffix == "G") {
        size *= kGiB;
    } else if (!suffix.empty()) {
        throw std::invalid_argument("unknown size suffix: " + text);
    }
    return size;
}

Case parseCase(const std::string& text) {
    const auto x = text.find('x');
    if (x == std::string::npos) {
        throw std::invalid_argument("a case is SIZExCOUNT: " + text);
    }
    const Case result{parseSize(text.substr(0, x)), std::stoi(text.substr(x + 1))};
    // A copy count is a 16-bit number in the window.
    if (result.count < 1 || result.count > 32767) {
        throw std::invalid_argument("the count must be 1 to 32767: " + text);
    }
    return result;
}

std::string sizeText(std::uint64_t size) {
    if (size >= kMiB && size % kMiB == 0) {
        return std::to_string(size / kMiB) + " MiB";
    }
    if (size >= kKiB && size % kKiB == 0) {
        return std::to_string(size / kKiB) + " KiB";
    }
    return std::to_string(size) + " B";
}

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

void writeSource(const std::string& path, std::uint64_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::string block(std::min<std::uint64_t>(size, kMiB), '\0');
    for (std::size_t i = 0; i < block.size(); ++i) {
        block[i] = static_cast<char>(i * 7 + i / 4096);
    }
    for (std::uint64_t left = size; left > 0;) {
        const std::uint64_t n = std::min<std::uint64_t>(left, block.size());
        out.write(block.data(), static_cast<std::streamsize>(n));
        left -= n;
    }
    if (!out.flush()) {
        throw std::runtime_error("cannot write " + path);
    }
}

Figure figure(Clock::duration elapsed, const Case& c, int copies) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    return {seconds, copies / seconds, static_cast<double>(c.size) * copies / seconds / 1e6};
}

struct Row {
    std::string path;
    int count;
};

// Runs ReplicateBtn_Click over the rows into `destination` with the log in `logFolder`,
// answering Yes to each of the `prompts` questions it must ask, and returns the time it took.
Clock::duration timeReplication(const std::string& logFolder, const std::string& destination,
                                const std::vector<Row>& rows, std::size_t prompts) {
    const Conventions conventions = Conventions::posix(logFolder);
    test::FakeMessageBox messageBox;
    messageBox.alwaysAnswer(Answer::Yes);
    RealFileSystem fileSystem;
    test::FakeLauncher launcher;
    test::NoPainting painter;
    test::NoWaiting waiter;
    Services services{messageBox, fileSystem, launcher, conventions, painter, waiter};
    test::FakeReplicationWindow window;
    window.saveTo.text_ = destination;
    for (const Row& row : rows) {
        window.addRowPath(row.path, std::to_string(row.count));
    }

    ::sync();
    const auto start = Clock::now();
    ReplicateBtn_Click(window.controls, services);
    const auto elapsed = Clock::now() - start;

    if (messageBox.shown.size() != prompts || window.labelProgress.caption() != expected::kDone) {
        throw std::runtime_error("the run did not complete: " +
                                 (messageBox.shown.empty() ? window.labelProgress.caption()
                                                           : messageBox.shown.back().text));
    }
    return elapsed;
}

// One file entry of c.count copies into `destination`, answering Yes to every question.
Figure timeRun(const std::string& work, const std::string& source, const std::string& destination,
               const Case& c, bool replacing) {
    const std::size_t prompts = replacing ? static_cast<std::size_t>(c.count) : 0;
    return figure(timeReplication(work, destination, {{source, c.count}}, prompts), c, c.count);
}

Figure timeShell(const std::string& command, const Case& c, int copies) {
    ::sync();
    const auto start = Clock::now();
    const int status = std::system(command.c_str());
    const auto elapsed = Clock::now() - start;
    if (status != 0) {
        throw std::runtime_error("failed: " + command);
    }
    return figure(elapsed, c, copies);
}

std::string cpLoop(const std::string& source, const std::string& destination, int count) {
    return "k=1; while [ $k -le " + std::to_string(count) + " ]; do cp " + shellQuoted(source) +
           " " + shellQuoted(destination) + "/\"sample($k).bin\" || exit 1; k=$((k+1)); done";
}

void checkCopies(const std::string& destination, const Case& c) {
    for (int k = 1; k <= c.count; ++k) {
        const std::string path = destination + "/sample(" + std::to_string(k) + ").bin";
        if (std::filesystem::file_size(path) != c.size) {
            throw std::runtime_error("wrong size: " + path);
        }
    }
}

// Copies the open source into the open file `out` in the kernel.
void copyBare(int in, int out, std::uint64_t size) {
    loff_t from = 0;
    while (from < static_cast<loff_t>(size)) {
        if (::copy_file_range(in, &from, out, nullptr, size - from, 0) <= 0) {
            throw std::runtime_error("copy_file_range failed");
        }
    }
}

// The copies a run makes, by the bare steps alone: `safe` writes an unnamed file and links it
// at its name, as a copy that is never seen half-written must; unsafe writes at the name.
Figure timeBareLoop(const std::string& source, const std::string& destination, const Case& c,
                    bool safe) {
    ::sync();
    const auto start = Clock::now();
    for (int k = 1; k <= c.count; ++k) {
        const std::string name = destination + "/sample(" + std::to_string(k) + ").bin";
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        const int out = safe ? ::open(destination.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644)
                             : ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (in < 0 || out < 0) {
            throw std::runtime_error("cannot open for the bare loop in " + destination);
        }
        copyBare(in, out, c.size);
        if (safe) {
            const std::string self = "/proc/self/fd/" + std::to_string(out);
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) != 0) {
                throw std::runtime_error("cannot link " + name);
            }
        }
        ::close(out);
        ::close(in);
    }
    return figure(Clock::now() - start, c, c.count);
}

void printRow(const std::string& what, const std::string& method, int copies, const Figure& f) {
    std::printf("%-16s %-24s %7d %10.3f %12.0f %10.1f\n", what.c_str(), method.c_str(), copies,
                f.seconds, f.copiesPerSecond, f.megabytesPerSecond);
}

void printRatio(const Figure& run, const Figure& loop, const Case& c, bool withGoal) {
    const double ratio = run.copiesPerSecond / loop.copiesPerSecond;
    std::printf("%-16s %-24s %7s %10s %11.2fx", "", "ratio run / cp loop", "", "", ratio);
    if (withGoal && c.size == kSmallGoalSize) {
        std::printf("   goal >= %.0fx copies/s: %s", kSmallGoal,
                    ratio >= kSmallGoal ? "met" : "MISSED");
    } else if (withGoal && c.size == kLargeGoalSize) {
        std::printf("   goal >= %.1f of cp loop MB/s: %s", kLargeGoal,
                    ratio >= kLargeGoal ? "met" : "MISSED");
    }
    std::printf("\n");
}

struct Round {
    Figure runNew, loopNew, runReplace, loopReplace, single, bareSafe, bareUnsafe;
};

// One round in fresh folders. The method that goes first in a folder group meets a colder
// file system, so rounds alternate which one that is.
Round measureRound(const std::string& work, const std::string& source, const Case& c,
                   bool runFirst) {
    const std::string runDest = work + "/run";
    const std::string cpDest = work + "/cp";
    std::filesystem::create_directory(runDest);
    std::filesystem::create_directory(cpDest);
    Round r{};
    // The bare loops go beside the run's new copies, under the same load of the machine.
    const auto timeBareLoops = [&] {
        for (const bool safe : {true, false}) {
            const std::string bare = work + (safe ? "/safe" : "/unsafe");
            std::filesystem::create_directory(bare);
            (safe ? r.bareSafe : r.bareUnsafe) = timeBareLoop(source, bare, c, safe);
            checkCopies(bare, c);
            std::filesystem::remove_all(bare);
        }
    };
    for (bool replacing : {false, true}) {
        Figure& run = replacing ? r.runReplace : r.runNew;
        Figure& loop = replacing ? r.loopReplace : r.loopNew;
        for (bool runNow : {runFirst, !runFirst}) {
            if (runNow) {
                if (!replacing && !runFirst) {
                    timeBareLoops();
                }
                run = timeRun(work, source, runDest, c, replacing);
                if (!replacing && runFirst) {
                    timeBareLoops();
                }
            } else {
                loop = timeShell(cpLoop(source, cpDest, c.count), c, c.count);
            }
        }
        checkCopies(runDest, c);
        checkCopies(cpDest, c);
    }
    r.single =
        timeShell("cp " + shellQuoted(source) + " " + shellQuoted(work + "/single.bin"), c, 1);
    std::filesystem::remove_all(runDest);
    std::filesystem::remove_all(cpDest);
    std::filesystem::remove(work + "/single.bin");
    return r;
}

void keepBest(Figure& best, const Figure& f) {
    if (best.seconds == 0 || f.seconds < best.seconds) {
        best = f;
    }
}

void measure(const std::string& base, const Case& c, int rounds) {
    std::string work = base + "/vantrel-bench-XXXXXX";
    if (::mkdtemp(work.data()) == nullptr) {
        throw std::runtime_error("cannot make a folder in " + base);
    }
    const std::string source = work + "/sample.bin";
    writeSource(source, c.size);

    Round best{};
    for (int i = 0; i < rounds; ++i) {
        const Round r = measureRound(work, source, c, i % 2 == 0);
        keepBest(best.runNew, r.runNew);
        keepBest(best.loopNew, r.loopNew);
        keepBest(best.runReplace, r.runReplace);
        keepBest(best.loopReplace, r.loopReplace);
        keepBest(best.single, r.single);
        keepBest(best.bareSafe, r.bareSafe);
        keepBest(best.bareUnsafe, r.bareUnsafe);
    }
    std::filesystem::remove_all(work);

    printRow(sizeText(c.size) + " x " + std::to_string(c.count), "run, new targets", c.count,
             best.runNew);
    printRow("", "cp loop, new targets", c.count, best.loopNew);
    printRatio(best.runNew, best.loopNew, c, true);
    printRow("", "run, replacing (Yes)", c.count, best.runReplace);
    printRow("", "cp loop, replacing", c.count, best.loopReplace);
    printRatio(best.runReplace, best.loopReplace, c, false);
    printRow("", "one plain cp", 1, best.single);
    printRow("", "bare safe loop, new", c.count, best.bareSafe);
    printRow("", "bare unsafe loop, new", c.count, best.bareUnsafe);
    const double safeRatio = best.runNew.seconds / best.bareSafe.seconds;
    std::printf("%-16s %-24s %7s %10s %11.2fx", "", "time run / bare safe", "", "", safeRatio);
    if (c.size == kSmallGoalSize) {
        std::printf("   goal <= %.2fx: %s", kBareSafeGoal,
                    safeRatio <= kBareSafeGoal ? "met" : "MISSED");
    }
    std::printf("\n%-16s %-24s %7s %10s %11.2fx\n", "", "time run / bare unsafe", "", "",
                best.runNew.seconds / best.bareUnsafe.seconds);
    std::printf("\n");
}

std::string makeWorkFolder(const std::string& base) {
    std::string work = base + "/vantrel-bench-XXXXXX";
    if (::mkdtemp(work.data()) == nullptr) {
        throw std::runtime_error("cannot make a folder in " + base);
    }
    return work;
}

void printGoal(const char* what, double ratio, const char* goalText, bool met) {
    std::printf("%-16s %-24s %7s %10s %11.2fx   goal %s: %s\n", "", what, "", "", ratio, goalText,
                met ? "met" : "MISSED");
}

// What the log costs: N entries of one copy each make the same copies as one entry of N
// copies, and differ only in their N row ends, at each of which the log file is written.
void measureLog(const std::string& base, int entries, int rounds) {
    constexpr double kGoal = 1.3;
    const std::string work = makeWorkFolder(base);
    const Case c{kSmallGoalSize, entries};
    std::filesystem::create_directory(work + "/sources");
    std::vector<Row> many;
    for (int k = 1; k <= entries; ++k) {
        const std::string path = work + "/sources/entry" + std::to_string(k) + ".bin";
        writeSource(path, c.size);
        many.push_back({path, 1});
    }
    const std::vector<Row> one{{work + "/sources/one.bin", entries}};
    writeSource(one[0].path, c.size);

    // Every run gets a folder of its own, all removed at the end: ext4 slows down the making of
    // files while it passes over inodes freed moments ago.
    Figure bestMany{};
    Figure bestOne{};
    for (int i = 0; i < rounds; ++i) {
        for (bool manyNow : {i % 2 == 0, i % 2 != 0}) {
            const std::string destination =
                work + "/out" + std::to_string(i) + (manyNow ? "-many" : "-one");
            std::filesystem::create_directory(destination);
            const auto& rows = manyNow ? many : one;
            keepBest(manyNow ? bestMany : bestOne,
                     figure(timeReplication(work, destination, rows, 0), c, entries));
        }
    }
    std::filesystem::remove_all(work);

    const std::string n = std::to_string(entries);
    printRow(sizeText(c.size) + " x " + n, n + " entries x 1 copy", entries, bestMany);
    printRow("", "1 entry x " + n + " copies", entries, bestOne);
    const double ratio = bestMany.seconds / bestOne.seconds;
    printGoal("ratio of the times", ratio, "<= 1.3", ratio <= kGoal);
    std::printf("\n");
}

std::uint64_t usedBytes(const std::string& folder) {
    struct statvfs status {};
    if (::statvfs(folder.c_str(), &status) != 0) {
        throw std::runtime_error("statvfs " + folder);
    }
    return static_cast<std::uint64_t>(status.f_blocks - status.f_bfree) * status.f_frsize;
}

// Runs a command quietly; its output is shown only when it fails, as the reason.
std::string failureOf(const std::string& command) {
    const std::string output =
        (std::filesystem::temp_directory_path() / "vantrel-bench-command.txt").string();
    const int status = std::system((command + " >" + output + " 2>&1").c_str());
    std::ifstream in(output);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove(output);
    if (status == 0) {
        return {};
    }
    while (!text.empty() && text.back() == '\n') {
        text.pop_back();
    }
    return command + ": " + (text.empty() ? "exit status " + std::to_string(status) : text);
}

// Four copies of 256 MiB on a file system that shares blocks: the run must reflink them, so
// they take almost no time and no new space.
void measureReflink(const std::string& base) {
    constexpr double kTimeGoal = 0.050;
    constexpr std::uint64_t kSpaceGoal = kMiB;
    const Case c{256 * kMiB, 4};
    std::printf("Reflinks on XFS (mkfs.xfs -m reflink=1) in a 2 GiB loop image under %s\n",
                base.c_str());
    if (::geteuid() != 0) {
        std::printf("skipped: mounting a loop image needs root\n\n");
        return;
    }
    const std::string work = makeWorkFolder(base);
    const std::string image = work + "/xfs.img";
    const std::string mnt = work + "/mnt";
    std::filesystem::create_directory(mnt);
    std::string whyNot = failureOf("truncate -s 2G " + shellQuoted(image));
    if (whyNot.empty()) {
        whyNot = failureOf("mkfs.xfs -q -f -m reflink=1 " + shellQuoted(image));
    }
    if (whyNot.empty()) {
        whyNot = failureOf("mount -t xfs -o loop " + shellQuoted(image) + " " + shellQuoted(mnt));
    }
    if (!whyNot.empty()) {
        std::printf("skipped: %s\n\n", whyNot.c_str());
        std::filesystem::remove_all(work);
        return;
    }
    try {
        const std::string source = mnt + "/sample.bin";
        std::filesystem::create_directory(mnt + "/run");
        std::filesystem::create_directory(mnt + "/cp");
        ::sync();
        std::uint64_t before = usedBytes(mnt);
        writeSource(source, c.size);
        ::sync();
        const std::uint64_t sourceSpace = usedBytes(mnt) - before;

        before = usedBytes(mnt);
        const Figure run =
            figure(timeReplication(work, mnt + "/run", {{source, c.count}}, 0), c, c.count);
        ::sync();
        const std::uint64_t runSpace = usedBytes(mnt) - before;
        checkCopies(mnt + "/run", c);

        before = usedBytes(mnt);
        std::string loop = "k=1; while [ $k -le 4 ]; do cp --reflink=always " +
                           shellQuoted(source) + " " + shellQuoted(mnt + "/cp") +
                           "/\"sample($k).bin\" || exit 1; k=$((k+1)); done";
        const Figure cp = timeShell(loop, c, c.count);
        ::sync();
        const std::uint64_t cpSpace = usedBytes(mnt) - before;
        checkCopies(mnt + "/cp", c);

        std::printf("%-16s %-24s %7s %10s %12s\n", "case", "method", "copies", "seconds",
                    "new space");
        std::printf("%-16s %-24s %7s %10s %8.1f KiB\n", "256 MiB x 4", "the source, written", "",
                    "", sourceSpace / 1024.0);
        std::printf("%-16s %-24s %7d %10.4f %8.1f KiB\n", "", "run", c.count, run.seconds,
                    runSpace / 1024.0);
        std::printf("%-16s %-24s %7d %10.4f %8.1f KiB\n", "", "cp --reflink=always loop", c.count,
                    cp.seconds, cpSpace / 1024.0);
        printGoal("ratio run / cp loop", run.seconds / cp.seconds, "run < 50 ms",
                  run.seconds < kTimeGoal);
        std::printf("%-16s %-24s %7s %10s %8.1f KiB   goal run < 1 MiB new space: %s\n", "", "", "",
                    "", runSpace / 1024.0, runSpace < kSpaceGoal ? "met" : "MISSED");
    } catch (...) {
        failureOf("umount " + shellQuoted(mnt));
        std::filesystem::remove_all(work);
        throw;
    }
    failureOf("umount " + shellQuoted(mnt));
    std::filesystem::remove_all(work);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    try {
        std::string base = std::filesystem::temp_directory_path().string();
        int rounds = 5;
        int entries = 10000;
        std::vector<Case> cases;
        std::set<std::string> parts;
        for (int i = 1; i < argc; ++i) {
            const std::string arg = argv[i];
            const bool takesValue = arg == "--dir" || arg == "--case" || arg == "--rounds" ||
                                    arg == "--entries" || arg == "--part";
            if (!takesValue || i + 1 >= argc) {
                std::fprintf(stderr,
                             "usage: %s [--dir FOLDER] [--rounds N] [--case SIZExCOUNT]... "
                             "[--entries N] [--part copies|log|reflink]...\n",
                             argv[0]);
                return 2;
            }
            const std::string value = argv[++i];
            if (arg == "--dir") {
                base = value;
            } else if (arg == "--rounds") {
                rounds = std::max(1, std::stoi(value));
            } else if (arg == "--entries") {
                entries = parseCase("1x" + value).count;
            } else if (arg == "--part") {
                parts.insert(value);
            } else {
                cases.push_back(parseCase(value));
            }
        }
        if (cases.empty()) {
            cases = {{4 * kKiB, 2000}, {kMiB, 200}, {256 * kMiB, 4}};
        }
        const auto wanted = [&](const char* part) { return parts.empty() || parts.count(part); };

        if (wanted("copies")) {
            std::printf("Copies of one file into an empty folder under %s; best of %d rounds.\n",
                        base.c_str(), rounds);
            std::printf(
                "The source is written just before its case and is read from the page cache as "
                "is;\nno cache is dropped. sync runs before every timing and is not timed. The "
                "copies are\nnot flushed by cp; the run flushes only the targets it replaces. The "
                "cp loop is one\n/bin/sh running cp once per copy. MB = 10^6 bytes.\n\n");
            std::printf("%-16s %-24s %7s %10s %12s %10s\n", "case", "method", "copies", "seconds",
                        "copies/s", "MB/s");
            for (const Case& c : cases) {
                measure(base, c, rounds);
            }
        }
        if (wanted("log")) {
            std::printf(
                "The log's cost under %s, the log file beside the copies; best of %d "
                "rounds.\nThe same copies of 4 KiB files, once as many entries (a row "
                "end and a log write each),\nonce as one entry.\n\n",
                base.c_str(), rounds);
            std::printf("%-16s %-24s %7s %10s %12s %10s\n", "case", "method", "copies", "seconds",
                        "copies/s", "MB/s");
            measureLog(base, entries, rounds);
        }
        if (wanted("reflink")) {
            measureReflink(base);
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "replication_bench: %s\n", error.what());
        return 1;
    }
}
