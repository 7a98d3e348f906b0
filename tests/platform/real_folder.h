#pragma once

#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/conventions.h"
#include "platform/fake/fake_controls.h"
#include "platform/fake/fake_launcher.h"
#include "platform/fake/fake_message_box.h"
#include "platform/fs/real_file_system.h"
#include "platform/services.h"
#include "support/fake_replication_window.h"

namespace vantrel::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& content, mode_t mode = 0644);
// Content of `size` bytes that differs from one block to the next and holds zero bytes.
std::string patterned(std::size_t size, char seed);
mode_t permissionsOf(const std::string& path);
// Every entry of the folder, hidden ones included, sorted.
std::vector<std::string> namesIn(const std::string& folder);

// Mounts a tmpfs for one test, in a private mount namespace of the test process so that the
// mount never shows outside it; as a user without root rights the namespace is a user
// namespace where the user counts as root.
class TmpfsMount {
  public:
    TmpfsMount(const std::string& folder, const std::string& options);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    // Empty when mounted, else why the mount could not be made.
    const std::string& whyNot() const { return whyNot_; }
    void remountReadOnly();

  private:
    std::string folder_;
    std::string options_;
    std::string whyNot_;
};

// Runs the action on a thread without the capabilities that let root pass over permission bits,
// so that they bind as they do for the program's users.
void asOrdinaryUser(const std::function<void()>& action);

// The failure number the operation raises; a test failure when it raises none.
int numberOf(const std::function<void()>& operation);

// ReplicateBtn_Click on the real file system, with the window's controls as fakes.
struct RealRun : FakeReplicationWindow {
    RealRun(const std::string& logFolder, const std::string& destination,
            RealFileSystem::Options options = {});

    void click();
    std::vector<std::string> texts() const { return messageBox.texts(); }

    Conventions conventions;
    fake::FakeMessageBox messageBox;
    RealFileSystem fs;
    fake::FakeLauncher launcher;
    NoPainting painter;
    Services services;
};

}  // namespace vantrel::testing
