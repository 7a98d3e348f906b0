#include <windows.h>

#include <climits>

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel {

std::wstring toUtf16(std::string_view utf8) {
    if (utf8.empty()) {
        return {};
    }
    if (utf8.size() > INT_MAX) {
        throw failureFromWin32(ERROR_FILENAME_EXCED_RANGE);
    }
    const int length = static_cast<int>(utf8.size());
    const int size =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (size <= 0) {
        throw failureFromWin32(::GetLastError());
    }
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), size);
    return wide;
}

std::string toUtf8(std::wstring_view utf16) {
    if (utf16.empty()) {
        return {};
    }
    if (utf16.size() > INT_MAX) {
        throw failureFromWin32(ERROR_FILENAME_EXCED_RANGE);
    }
    const int length = static_cast<int>(utf16.size());
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0) {
        throw failureFromWin32(::GetLastError());
    }
    std::string utf8(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace vantrel
