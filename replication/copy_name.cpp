#include "replication/copy_name.h"

namespace vantrel {

std::string fileNameOf(std::string_view path, char separator) {
    const auto pos = path.rfind(separator);
    return std::string(pos == std::string_view::npos ? path : path.substr(pos + 1));
}

std::string copyName(std::string_view fileName, long long k) {
    const std::string number = "(" + std::to_string(k) + ")";
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return std::string(fileName) + number;
    }
    return std::string(fileName.substr(0, dot)) + number + "." +
           std::string(fileName.substr(dot + 1));
}

}  // namespace vantrel
