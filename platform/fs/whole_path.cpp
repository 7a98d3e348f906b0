#include "platform/fs/whole_path.h"

#include <string>

#include "platform/failure.h"

namespace vantrel {

void requireWholePath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) {
        const std::string shown(path.substr(0, path.find('\0')));
        throw Failure(kFileNotFound,
                      "The path " + shown + "... holds a NUL character, so it names no file.");
    }
}

}  // namespace vantrel
