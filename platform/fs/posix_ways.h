#pragma once

namespace vantrel {

// The ways into the file system that only some Linux file systems offer, each of which a test
// may close to take the path the others take without it.
struct PosixWays {
    // Off: temporary files have a name from the start, as where O_TMPFILE is missing.
    bool unnamedTemporaries = true;
    // Off: as where renameat2(RENAME_NOREPLACE) is refused.
    bool exclusiveRename = true;
    // Off: as where hard links are refused.
    bool hardLinks = true;
};

}  // namespace vantrel
