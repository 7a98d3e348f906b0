#include "support/tmpfs_mount.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <stdexcept>

namespace vantrel::test {

namespace {

std::string systemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool writeProcFile(const std::string& path, const std::string& text) {
    std::ofstream out(path);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

// Entered once per process; empty when the process may mount, else the reason.
const std::string& privateMountNamespace() {
    static const std::string whyNot = []() -> std::string {
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        if (::unshare(CLONE_NEWNS) != 0) {
            if (errno != EPERM) {
                return systemError("unshare(CLONE_NEWNS)");
            }
            if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
                return systemError("no right to mount, and no user namespace either: unshare");
            }
            if (!writeProcFile("/proc/self/setgroups", "deny") ||
                !writeProcFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !writeProcFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
                return "could not map the user into the user namespace";
            }
        }
        if (::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
            return systemError("making the mounts private");
        }
        return {};
    }();
    return whyNot;
}

}  // namespace

TmpfsMount::TmpfsMount(const std::string& folder, const std::string& options)
    : folder_(folder), options_(options), whyNot_(privateMountNamespace()) {
    if (!whyNot_.empty()) {
        return;
    }
    if (::mkdir(folder.c_str(), 0755) != 0) {
        whyNot_ = systemError("mkdir " + folder);
    } else if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, options.c_str()) != 0) {
        whyNot_ = systemError("mount -t tmpfs -o " + options + " tmpfs " + folder);
    }
}

TmpfsMount::~TmpfsMount() {
    if (whyNot_.empty()) {
        ::umount2(folder_.c_str(), MNT_DETACH);
    }
}

void TmpfsMount::remountReadOnly() {
    if (::mount("tmpfs", folder_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, options_.c_str()) != 0) {
        throw std::runtime_error(systemError("remount read-only " + folder_));
    }
}

}  // namespace vantrel::test
