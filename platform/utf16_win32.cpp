#include <windows.h>

#include "platform/failure.h"
#include "platform/utf16.h"
#include "platform/wtf8.h"

namespace vantrel {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::wstring toUtf16(std::string_view utf8) {
    const std::optional<std::u16string> units = wtf8::toUtf16(utf8);
    if (!units) {
        throw failureFromWin32(ERROR_NO_UNICODE_TRANSLATION);
    }
    return std::wstring(units->begin(), units->end());
}

std::string toUtf8(std::wstring_view utf16) {
    return wtf8::fromUtf16(std::u16string(utf16.begin(), utf16.end()));
}

}  // namespace vantrel
