#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/conventions.h"
#include "platform/services.h"
#include "support/fake_controls.h"
#include "support/fake_file_system.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"

namespace vantrel::test {

// The two flavours the logic must handle alike, with a source folder and a destination on each.
struct Flavour {
    std::string name;
    Conventions conventions;
    std::string sourceDir;
    std::string destination;
};

inline void PrintTo(const Flavour& flavour, std::ostream* out) {
    *out << flavour.name;
}

inline std::vector<Flavour> flavours() {
    return {{"windows", Conventions::windows(), "C:\\data", "D:\\out"},
            {"posix", Conventions::posix("/home/user"), "/data", "/out"}};
}

class CountingPainter : public ProgressPainter {
  public:
    void paintProgress(bool always) override { (always ? forced : optional)++; }
    int forced = 0;
    int optional = 0;
};

// The window's controls and the outside world as fakes, wired like the window wires them.
struct RunHarness : FakeReplicationWindow {
    explicit RunHarness(const Flavour& flavour)
        : flavour(flavour),
          conventions(flavour.conventions),
          fs(conventions.separator),
          services{messageBox, fs, launcher, conventions, painter, waiter} {
        saveTo.text_ = flavour.destination;
        fs.addDir(conventions.logPath.substr(0, conventions.logPath.rfind(conventions.separator)));
    }

    std::string path(const std::string& folder, const std::string& name) const {
        return folder + conventions.separator + name;
    }
    std::string source(const std::string& name) const { return path(flavour.sourceDir, name); }
    std::string target(const std::string& name) const { return path(saveTo.text_, name); }

    // Adds a file entry for a source file that exists with the content "<name> data".
    void addRow(const std::string& name, const std::string& count) {
        fs.addFile(source(name), name + " data");
        addRowPath(source(name), count);
    }

    std::string logFile() const { return fs.content(conventions.logPath); }
    std::vector<std::string> texts() const { return messageBox.texts(); }

    Flavour flavour;
    Conventions conventions;
    FakeMessageBox messageBox;
    FakeFileSystem fs;
    FakeLauncher launcher;
    CountingPainter painter;
    NoWaiting waiter;
    Services services;
};

}  // namespace vantrel::test
