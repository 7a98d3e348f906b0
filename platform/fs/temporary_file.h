#pragma once

#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/fs/descriptor.h"
#include "platform/fs/posix_ways.h"

namespace vantrel::posix {

// Called just before a finished file takes its target's name.
using BeforePublish = std::function<void(const std::string& target)>;

// How a finished file fared at a name that was to be new.
enum class Naming {
    Done,
    Taken,  // something is at the name, and stays
    // The file system offers no way to give a name without replacing what has it: the file
    // must be written at its own name instead (createExclusively).
    Refused,
};

// A name that is ours to remove until it is released.
class OwnedName {
  public:
    OwnedName() = default;
    OwnedName(const OwnedName&) = delete;
    OwnedName& operator=(const OwnedName&) = delete;
    ~OwnedName();

    const std::string& path() const { return path_; }
    bool empty() const { return path_.empty(); }
    void own(std::string path) { path_ = std::move(path); }
    void release() { path_.clear(); }

  private:
    std::string path_;
};

// A file being written in the target's folder, with the permission bits `mode` from its
// creation, or as soon as it is made where the umask or its owner's access must wait. Until it is
// published nothing of it stays behind: an O_TMPFILE file has no name, a named one is removed. A
// named one is locked from its creation to its end, which tells the clean-up of other copies that
// it is being written.
class TempFile {
  public:
    TempFile(const std::string& folder, mode_t mode, const PosixWays& ways,
             const BeforePublish& beforePublish);

    int fd() const { return fd_.get(); }

    // Gives the complete file the target's name if nothing has it, leaving anything there
    // alone, a link to nothing too.
    Naming publishNew(const std::string& target);

    // Puts the complete file in the place of whatever file is at target.
    void publishReplacing(const std::string& target);

  private:
    void settleMode();
    void closeNamed();
    void lock();
    void beforePublish(const std::string& target) const;
    Naming nameNew(const std::string& target);
    bool linkUnnamed(const std::string& name);

    std::string folder_;
    const PosixWays& ways_;
    const BeforePublish& beforePublish_;
    Descriptor fd_;
    Descriptor held_;
    // Permission bits that would keep the owner from reading it, given once it is finished.
    std::optional<mode_t> laterMode_;
    // Declared last, so that a name left to remove goes before the descriptors that lock it.
    OwnedName name_;
};

// Creates a file at `target` with the permission bits `mode`, only if nothing is there; -1 with
// errno EEXIST when something is.
int createExclusively(const std::string& target, mode_t mode);

// Gives the file the permission bits `mode` where creating it with `created` could not: the
// process's umask takes bits away at creation.
void keepMode(int fd, mode_t mode, mode_t created);

// Removes what killed copies left in the folder: temporaries of ours that no copy holds.
void removeLeftoversIn(const std::string& folder);

}  // namespace vantrel::posix
