#pragma once

#include <sys/stat.h>

#include "platform/file_system.h"

namespace vantrel::posix {

// Copies the content of `in`, whose status is `source`, into the empty file `out`, in the
// kernel where it can and keeping holes as holes. A failure to read is the source's, one to
// write the destination's.
void copyContent(int in, int out, const struct stat& source, const CopyProgress& progress);

}  // namespace vantrel::posix

namespace vantrel::posix {

// Gives the file the source's modification time, as the system's own copy does; its access
// time stays that of the copying.
void keepModificationTime(int fd, const struct stat& source);

}  // namespace vantrel::posix
