#include "replication/replication_run.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <optional>
#include <utility>

#include "platform/failure.h"
#include "platform/numbers.h"
#include "replication/copy_name.h"
#include "replication/count_text.h"
#include "replication/destination_folder.h"
#include "replication/replication_log.h"

namespace vantrel {

namespace {

// The message of a copy that failed: the kinds a user can act on have their own words.
std::string copyFailureMessage(const Failure& failure, const std::string& source,
                               const std::string& target) {
    switch (failure.number()) {
        case kDiskFull:
            return "Destination drive is full.";
        case kPermissionDenied:
            return "Permission Denied. The Memory Device is write protected.";
        case kDiskNotReady:
            return "Destination drive not available.";
        case kFileTooLarge:
            return "The file " + source + " is too large for the destination file system.";
        default:
            return "Could not copy " + source + " to " + target + "." + kCrLf + failure.reason();
    }
}

std::string replacePrompt(const std::string& name) {
    return "The file " + name + " exist !" + kCrLf + kCrLf + "Replace existing file? [Yes]" +
           kCrLf + "Skip only this one ! [No]" + kCrLf + "Cancel All ! [Cancel]";
}

class Run {
  public:
    Run(ReplicationControls& controls, Services& services, std::stop_token stop)
        : c_(controls), s_(services), log_(services), stop_(std::move(stop)) {}

    void operator()() {
        if (c_.SaveTo.text().empty()) {
            s_.messageBox.show("Please specify a copy destination.", Buttons::Ok);
            return;
        }
        if (!prepareDestination(c_.SaveTo.text(), s_)) {
            return;
        }
        // Before any question, so that a run whose every answer is No still tidies up.
        s_.fileSystem.removeLeftovers(c_.SaveTo.text());
        rows_ = c_.Text1.count() - 1;
        if (!sumTotal()) {
            return;
        }
        if (rows_ == 0) {
            s_.messageBox.show(std::string("There are no files to copy.") + kCrLf +
                                   "Please, drop files into the drop zone.",
                               Buttons::Ok);
            return;
        }
        try {
            copyRows();
        } catch (...) {
            // Whatever ends the run early, the log file must list every copy it made.
            log_.writeIfBehind();
            throw;
        }
    }

  private:
    // Forms the run total from the count texts, refusing a count no copy number can reach
    // before anything is copied.
    bool sumTotal() {
        for (int i = 1; i <= rows_; ++i) {
            const double reading = numericReading(c_.CopyTimes.item(i).text());
            if (!roundedWithin<std::int16_t>(reading)) {
                s_.messageBox.show("The number of copies in row " + std::to_string(i) +
                                       (reading < 0 ? " is too small (at least -32768)."
                                                    : " is too large (at most 32767)."),
                                   Buttons::Ok);
                return false;
            }
            total_ = static_cast<std::int32_t>(std::nearbyint(total_ + reading));
        }
        return true;
    }

    void copyRows() {
        const char separator = s_.conventions.separator;
        for (int i = 1; i <= rows_; ++i) {
            const std::string fileName = fileNameOf(c_.Text1.item(i).text(), separator);
            const int copies = countValue(c_.CopyTimes.item(i).text());
            for (int k = 1; k <= copies; ++k) {
                if (!copyStep(i, copyName(fileName, k))) {
                    log_.writeIfBehind();
                    s_.painter.paintProgress(true);
                    return;
                }
            }
            c_.LabelProgress.setCaption("Files successfully replicated.");
            c_.ShapeProgress.setWidth(0);
            log_.write();
            // Row ends are painted as often as the window can show them, and the last always.
            s_.painter.paintProgress(i == rows_);
        }
    }

    // One copy of row i; false when the run ends here.
    bool copyStep(int i, const std::string& name) {
        if (stop_.stop_requested()) {
            return cancelled();
        }
        const std::string target = c_.SaveTo.text() + s_.conventions.separator + name;
        bool present = false;
        try {
            present = s_.fileSystem.exists(target, Attributes::File);
        } catch (const Failure& failure) {
            s_.messageBox.show("Could not check " + target + "." + kCrLf + failure.reason(),
                               Buttons::Ok);
            return false;
        }
        bool goOn = false;
        if (present) {
            goOn = askAndCopy(i, name);
        } else {
            const Outcome outcome = copy(i, name, CopyTo::NewFile, std::nullopt);
            // A name taken after the test gets the question it would have had at the test.
            goOn = outcome == Outcome::Done ||
                   (outcome == Outcome::NameTaken && askAndCopy(i, name)) ||
                   (outcome == Outcome::Stopped && cancelled());
        }
        if (!goOn) {
            return false;
        }
        ++progress_;
        c_.LabelProgress.setCaption("Progress : " + std::to_string(progress_) + "/" +
                                    std::to_string(total_));
        showBar(0.0);
        s_.painter.paintProgress(false);
        return true;
    }

    // Asks whether to replace the file at the copy name and copies over it on Yes; false when
    // the run ends here. Only the file asked about is replaced: another one that took the
    // name meanwhile gets a question of its own.
    bool askAndCopy(int i, const std::string& name) {
        const std::string target = c_.SaveTo.text() + s_.conventions.separator + name;
        for (;;) {
            std::optional<FileIdentity> asked;
            try {
                asked = s_.fileSystem.identify(target);
            } catch (const Failure& failure) {
                s_.messageBox.show("Could not check " + target + "." + kCrLf + failure.reason(),
                                   Buttons::Ok);
                return false;
            }
            const Answer answer = s_.messageBox.show(replacePrompt(name), Buttons::YesNoCancel);
            if (answer == Answer::Cancel) {
                return cancelled();
            }
            if (answer != Answer::Yes) {
                return true;
            }
            const Outcome outcome = copy(i, name, CopyTo::Replace, asked.value_or(FileIdentity{}));
            if (outcome == Outcome::Stopped) {
                return cancelled();
            }
            if (outcome != Outcome::NameTaken) {
                return outcome == Outcome::Done;
            }
        }
    }

    // The run ends as cancelled: always false.
    bool cancelled() {
        c_.LabelProgress.setCaption("Copy Cancelled.");
        c_.ShapeProgress.setWidth(0);
        return false;
    }

    // Stopped: the user asked the run to stop during the copy, which is logged if it is whole.
    enum class Outcome { Done, NameTaken, Stopped, RunEnds };

    // Copies row i's file under the copy name and logs it. A failure other than a name taken
    // meanwhile is told and ends the run.
    Outcome copy(int i, const std::string& name, CopyTo mode,
                 const std::optional<FileIdentity>& asked) {
        const std::string source = c_.Text1.item(i).text();
        const std::string target = c_.SaveTo.text() + s_.conventions.separator + name;
        // The copy runs while the window waits for it, the bar following its bytes.
        std::atomic<std::uint64_t> copied = 0;
        std::atomic<std::uint64_t> size = 0;
        try {
            s_.waiter.await(
                [&] {
                    s_.fileSystem.copyFile(
                        source, target, mode,
                        [&](std::uint64_t done, std::uint64_t of) {
                            size = of;
                            copied = done;
                        },
                        asked, stop_);
                },
                [&] {
                    const std::uint64_t of = size;
                    const double within =
                        of == 0
                            ? 0.0
                            : std::min(1.0, static_cast<double>(copied) / static_cast<double>(of));
                    showBar(within);
                });
        } catch (const Failure& failure) {
            // After a stop whatever the copy met is of no more interest than the copy itself.
            if (stop_.stop_requested()) {
                return Outcome::Stopped;
            }
            if (failure.number() == kFileAlreadyExists) {
                return Outcome::NameTaken;
            }
            s_.messageBox.show(copyFailureMessage(failure, source, target), Buttons::Ok);
            return Outcome::RunEnds;
        }
        log_.append(name);
        return stop_.stop_requested() ? Outcome::Stopped : Outcome::Done;
    }

    // The bar's width for the steps done and the share `within` of the step under way.
    void showBar(double within) {
        const double fraction =
            total_ <= 0 ? 0.0
                        : std::clamp((static_cast<double>(progress_) + within) / total_, 0.0, 1.0);
        c_.ShapeProgress.setWidth(static_cast<float>(fraction * c_.ShapeProgressBack.width()));
    }

    ReplicationControls& c_;
    Services& s_;
    ReplicationLog log_;
    int rows_ = 0;
    std::int32_t total_ = 0;
    std::int32_t progress_ = 0;
    std::stop_token stop_;
};

}  // namespace

void ReplicateBtn_Click(ReplicationControls& controls, Services& services, std::stop_token stop) {
    Run run(controls, services, std::move(stop));
    run();
}

}  // namespace vantrel
