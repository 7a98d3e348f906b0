#pragma once

#include <windows.h>

#include <string>

#include "platform/failure.h"
#include "platform/file_system.h"

namespace vantrel {

// How the system's copy engine made a file, for what has to follow.
struct EngineCopy {
    // The engine reported its progress, so the callback flushed each stream as it finished.
    bool flushed = false;
};

// Copies source to `to`, a name that must be free, with the system's own copy engine:
// CopyFile2 where the system has it, else CopyFileExW. The copy keeps what the system's copy
// keeps (alternate data streams such as the Mark of the Web, the last-write time, the
// attributes, EFS encryption, sparseness where offered); a copy that cannot stay encrypted
// fails. While the engine reports progress, the file is hidden, its streams are flushed as
// they finish when `flush`, and `progress` follows the bytes. False, with nothing made, when
// the name is taken. A failure has the number of the side that failed: one of the source is
// never disk full, write protected or not ready. Setting `*cancel` abandons the copy, which
// then fails with ERROR_REQUEST_ABORTED. A copy made straight at its name (`temporary` false) is
// not hidden while written.
bool copyWithEngine(const std::wstring& source, const std::wstring& to, bool flush,
                    const CopyProgress& progress, BOOL* cancel, EngineCopy& made,
                    bool temporary = true);

// The failure of a source that cannot be opened or read: never disk full, write protected or
// not ready, whose messages would send the user to the destination.
Failure sourceFailure(unsigned long error);

}  // namespace vantrel
