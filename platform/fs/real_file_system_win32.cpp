#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <utility>

#include "platform/failure.h"
#include "platform/fs/copy_engine_win32.h"
#include "platform/fs/held_files_win32.h"
#include "platform/fs/real_file_system.h"
#include "platform/fs/size_limit.h"
#include "platform/fs/temporary_names.h"
#include "platform/fs/whole_path.h"
#include "platform/fs/win32_path.h"
#include "platform/handle_win32.h"
#include "platform/utf16.h"

namespace vantrel {

namespace {

// "An operation is not supported on a directory."; older SDK headers lack the name.
constexpr DWORD kDirectoryNotSupported = 336;
// The attributes a copy takes from its source, and a rewritten log from the file it replaces.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                  FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kWriteChunk = 1u << 30;
constexpr std::wstring_view kExtendedPrefix = L"\\\\?\\";
constexpr std::wstring_view kDevicePrefix = L"\\\\.\\";

[[noreturn]] void throwLastError() {
    throw failureFromWin32(::GetLastError());
}

bool nameTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// The attributes of what is at path, INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD attributesOf(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        // ERROR_DIRECTORY: a file stands where the path needs a folder.
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
            error != ERROR_INVALID_NAME && error != ERROR_DIRECTORY) {
            throw failureFromWin32(error);
        }
    }
    return attributes;
}

[[noreturn]] void refuseFolder() {
    throw failureFromWin32(kDirectoryNotSupported);
}

// Waits while another program holds the source for a moment, before the engine opens it.
void waitForSource(const std::wstring& source, const std::stop_token& stop) {
    const DWORD error = retryWhileHeld(
        [&source] {
            const Handle in(::CreateFileW(source.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
            return in.valid() ? ERROR_SUCCESS : ::GetLastError();
        },
        stop);
    if (error != ERROR_SUCCESS) {
        const Failure failure = heldFileFailure(error, source);
        throw failure.number() == kPathFileAccessError ? failure : sourceFailure(error);
    }
}

// The attributes of the file that a copy or the log is about to take the place of,
// INVALID_FILE_ATTRIBUTES when there is none. A folder is never replaced, and neither is a
// read-only file, as Windows itself refuses to: both are refused before anything is written.
DWORD replacedFileAttributes(const std::wstring& target) {
    const DWORD attributes = attributesOf(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return attributes;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        refuseFolder();
    }
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        throw failureFromWin32(ERROR_ACCESS_DENIED);
    }
    return attributes;
}

// The file at path opened to read its identity, sharing it as `share` says; invalid, with the
// last error set, when it cannot be opened.
Handle openToIdentify(const std::wstring& path, DWORD share) {
    return Handle(::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

bool notFound(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The identity of an open file; none for a folder.
std::optional<FileIdentity> identityOf(const Handle& file) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(file.get(), &information)) {
        throwLastError();
    }
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return std::nullopt;
    }
    return FileIdentity{
        information.dwVolumeSerialNumber,
        (std::uint64_t{information.nFileIndexHigh} << 32) | information.nFileIndexLow};
}

// The folder part of a path as win32Path gives it, up to and including its last separator.
std::wstring folderPrefixOf(const std::wstring& path) {
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

void writeAll(HANDLE out, const char* data, std::size_t size) {
    while (size > 0) {
        const DWORD chunk = size < kWriteChunk ? static_cast<DWORD>(size) : kWriteChunk;
        DWORD written = 0;
        if (!::WriteFile(out, data, chunk, &written, nullptr)) {
            throwLastError();
        }
        if (written == 0) {
            throw failureFromWin32(ERROR_WRITE_FAULT);
        }
        data += written;
        size -= written;
    }
}

// A file in the target's folder under a name of temporary_names.h, written by this program or
// copied by the system's engine. Until it is published nothing of it stays behind. Until then
// it is held open: the clean-up of other copies, which opens a leftover without sharing it,
// then fails to open it and leaves it alone. While the engine writes, the engine's own open
// handle keeps it away; between the engine's end and the hold, it could take a finished copy,
// whose publishing then fails with the file not found, leaving nothing behind.
class TempFile {
  public:
    // A fresh file, open for writing and hidden until it is finished.
    explicit TempFile(const std::wstring& folderPrefix) {
        for (;;) {
            std::wstring name = folderPrefix + toUtf16(freshTemporaryName());
            out_.reset(::CreateFileW(name.c_str(), GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_HIDDEN, nullptr));
            if (out_.valid()) {
                name_ = std::move(name);
                break;
            }
            const DWORD error = ::GetLastError();
            if (!nameTaken(error)) {
                throw failureFromWin32(error);
            }
        }
        hold();
    }

    // A copy of source made by the system's copy engine; flushed on the way when `flush`.
    // Setting `*cancel` abandons it.
    TempFile(const std::wstring& folderPrefix, const std::wstring& source, bool flush,
             const CopyProgress& progress, BOOL* cancel, const std::stop_token& stop) {
        EngineCopy made;
        std::wstring name;
        do {
            name = folderPrefix + toUtf16(freshTemporaryName());
        } while (!copyWithEngine(source, name, flush, progress, cancel, made));
        name_ = std::move(name);
        flushed_ = made.flushed;
        hold(stop);
    }

    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    ~TempFile() { discard(); }

    HANDLE out() const { return out_.get(); }

    // Ends the writing: the file gets its attributes and, when `flush`, is on the disk before
    // it takes another file's place; closing is where a network share reports a write it
    // deferred, so that this happens before the file is published.
    void finish(DWORD attributes, bool flush) {
        if (flush && !flushed_) {
            if (!out_.valid()) {
                reopenForWriting();
            }
            if (!::FlushFileBuffers(out_.get())) {
                throwLastError();
            }
        }
        setAttributes(attributes);
        out_.close();
    }

    // Gives the finished file the target's name. Without `replacing` nothing there is
    // replaced: a name taken meanwhile fails with kFileAlreadyExists.
    // A target another program holds for a moment is waited for.
    void publish(const std::wstring& target, const std::string& given, bool replacing,
                 const RealFileSystem::Options& options, Handle* heldTarget = nullptr,
                 const std::stop_token& stop = {}) {
        if (options.beforePublish) {
            options.beforePublish(given);
        }
        if (heldTarget != nullptr) {
            heldTarget->reset();
        }
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replacing ? MOVEFILE_REPLACE_EXISTING : 0);
        const DWORD error = retryWhileHeld(
            [&] {
                return ::MoveFileExW(name_.c_str(), target.c_str(), flags) ? ERROR_SUCCESS
                                                                           : ::GetLastError();
            },
            stop);
        if (error != ERROR_SUCCESS) {
            // A folder in the way is told as a name taken.
            const DWORD there = attributesOf(target);
            if (there != INVALID_FILE_ATTRIBUTES && (there & FILE_ATTRIBUTE_DIRECTORY) != 0) {
                refuseFolder();
            }
            throw heldFileFailure(error, target);
        }
        name_.clear();
        held_.reset();
    }

  private:
    // Keeps the clean-up away from the file until it is named; waits for a program that
    // looks at the fresh file for a moment.
    void hold(const std::stop_token& stop = {}) {
        const DWORD error = retryWhileHeld(
            [this] {
                held_.reset(::CreateFileW(name_.c_str(), GENERIC_READ | FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
                return held_.valid() ? ERROR_SUCCESS : ::GetLastError();
            },
            stop);
        if (error != ERROR_SUCCESS) {
            discard();
            throw heldFileFailure(error, name_);
        }
    }

    void setAttributes(DWORD attributes) {
        FILE_BASIC_INFO information{};
        information.FileAttributes = attributes;
        if (!::SetFileInformationByHandle(held_.get(), FileBasicInfo, &information,
                                          sizeof information)) {
            throwLastError();
        }
    }

    // For a flush the engine did not make as it wrote. A copy of a read-only source is
    // read-only, and such a file cannot be opened for writing until it is made writable.
    void reopenForWriting() {
        setAttributes(FILE_ATTRIBUTE_HIDDEN);
        out_.reset(::CreateFileW(name_.c_str(), GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out_.valid()) {
            throwLastError();
        }
    }

    // Removes the file unless it has been published.
    void discard() {
        out_.reset();
        held_.reset();
        if (!name_.empty()) {
            // A copy of a read-only source is read-only, and such a file cannot be deleted.
            ::SetFileAttributesW(name_.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(name_.c_str());
            name_.clear();
        }
    }

    Handle out_;
    Handle held_;
    std::wstring name_;
    bool flushed_ = false;
};

// Removes the file if it is a temporary file of ours that nobody has open: only then can it
// be opened without sharing. A folder or a link is left alone.
void removeIfLeftover(const std::wstring& path) {
    const Handle file(::CreateFileW(path.c_str(),
                                    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES, 0,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    FILE_BASIC_INFO information{};
    if (!file.valid() || !::GetFileInformationByHandleEx(file.get(), FileBasicInfo, &information,
                                                         sizeof information)) {
        return;
    }
    if ((information.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) !=
        0) {
        return;
    }
    // A read-only file cannot be deleted: a copy of a read-only source is, once finished.
    if ((information.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        FILE_BASIC_INFO writable{};
        writable.FileAttributes = information.FileAttributes & ~FILE_ATTRIBUTE_READONLY;
        if (writable.FileAttributes == 0) {
            writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        }
        ::SetFileInformationByHandle(file.get(), FileBasicInfo, &writable, sizeof writable);
    }
    FILE_DISPOSITION_INFO dispose{};
    dispose.DeleteFile = TRUE;
    ::SetFileInformationByHandle(file.get(), FileDispositionInfo, &dispose, sizeof dispose);
}

// Removes what killed copies left in the folder. Nothing here may fail a copy.
void removeLeftoversIn(const std::wstring& folderPrefix) {
    WIN32_FIND_DATAW found{};
    const HANDLE search =
        ::FindFirstFileExW((folderPrefix + L".vantrel-*").c_str(), FindExInfoBasic, &found,
                           FindExSearchNameMatch, nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    try {
        do {
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
                isTemporaryName(toUtf8(found.cFileName))) {
                removeIfLeftover(folderPrefix + found.cFileName);
            }
        } while (::FindNextFileW(search, &found));
    } catch (const Failure&) {
    }
    ::FindClose(search);
}

// Whether the folder lets this user create a file but neither read, rename nor remove it, as
// an upload-only share (a hand-in folder) does. Tried with a file under a temporary's name
// asked for all three and deleted on closing: where they are refused, the system refuses the
// whole create and makes nothing. A folder that takes no file at all answers the same, and
// its copies are then refused at their names, leaving nothing either.
bool takesNewFilesOnly(const std::wstring& folderPrefix) {
    for (;;) {
        const std::wstring name = folderPrefix + toUtf16(freshTemporaryName());
        const Handle probe(
            ::CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0, nullptr,
                          CREATE_NEW, FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
        if (probe.valid()) {
            return false;
        }
        const DWORD error = ::GetLastError();
        if (!nameTaken(error)) {
            return error == ERROR_ACCESS_DENIED;
        }
    }
}

// A new copy made the way Explorer makes it in an upload-only folder: straight at its name,
// refused where the name is taken. Only here can a failure part-way leave a partial copy, under
// the copy's own name, as nothing written there may be removed again.
void copyStraightToName(const std::wstring& from, const std::wstring& to,
                        const CopyProgress& progress, BOOL* cancel) {
    EngineCopy made;
    if (!copyWithEngine(from, to, false, progress, cancel, made, false)) {
        throw failureFromWin32(ERROR_FILE_EXISTS);
    }
}

// Rewrites a file in its place, for a file the user may write in a folder the user may not
// (the root of the system drive, for one): with no temporary file beside it, a failure
// part-way leaves it part-written.
void rewriteInPlace(const std::wstring& path, const std::string& text) {
    const Handle out(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!out.valid()) {
        throwLastError();
    }
    writeAll(out.get(), text.data(), text.size());
    if (!::SetEndOfFile(out.get())) {
        throwLastError();
    }
}

class OpenAppendedFile : public AppendedFile {
  public:
    explicit OpenAppendedFile(HANDLE file) : file_(file) {}

    bool append(std::string_view text, std::uint64_t length) override {
        FILE_STANDARD_INFO information{};
        if (!::GetFileInformationByHandleEx(file_.get(), FileStandardInfo, &information,
                                            sizeof information) ||
            information.DeletePending || information.NumberOfLinks == 0 ||
            static_cast<std::uint64_t>(information.EndOfFile.QuadPart) != length) {
            return false;
        }
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(length);
        if (!::SetFilePointerEx(file_.get(), end, nullptr, FILE_BEGIN)) {
            throwLastError();
        }
        try {
            writeAll(file_.get(), text.data(), text.size());
        } catch (const Failure&) {
            // Should the cut fail too, the length shows the next append that the file changed.
            if (::SetFilePointerEx(file_.get(), end, nullptr, FILE_BEGIN)) {
                ::SetEndOfFile(file_.get());
            }
            throw;
        }
        return true;
    }

  private:
    Handle file_;
};

// Where the root of a full path ends: after "C:\", after "\\server\share\", after "\\.\".
std::size_t rootLength(const std::wstring& path) {
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        return 3;
    }
    if (path.starts_with(L"\\\\")) {
        std::size_t separators = 0;
        for (std::size_t i = 2; i < path.size(); ++i) {
            if (path[i] == L'\\' && ++separators == 2) {
                return i + 1;
            }
        }
    }
    return path.size();
}

}  // namespace

std::wstring win32Path(const std::string& path) {
    requireWholePath(path);
    return win32Path(toUtf16(path));
}

std::wstring win32Path(std::wstring_view path) {
    // The system would read the path only up to a NUL: "secret.key\0/cat.jpg" would name
    // secret.key.
    if (path.find(L'\0') != std::wstring_view::npos) {
        throw failureFromWin32(ERROR_INVALID_NAME);
    }
    const std::wstring given(path);
    if (given.empty() || given.starts_with(kExtendedPrefix) || given.starts_with(kDevicePrefix)) {
        return given;
    }
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetFullPathNameW(given.c_str(), static_cast<DWORD>(full.size()),
                                                full.data(), nullptr);
        if (length == 0) {
            throwLastError();
        }
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length);
    }
    if (full.starts_with(kExtendedPrefix) || full.starts_with(kDevicePrefix)) {
        return full;
    }
    const std::size_t root = rootLength(full);
    while (full.size() > root && full.back() == L'\\') {
        full.pop_back();
    }
    if (full.starts_with(L"\\\\")) {
        return std::wstring(kExtendedPrefix) + L"UNC" + full.substr(1);
    }
    if (full.size() >= 2 && full[1] == L':') {
        return std::wstring(kExtendedPrefix) + full;
    }
    return full;
}

bool RealFileSystem::exists(const std::string& path, Attributes attributes) {
    if (path.empty()) {
        return false;
    }
    const DWORD found = attributesOf(win32Path(path));
    if (found == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return attributes == Attributes::Directory || (found & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void RealFileSystem::makeDir(const std::string& path) {
    if (!::CreateDirectoryW(win32Path(path).c_str(), nullptr)) {
        throwLastError();
    }
}

void RealFileSystem::removeLeftovers(const std::string& folder) {
    std::wstring prefix = win32Path(folder);
    if (!prefix.ends_with(L'\\')) {
        prefix += L'\\';
    }
    removeLeftoversIn(prefix);
}

void RealFileSystem::cleanFolderOnce(const std::string& folder) {
    if (!cleanedFolders_.insert(folder).second) {
        return;
    }
    removeLeftovers(folder);
    std::wstring prefix = win32Path(folder);
    if (!prefix.ends_with(L'\\')) {
        prefix += L'\\';
    }
    if (options_.uploadOnly ? options_.uploadOnly(folder) : takesNewFilesOnly(prefix)) {
        writtenInPlace_.insert(folder);
    }
}

void RealFileSystem::copyFile(const std::string& source, const std::string& target, CopyTo mode,
                              const CopyProgress& progress,
                              const std::optional<FileIdentity>& askedAbout, std::stop_token stop) {
    const std::wstring from = win32Path(source);
    const std::wstring to = win32Path(target);
    // A device (NUL, CON, a serial port) is not a file to copy.
    if (from.starts_with(kDevicePrefix)) {
        throw failureFromWin32(ERROR_INVALID_PARAMETER);
    }
    WIN32_FILE_ATTRIBUTE_DATA sourceData{};
    if (!::GetFileAttributesExW(from.c_str(), GetFileExInfoStandard, &sourceData)) {
        throw sourceFailure(::GetLastError());
    }
    const DWORD sourceAttributes = sourceData.dwFileAttributes;
    if ((sourceAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        refuseFolder();
    }
    bool replacing = mode == CopyTo::Replace;
    // The caller found a new copy's name free; should it be taken by now, publishing refuses it.
    if (replacing) {
        replacedFileAttributes(to);
    }
    // The file asked about is held, unshared for deleting, so that nothing can be renamed over
    // it or it away until just before the copy takes its place; if it has gone, the name is
    // taken as a new one.
    Handle asked;
    if (replacing && askedAbout) {
        asked = openToIdentify(to, FILE_SHARE_READ | FILE_SHARE_WRITE);
        if (!asked.valid()) {
            const DWORD error = ::GetLastError();
            if (!notFound(error)) {
                throw failureFromWin32(error);
            }
            replacing = false;
        } else if (identityOf(asked) != askedAbout) {
            throw failureFromWin32(ERROR_FILE_EXISTS);
        }
    }
    const std::wstring folder = folderPrefixOf(to);
    refuseTooLarge((std::uint64_t{sourceData.nFileSizeHigh} << 32) | sourceData.nFileSizeLow,
                   toUtf8(folder), options_.fileSystemName);
    cleanFolderOnce(toUtf8(folder));
    waitForSource(from, stop);
    // The engine polls the flag as it copies; the stop request sets it from another thread.
    BOOL cancel = FALSE;
    const std::stop_callback cancelEngine(stop, [&cancel] { cancel = TRUE; });
    try {
        if (writtenInPlace_.contains(toUtf8(folder))) {
            // Nothing there can be replaced: the file in the way may not be removed.
            if (replacing) {
                throw failureFromWin32(ERROR_ACCESS_DENIED);
            }
            copyStraightToName(from, to, progress, &cancel);
            return;
        }
        // The user chose to give up the old file for this one: make it be on the disk.
        TempFile temp(folder, from, replacing, progress, &cancel, stop);
        temp.finish((sourceAttributes & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE, replacing);
        throwIfStopped(stop);
        temp.publish(to, target, replacing, options_, &asked, stop);
    } catch (const Failure&) {
        // Whatever the abandoned copy met, it was stopped; its temporary is gone.
        throwIfStopped(stop);
        throw;
    }
}

std::optional<FileIdentity> RealFileSystem::identify(const std::string& path) {
    const Handle file =
        openToIdentify(win32Path(path), FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!file.valid()) {
        const DWORD error = ::GetLastError();
        if (notFound(error) || error == ERROR_INVALID_NAME || error == ERROR_DIRECTORY) {
            return std::nullopt;
        }
        throw failureFromWin32(error);
    }
    return identityOf(file);
}

void RealFileSystem::writeText(const std::string& path, const std::string& text) {
    const std::wstring file = win32Path(path);
    const DWORD existing = replacedFileAttributes(file);
    const bool present = existing != INVALID_FILE_ATTRIBUTES;
    const std::wstring folder = folderPrefixOf(file);
    cleanFolderOnce(toUtf8(folder));
    std::optional<TempFile> temp;
    try {
        temp.emplace(folder);
    } catch (const Failure& failure) {
        if (!present || failure.number() != kPermissionDenied) {
            throw;
        }
        rewriteInPlace(file, text);
        return;
    }
    writeAll(temp->out(), text.data(), text.size());
    // A replaced file keeps the marks a user gave it; either way the file is new for backups.
    temp->finish((present ? existing & kKeptAttributes : 0) | FILE_ATTRIBUTE_ARCHIVE, present);
    temp->publish(file, path, true, options_);
}

std::unique_ptr<AppendedFile> RealFileSystem::openAppended(const std::string& path) {
    const std::wstring file = win32Path(path);
    // Shared in every way, so that others may still read, rewrite or remove the log meanwhile.
    const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    auto opened = std::make_unique<OpenAppendedFile>(handle);
    // A device (NUL, CON) put in the file's place takes no log.
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        return nullptr;
    }
    return opened;
}

}  // namespace vantrel
