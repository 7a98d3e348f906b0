#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// The file name of a path: what follows its last separator, or the whole path.
std::string fileNameOf(std::string_view path, char separator);

// Name of the k-th copy: "report.final.pdf" gives "report.final(k).pdf"; a name without a dot
// gets the number appended: "README" gives "README(k)".
std::string copyName(std::string_view fileName, long long k);

}  // namespace vantrel
