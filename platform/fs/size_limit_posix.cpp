#include <sys/vfs.h>

#include "platform/fs/size_limit.h"

namespace vantrel {

namespace {

// MSDOS_SUPER_MAGIC of <linux/magic.h>: the vfat and msdos drivers both.
constexpr long kFatMagic = 0x4d44;

}  // namespace

std::string fileSystemNameOf(const std::string& folder) {
    struct statfs status {};
    if (::statfs(folder.c_str(), &status) != 0) {
        return {};
    }
    return status.f_type == kFatMagic ? "vfat" : "";
}

}  // namespace vantrel
