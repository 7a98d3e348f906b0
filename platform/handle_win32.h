#pragma once

#include <windows.h>

#include <utility>

#include "platform/failure.h"

namespace vantrel {

// Owns one kernel handle (a file, an event) and closes it at the end of its scope. Functions
// that open files give INVALID_HANDLE_VALUE when they fail, the others null: both mean none.
class Handle {
  public:
    explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    Handle& operator=(Handle&& other) noexcept {
        reset(std::exchange(other.handle_, nullptr));
        return *this;
    }
    ~Handle() { reset(); }

    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = nullptr) {
        if (valid()) {
            ::CloseHandle(handle_);
        }
        handle_ = handle;
    }
    // Closing a file is where a network share may report a write it deferred.
    void close() {
        if (valid() && !::CloseHandle(std::exchange(handle_, nullptr))) {
            throw failureFromWin32(::GetLastError());
        }
    }

  private:
    HANDLE handle_;
};

}  // namespace vantrel
