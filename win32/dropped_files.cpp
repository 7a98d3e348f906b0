#include "win32/dropped_files.h"

#include <shlobj.h>

#include <cstring>

#include "platform/failure.h"
#include "platform/utf16.h"

namespace vantrel::win32 {

namespace {

// Names in the system's code page are converted by the system itself.
std::vector<std::string> queriedNames(HDROP drop) {
    std::vector<std::string> names;
    const UINT files = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    names.reserve(files);
    for (UINT i = 0; i < files; ++i) {
        std::wstring name(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        name.resize(::DragQueryFileW(drop, i, name.data(), static_cast<UINT>(name.size())));
        names.push_back(toUtf8(name));
    }
    return names;
}

// UTF-16 names are read in one pass over the block: DragQueryFileW counts from the first name
// on every call, which for a drop of 32,767 files takes longer than the user waits. The block
// comes from another program, so no read goes past its end, and a block whose header points
// outside it holds no list.
std::optional<std::vector<std::string>> namesOf(HDROP drop) {
    const SIZE_T size = ::GlobalSize(drop);
    const auto* header = static_cast<const DROPFILES*>(::GlobalLock(drop));
    if (header == nullptr) {
        return std::nullopt;
    }
    struct Unlock {
        HDROP drop;
        ~Unlock() { ::GlobalUnlock(drop); }
    } unlock{drop};
    if (size < sizeof(DROPFILES) || header->pFiles < sizeof(DROPFILES) || header->pFiles >= size) {
        return std::nullopt;
    }
    const auto* bytes = reinterpret_cast<const char*>(header);
    if (!header->fWide) {
        // The system reads up to the empty name that ends the list: it must be in the block.
        const char* at = bytes + header->pFiles;
        const char* const end = bytes + size;
        while (at < end && *at != '\0') {
            at =
                static_cast<const char*>(std::memchr(at, '\0', static_cast<std::size_t>(end - at)));
            if (at == nullptr) {
                return std::nullopt;
            }
            ++at;
        }
        if (at == end) {
            return std::nullopt;
        }
        return queriedNames(drop);
    }
    const auto* at = reinterpret_cast<const wchar_t*>(bytes + header->pFiles);
    const auto* end = at + (size - header->pFiles) / sizeof(wchar_t);
    std::vector<std::string> names;
    while (at < end && *at != L'\0') {
        const wchar_t* name = at;
        while (at < end && *at != L'\0') {
            ++at;
        }
        names.push_back(toUtf8(std::wstring_view(name, static_cast<std::size_t>(at - name))));
        ++at;
    }
    return names;
}

}  // namespace

HdropFiles::HdropFiles(HDROP drop) : paths_(namesOf(drop)) {}

long long HdropFiles::count() const {
    if (!paths_) {
        throw Failure(kNoFileList, "The dropped data holds no file list");
    }
    return static_cast<long long>(paths_->size());
}

std::string HdropFiles::file(long long k) const {
    if (k < 1 || k > count()) {
        throw Failure(kSubscriptOutOfRange, "Subscript out of range");
    }
    return (*paths_)[static_cast<std::size_t>(k - 1)];
}

}  // namespace vantrel::win32
