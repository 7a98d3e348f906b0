#include "replication/copy_name.h"

namespace vantrel {

std::string fileNameOf(std::string_view path, char separator) {
    const auto pos = path.rfind(separator);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string copyName(std::string_view fileName, long long k) {
    const auto dot = fileName.rfind('.');
    std::string name(fileName.substr(0, dot));
    name += '(';
    name += std::to_string(k);
    name += ')';
    if (dot != std::string_view::npos) {
        name += fileName.substr(dot);
    }
    return name;
}

}  // namespace vantrel
