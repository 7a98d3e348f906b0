#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/conventions.h"
#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "platform/services.h"
#include "support/fake_controls.h"
#include "support/fake_launcher.h"
#include "support/fake_message_box.h"
#include "support/fake_painter.h"
#include "support/fake_replication_window.h"
#include "support/fake_waiter.h"

// The real file system of the system the tests run on, in a fresh temporary folder. Paths are
// the program's: bytes on Linux, UTF-8 text on Windows, with the system's separator.
namespace vantrel::test {

#ifdef _WIN32
inline constexpr char kSeparator = '\\';
// The number of a failure that names a folder that is not there.
inline constexpr int kFolderMissing = kPathNotFound;
#else
inline constexpr char kSeparator = '/';
inline constexpr int kFolderMissing = kFileNotFound;
#endif

// folder and name with the separator between them.
std::string join(const std::string& folder, const std::string& name);

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return join(path_, name); }

  private:
    std::string path_;
};

// The path as the standard library takes it, and back.
std::filesystem::path toPath(const std::string& path);
std::string fromPath(const std::filesystem::path& path);

std::string readFile(const std::string& path);
// Writes the file with POSIX permissions `mode`, of which Windows keeps only whether the file
// may be written (its read-only attribute).
void writeFile(const std::string& path, const std::string& content, unsigned mode = 0644);
// Gives the file POSIX permissions `mode`, as writeFile does.
void setPermissions(const std::string& path, unsigned mode);
void makeFolder(const std::string& path);
void removeFile(const std::string& path);
// Content of `size` bytes that differs from one block to the next and holds zero bytes.
std::string patterned(std::size_t size, char seed);
// The permission bits of the file, as the system shows them.
unsigned permissionsOf(const std::string& path);
// The permissions a file written with `mode` shows: all of them on POSIX systems; on Windows
// 0444 for a read-only file, 0666 for another.
unsigned shownPermissions(unsigned mode);
// Every entry of the folder, hidden ones included, sorted.
std::vector<std::string> namesIn(const std::string& folder);
// The system's own text for an error code (errno on POSIX, GetLastError on Windows), as the
// system gives it, without a line end.
std::string systemText(unsigned long code);

// Holds the file open as a copy holds the temporary file it writes: POSIX with an exclusive
// lock, Windows without sharing it.
class HeldOpen {
  public:
    explicit HeldOpen(const std::string& path);
    ~HeldOpen();
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

  private:
    std::intptr_t handle_;
};

// Makes a file that cannot be opened for reading: on POSIX systems it has no permissions
// (binding an ordinary user, see asOrdinaryUser), on Windows another program has it open
// without sharing it.
class Unreadable {
  public:
    explicit Unreadable(const std::string& path);
    // The system's reason an open of the file fails with.
    std::string reason() const;

  private:
    std::unique_ptr<HeldOpen> held_;
};

// Whether the tests run under Wine, whose copy engine keeps less than Windows' own.
bool underWine();

// Runs the action on a thread without the capabilities that let root pass over permission bits,
// so that they bind as they do for the program's users; on Windows, as it is.
void asOrdinaryUser(const std::function<void()>& action);

// The failure number the operation raises; a test failure when it raises none.
int numberOf(const std::function<void()>& operation);

// The program of that name in the folder of the running test program.
std::string besideThisProgram(const std::string& name);
// Runs the program with the arguments and waits for it; true when it was killed (SIGKILL, or
// TerminateProcess with exit code 9) rather than ended.
bool endsKilled(const std::string& program, const std::vector<std::string>& arguments);

// ReplicateBtn_Click on the real file system, with the window's controls as fakes; the log is
// Log.txt in logFolder.
struct RealRun : FakeReplicationWindow {
    RealRun(const std::string& logFolder, const std::string& destination,
            RealFileSystem::Options options = {});

    void click();
    std::vector<std::string> texts() const { return messageBox.texts(); }

    Conventions conventions;
    FakeMessageBox messageBox;
    RealFileSystem fs;
    FakeLauncher launcher;
    NoPainting painter;
    NoWaiting waiter;
    Services services;
};

}  // namespace vantrel::test
