#pragma once

namespace vantrel {

// The ways into the file system that only some Linux file systems offer, each of which a test
// may close to take the path the others take without it. A copy closes, for its folder and the
// rest of the run, each way the file system answers it does not have.
struct PosixWays {
    // Off: temporary files have a name from the start, as where O_TMPFILE is missing.
    bool unnamedTemporaries = true;
    // Off: an unnamed temporary is not named by its descriptor (linkat with AT_EMPTY_PATH), as
    // where the kernel asks for a capability the process lacks.
    bool linksByDescriptor = true;
    // Off: nor through /proc/self/fd, as where /proc is missing.
    bool linksThroughProc = true;
    // Off: as where renameat2(RENAME_NOREPLACE) is refused.
    bool exclusiveRename = true;
    // Off: as where renameat2(RENAME_EXCHANGE) is refused; a replaced file is then looked at
    // just before the rename instead.
    bool exchangeRename = true;
    // Off: as where hard links are refused.
    bool hardLinks = true;
};

}  // namespace vantrel
