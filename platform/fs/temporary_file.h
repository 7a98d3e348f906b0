#pragma once

#include <sys/stat.h>

#include <functional>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/fs/descriptor.h"
#include "platform/fs/posix_ways.h"

namespace vantrel::posix {

// Called just before a finished file takes its target's name.
using BeforePublish = std::function<void(const std::string& target)>;

// How a finished file fared at its name.
enum class Naming {
    Done,
    Taken,  // something is at the name, and stays
    // The ways left open (PosixWays) cannot give it the name: an unnamed file must be written
    // again as a named one, a named one at its own name (createExclusively).
    Refused,
};

// A name in a folder that is ours to remove until it is released.
class OwnedName {
  public:
    explicit OwnedName(int folder) : folder_(folder) {}
    OwnedName(const OwnedName&) = delete;
    OwnedName& operator=(const OwnedName&) = delete;
    ~OwnedName();

    const std::string& name() const { return name_; }
    bool empty() const { return name_.empty(); }
    void own(std::string name) { name_ = std::move(name); }
    void release() { name_.clear(); }

  private:
    int folder_;
    std::string name_;
};

// A file being written in the folder open as `folder`, which must outlive it; every operation
// is made relative to that folder, so that no path longer than the target's own is ever
// formed. Once published it has the permission bits a new file of `mode` gets in the folder
// (the umask's, or the folder's default ACL's), and until then at least its owner's reading
// and writing. Until it is published nothing of it stays behind: an O_TMPFILE
// file has no name, a named one is removed. A named one is locked from its creation to its
// end, which tells the clean-up of other copies that it is being written. The ways the file
// system refuses are closed in `ways`.
class TempFile {
  public:
    TempFile(int folder, mode_t mode, PosixWays& ways, const std::function<void()>& beforePublish);

    int fd() const { return fd_.get(); }

    // Gives the file exactly the permission bits `mode` once it is published.
    void giveMode(mode_t mode);

    // Gives the complete file the name if nothing has it, leaving anything there alone, a link
    // to nothing too.
    Naming publishNew(const std::string& name);

    // Puts the complete file in the place of the plain file that has the name, the one asked
    // about when `asked` is given, or gives it the name if that is free. Taken when something
    // else is there, which stays; Refused only where an unnamed file cannot be named at all.
    Naming publishReplacing(const std::string& name, const std::optional<FileIdentity>& asked);

  private:
    void settleMode();
    void closeNamed();
    void lock();
    Naming nameNew(const std::string& name);
    Naming exchange(const std::string& name, const std::optional<FileIdentity>& asked);
    bool mayReplace(const std::string& name, const std::optional<FileIdentity>& asked) const;
    Naming linkUnnamed(const std::string& name);

    int folder_;
    PosixWays& ways_;
    const std::function<void()>& beforePublish_;
    Descriptor fd_;
    Descriptor held_;
    // Its bits once published, where they differ from those it was made with.
    std::optional<mode_t> laterMode_;
    // Declared last, so that a name left to remove goes before the descriptors that lock it.
    OwnedName name_;
};

// Creates a file `name` in the folder with the permission bits `mode`, only if nothing is
// there; -1 with errno EEXIST when something is.
int createExclusively(int folder, const std::string& name, mode_t mode);

// Removes what killed copies left in the folder: temporaries of ours that no copy holds.
void removeLeftoversIn(int folder);

}  // namespace vantrel::posix
