#include "platform/fs/copy_engine_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <exception>
#include <memory>

#include "platform/handle_win32.h"

namespace vantrel {

namespace {

// COPYFILE2_EXTENDED_PARAMETERS_V2 of Windows 11 22H2, which MinGW-w64's headers lack.
struct CopyFile2ParametersV2 {
    DWORD dwSize;
    DWORD dwCopyFlags;
    BOOL* pfCancel;
    PCOPYFILE2_PROGRESS_ROUTINE pProgressRoutine;
    PVOID pvCallbackContext;
    DWORD dwCopyFlagsV2;
    ULONG ioDesiredSize;
    ULONG ioDesiredRate;
    PVOID reserved[8];
};
// COPY_FILE_ENABLE_SPARSE_COPY, taken from Windows 11 22H2 on.
constexpr DWORD kEnableSparseCopy = 0x20000000;
constexpr DWORD kProbePiece = 1u << 20;

using CopyFile2Function = HRESULT(WINAPI*)(PCWSTR, PCWSTR, COPYFILE2_EXTENDED_PARAMETERS*);

// Looked up, not imported: the program must start where it is missing, as under Wine 8.
CopyFile2Function copyFile2() {
    static const CopyFile2Function function = [] {
        const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
        return kernel == nullptr ? nullptr
                                 : reinterpret_cast<CopyFile2Function>(reinterpret_cast<void (*)()>(
                                       ::GetProcAddress(kernel, "CopyFile2")));
    }();
    return function;
}

// Windows 11 22H2, the first to take the longer parameters and sparse copies.
constexpr ULONG kLongParametersBuild = 22621;

using RtlGetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);

// Told by the system's build, which RtlGetVersion gives truly whatever the manifest declares:
// an older system refuses the longer parameters with E_INVALIDARG, which a volume also gives
// for reasons of its own, so a refusal cannot tell.
bool longParametersTaken() {
    static const bool taken = [] {
        const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
        const auto getVersion =
            ntdll == nullptr ? nullptr
                             : reinterpret_cast<RtlGetVersionFunction>(reinterpret_cast<void (*)()>(
                                   ::GetProcAddress(ntdll, "RtlGetVersion")));
        OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        return getVersion != nullptr && getVersion(&version) == 0 &&
               (version.dwMajorVersion > 10 ||
                (version.dwMajorVersion == 10 && version.dwBuildNumber >= kLongParametersBuild));
    }();
    return taken;
}

bool nameTaken(DWORD error) {
    return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
}

DWORD win32ErrorOf(HRESULT result) {
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result)
                                                      : static_cast<DWORD>(result);
}

// What the engine's progress callbacks do for the copy, where the engine calls them (Windows;
// Wine 8 never does). A failure inside one stops the copy; it is raised once the engine has
// returned, as nothing may leave a callback.
class Callbacks {
  public:
    Callbacks(bool flush, bool hide, const CopyProgress& progress)
        : flush_(flush), hide_(hide), progress_(progress) {}

    template <typename Action>
    bool guard(const Action& action) {
        try {
            action();
            return true;
        } catch (...) {
            failure_ = std::current_exception();
            return false;
        }
    }

    // The first stream is the file's data: the file stays hidden until it is finished.
    void streamStarted(HANDLE destination, DWORD stream) {
        streams_ = true;
        if (stream == 1 && hide_) {
            FILE_BASIC_INFO information{};
            information.FileAttributes = FILE_ATTRIBUTE_HIDDEN;
            if (!::SetFileInformationByHandle(destination, FileBasicInfo, &information,
                                              sizeof information)) {
                throw failureFromWin32(::GetLastError());
            }
        }
    }

    // Through the engine's own handle: a read-only copy could not be opened for writing later.
    void streamFinished(HANDLE destination) const {
        if (flush_ && !::FlushFileBuffers(destination)) {
            throw failureFromWin32(::GetLastError());
        }
    }

    void bytes(std::uint64_t copied, std::uint64_t total) {
        copied_ = copied;
        if (progress_) {
            progress_(copied, total);
        }
    }

    void failedIn(COPYFILE2_COPY_PHASE phase, HRESULT result) {
        phase_ = phase;
        failedWith_ = win32ErrorOf(result);
    }

    void rethrow() const {
        if (failure_) {
            std::rethrow_exception(failure_);
        }
    }

    bool failed() const { return failure_ != nullptr; }
    std::uint64_t copied() const { return copied_; }
    bool streams() const { return streams_; }
    COPYFILE2_COPY_PHASE phase() const { return phase_; }
    // The engine's own error where it told one, else what its call returned.
    DWORD error(DWORD returned) const {
        return returned == ERROR_REQUEST_ABORTED && failedWith_ != ERROR_SUCCESS ? failedWith_
                                                                                 : returned;
    }

  private:
    bool flush_;
    bool hide_;
    const CopyProgress& progress_;
    std::exception_ptr failure_;
    std::uint64_t copied_ = 0;
    bool streams_ = false;
    COPYFILE2_COPY_PHASE phase_ = COPYFILE2_PHASE_NONE;
    DWORD failedWith_ = ERROR_SUCCESS;
};

COPYFILE2_MESSAGE_ACTION CALLBACK onCopyFile2(const COPYFILE2_MESSAGE* message, PVOID context) {
    auto& callbacks = *static_cast<Callbacks*>(context);
    const bool going = callbacks.guard([&] {
        switch (message->Type) {
            case COPYFILE2_CALLBACK_STREAM_STARTED:
                callbacks.streamStarted(message->Info.StreamStarted.hDestinationFile,
                                        message->Info.StreamStarted.dwStreamNumber);
                break;
            case COPYFILE2_CALLBACK_CHUNK_FINISHED:
                callbacks.bytes(message->Info.ChunkFinished.uliTotalBytesTransferred.QuadPart,
                                message->Info.ChunkFinished.uliTotalFileSize.QuadPart);
                break;
            case COPYFILE2_CALLBACK_STREAM_FINISHED:
                callbacks.streamFinished(message->Info.StreamFinished.hDestinationFile);
                break;
            case COPYFILE2_CALLBACK_ERROR:
                callbacks.failedIn(message->Info.Error.CopyPhase, message->Info.Error.hrFailure);
                break;
            default:
                break;
        }
    });
    return going && message->Type != COPYFILE2_CALLBACK_ERROR ? COPYFILE2_PROGRESS_CONTINUE
                                                              : COPYFILE2_PROGRESS_CANCEL;
}

DWORD CALLBACK onCopyFileEx(LARGE_INTEGER total, LARGE_INTEGER copied, LARGE_INTEGER streamSize,
                            LARGE_INTEGER streamCopied, DWORD stream, DWORD reason,
                            HANDLE /*source*/, HANDLE destination, LPVOID context) {
    auto& callbacks = *static_cast<Callbacks*>(context);
    const bool going = callbacks.guard([&] {
        if (reason == CALLBACK_STREAM_SWITCH) {
            callbacks.streamStarted(destination, stream);
        }
        if (streamCopied.QuadPart == streamSize.QuadPart) {
            callbacks.streamFinished(destination);
        }
        if (reason == CALLBACK_CHUNK_FINISHED) {
            callbacks.bytes(static_cast<std::uint64_t>(copied.QuadPart),
                            static_cast<std::uint64_t>(total.QuadPart));
        }
    });
    return going ? PROGRESS_CONTINUE : PROGRESS_CANCEL;
}

DWORD runCopyFile2(CopyFile2Function copy, const std::wstring& source, const std::wstring& to,
                   Callbacks& callbacks, BOOL* cancel) {
    HRESULT result = S_OK;
    if (longParametersTaken()) {
        CopyFile2ParametersV2 parameters{};
        parameters.dwSize = sizeof parameters;
        parameters.dwCopyFlags = COPY_FILE_FAIL_IF_EXISTS | kEnableSparseCopy;
        parameters.pfCancel = cancel;
        parameters.pProgressRoutine = onCopyFile2;
        parameters.pvCallbackContext = &callbacks;
        result = copy(source.c_str(), to.c_str(),
                      reinterpret_cast<COPYFILE2_EXTENDED_PARAMETERS*>(&parameters));
    } else {
        COPYFILE2_EXTENDED_PARAMETERS parameters{};
        parameters.dwSize = sizeof parameters;
        parameters.dwCopyFlags = COPY_FILE_FAIL_IF_EXISTS;
        parameters.pfCancel = cancel;
        parameters.pProgressRoutine = onCopyFile2;
        parameters.pvCallbackContext = &callbacks;
        result = copy(source.c_str(), to.c_str(), &parameters);
    }
    return SUCCEEDED(result) ? ERROR_SUCCESS : callbacks.error(win32ErrorOf(result));
}

DWORD runCopyFileEx(const std::wstring& source, const std::wstring& to, Callbacks& callbacks,
                    BOOL* cancel) {
    if (::CopyFileExW(source.c_str(), to.c_str(), onCopyFileEx, &callbacks, cancel,
                      COPY_FILE_FAIL_IF_EXISTS)) {
        return ERROR_SUCCESS;
    }
    return ::GetLastError();
}

// Returns when the source can be opened and, when `readPiece`, the piece where the copy
// stopped read again; else raises the source's failure. Never the whole source, which may be
// gigabytes over a network.
void probeSource(const std::wstring& source, std::uint64_t stoppedAt, bool readPiece) {
    const Handle in(::CreateFileW(source.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.valid()) {
        throw sourceFailure(::GetLastError());
    }
    if (!readPiece) {
        return;
    }
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(stoppedAt);
    const auto buffer = std::make_unique<char[]>(kProbePiece);
    DWORD got = 0;
    if (!::SetFilePointerEx(in.get(), at, nullptr, FILE_BEGIN) ||
        !::ReadFile(in.get(), buffer.get(), kProbePiece, &got, nullptr)) {
        throw sourceFailure(::GetLastError());
    }
}

// How far a failed copy came: what the engine reported, or what it left written.
std::uint64_t stoppedAt(const std::wstring& to, std::uint64_t reported) {
    WIN32_FILE_ATTRIBUTE_DATA written{};
    if (!::GetFileAttributesExW(to.c_str(), GetFileExInfoStandard, &written)) {
        return reported;
    }
    return std::max(reported, (std::uint64_t{written.nFileSizeHigh} << 32) | written.nFileSizeLow);
}

// Wine's engine leaves what it wrote when it fails; the name was free, so that is the engine's.
void removeFragment(const std::wstring& to) {
    // A copy of a read-only source is read-only, and such a file cannot be deleted.
    ::SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileW(to.c_str());
}

}  // namespace

Failure sourceFailure(unsigned long error) {
    const Failure failure = failureFromWin32(error);
    const int number = failure.number();
    if (number == kDiskFull || number == kPermissionDenied || number == kDiskNotReady ||
        number == kFileTooLarge) {
        return Failure(kPathFileAccessError, failure.reason());
    }
    return failure;
}

bool copyWithEngine(const std::wstring& source, const std::wstring& to, bool flush,
                    const CopyProgress& progress, BOOL* cancel, EngineCopy& made, bool temporary) {
    Callbacks callbacks(flush, temporary, progress);
    const CopyFile2Function copy = copyFile2();
    const DWORD error = copy != nullptr ? runCopyFile2(copy, source, to, callbacks, cancel)
                                        : runCopyFileEx(source, to, callbacks, cancel);
    if (error == ERROR_SUCCESS && !callbacks.failed()) {
        made.flushed = callbacks.streams();
        return true;
    }
    if (nameTaken(error)) {
        return false;
    }
    const std::uint64_t stopped = stoppedAt(to, callbacks.copied());
    removeFragment(to);
    // Abandoned on request: no side failed, and the source needs no reading through.
    if (*cancel) {
        throw failureFromWin32(ERROR_REQUEST_ABORTED);
    }
    callbacks.rethrow();
    switch (callbacks.phase()) {
        case COPYFILE2_PHASE_PREPARE_SOURCE:
        case COPYFILE2_PHASE_READ_SOURCE:
            throw sourceFailure(error);
        case COPYFILE2_PHASE_PREPARE_DEST:
        case COPYFILE2_PHASE_WRITE_DESTINATION:
            throw failureFromWin32(error);
        default:
            break;
    }
    // The engine did not tell which side failed: the source is tried, and read where the copy
    // stopped unless the disk is full or the file too large, which are the destination's alone.
    probeSource(source, stopped,
                error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL &&
                    error != ERROR_FILE_TOO_LARGE);
    throw failureFromWin32(error);
}

}  // namespace vantrel
