#include <windows.h>

#include <climits>
#include <memory>
#include <random>
#include <string>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#include "platform/utf16.h"

namespace vantrel {

namespace {

// "An operation is not supported on a directory."; older SDK headers lack the name.
constexpr DWORD kDirectoryNotSupported = 336;
// What SetFileAttributesW accepts of the attributes a replaced file had.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                  FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kWriteChunk = 1u << 30;

[[noreturn]] void throwLastError() {
    throw failureFromWin32(::GetLastError());
}

// A failure at the source never takes the numbers of the destination's failures (full, write
// protected, not ready): their messages would send the user to the wrong disk.
[[noreturn]] void throwSourceError(DWORD error) {
    const Failure failure = failureFromWin32(error);
    const int number = failure.number();
    if (number == kDiskFull || number == kPermissionDenied || number == kDiskNotReady) {
        throw Failure(kPathFileAccessError, failure.reason());
    }
    throw failure;
}

// The attributes of what is at path, INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD attributesOf(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND &&
            error != ERROR_INVALID_NAME) {
            throw failureFromWin32(error);
        }
    }
    return attributes;
}

// The attributes of the file that target is about to replace, INVALID_FILE_ATTRIBUTES when
// there is none. A folder is never replaced, and is refused before any copying starts.
DWORD replacedFileAttributes(const std::wstring& target) {
    const DWORD attributes = attributesOf(target);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw failureFromWin32(kDirectoryNotSupported);
    }
    return attributes;
}

// The folder part of path up to and including its last separator; "C:" for a drive-relative
// name, nothing for a bare one.
std::wstring folderPrefixOf(const std::wstring& path) {
    const auto separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos) {
        return path.substr(0, separator + 1);
    }
    if (path.size() >= 2 && path[1] == L':') {
        return path.substr(0, 2);
    }
    return {};
}

// A name beside the target that nothing else is likely to use; callers still retry when taken.
std::wstring freshName(const std::wstring& folderPrefix) {
    static constexpr wchar_t kDigits[] = L"0123456789abcdefghijklmnopqrstuvwxyz";
    thread_local std::mt19937_64 random{std::random_device{}()};
    std::wstring name = folderPrefix + L".vantrel-";
    for (int i = 0; i < 12; ++i) {
        name += kDigits[random() % (sizeof kDigits / sizeof kDigits[0] - 1)];
    }
    return name;
}

bool nameTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

// A file being written beside its target. Until publish() succeeds nothing of it stays behind.
class TempFile {
  public:
    explicit TempFile(const std::wstring& target) : folderPrefix_(folderPrefixOf(target)) {}

    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    ~TempFile() {
        if (!name_.empty()) {
            // A copy of a read-only source is read-only, and such a file cannot be deleted.
            ::SetFileAttributesW(name_.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileW(name_.c_str());
        }
    }

    // Calls create with fresh names until it makes a file there instead of returning false for
    // a name that is taken. A name create was given and did not call taken is ours to remove,
    // even when create failed halfway through.
    template <typename Create>
    void make(const Create& create) {
        for (;;) {
            name_ = freshName(folderPrefix_);
            if (create(name_)) {
                return;
            }
            name_.clear();
        }
    }

    const std::wstring& name() const { return name_; }

    // Without `replacing` nothing at target is replaced: a name taken meanwhile fails with
    // kFileAlreadyExists.
    void publish(const std::wstring& target, bool replacing) {
        const DWORD flags = MOVEFILE_WRITE_THROUGH | (replacing ? MOVEFILE_REPLACE_EXISTING : 0);
        if (!::MoveFileExW(name_.c_str(), target.c_str(), flags)) {
            throwLastError();
        }
        name_.clear();
    }

  private:
    std::wstring folderPrefix_;
    std::wstring name_;
};

class Handle {
  public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }

    HANDLE get() const { return handle_; }

    // Closing is where a network share may report a write it deferred.
    void close() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        if (!::CloseHandle(handle)) {
            throwLastError();
        }
    }

  private:
    HANDLE handle_;
};

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

class OpenAppendedFile : public AppendedFile {
  public:
    explicit OpenAppendedFile(HANDLE file) : file_(file) {}

    bool append(std::string_view text, std::uint64_t length) override {
        BY_HANDLE_FILE_INFORMATION information{};
        LARGE_INTEGER size{};
        if (!::GetFileInformationByHandle(file_.get(), &information) ||
            information.nNumberOfLinks == 0 || !::GetFileSizeEx(file_.get(), &size) ||
            static_cast<std::uint64_t>(size.QuadPart) != length) {
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

}  // namespace

bool RealFileSystem::exists(const std::string& path, Attributes attributes) {
    if (path.empty()) {
        return false;
    }
    const DWORD found = attributesOf(toUtf16(path));
    if (found == INVALID_FILE_ATTRIBUTES) {
        return false;
    }
    return attributes == Attributes::Directory || (found & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

void RealFileSystem::makeDir(const std::string& path) {
    if (!::CreateDirectoryW(toUtf16(path).c_str(), nullptr)) {
        throwLastError();
    }
}

void RealFileSystem::copyFile(const std::string& source, const std::string& target, CopyTo mode,
                              const CopyProgress& /*progress*/) {
    const std::wstring from = toUtf16(source);
    const std::wstring to = toUtf16(target);
    const DWORD sourceAttributes = ::GetFileAttributesW(from.c_str());
    if (sourceAttributes == INVALID_FILE_ATTRIBUTES) {
        throwSourceError(::GetLastError());
    }
    if ((sourceAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        throw failureFromWin32(kDirectoryNotSupported);
    }
    // CopyFileExW reports a source it cannot read like a target it cannot write: opening the
    // source first tells them apart.
    const Handle readable(::CreateFileW(from.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (readable.get() == INVALID_HANDLE_VALUE) {
        throwSourceError(::GetLastError());
    }
    // The user chose to give up the old file for this one: write it past the cache, so it is
    // on the disk before it takes the old one's place.
    const bool present = replacedFileAttributes(to) != INVALID_FILE_ATTRIBUTES;
    if (present && mode == CopyTo::NewFile) {
        throw failureFromWin32(ERROR_FILE_EXISTS);
    }
    const bool replacing = present && mode == CopyTo::Replace;
    const DWORD flags = COPY_FILE_FAIL_IF_EXISTS | (replacing ? COPY_FILE_NO_BUFFERING : 0);
    TempFile temp(to);
    temp.make([&](const std::wstring& name) {
        if (::CopyFileExW(from.c_str(), name.c_str(), nullptr, nullptr, nullptr, flags)) {
            return true;
        }
        const DWORD error = ::GetLastError();
        if (nameTaken(error)) {
            return false;
        }
        throw failureFromWin32(error);
    });
    temp.publish(to, mode == CopyTo::Replace);
}

void RealFileSystem::writeText(const std::string& path, const std::string& text) {
    const std::wstring target = toUtf16(path);
    const DWORD existing = replacedFileAttributes(target);
    const bool replacing = existing != INVALID_FILE_ATTRIBUTES;
    TempFile temp(target);
    HANDLE handle = INVALID_HANDLE_VALUE;
    temp.make([&](const std::wstring& name) {
        handle = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return true;
        }
        const DWORD error = ::GetLastError();
        if (nameTaken(error)) {
            return false;
        }
        throw failureFromWin32(error);
    });
    Handle out(handle);
    writeAll(out.get(), text.data(), text.size());
    out.close();
    // A replaced file keeps the marks a user gave it; either way the file is new for backups.
    const DWORD attributes = (replacing ? existing & kKeptAttributes : 0) | FILE_ATTRIBUTE_ARCHIVE;
    if (!::SetFileAttributesW(temp.name().c_str(), attributes)) {
        throwLastError();
    }
    temp.publish(target, true);
}

std::unique_ptr<AppendedFile> RealFileSystem::openAppended(const std::string& path) {
    // Shared in every way, so that others may still read, replace or remove the log meanwhile.
    const HANDLE file = ::CreateFileW(toUtf16(path).c_str(), GENERIC_WRITE | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    return std::make_unique<OpenAppendedFile>(file);
}

}  // namespace vantrel
