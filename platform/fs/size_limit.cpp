#include "platform/fs/size_limit.h"

#include <algorithm>
#include <cctype>

#include "platform/failure.h"

namespace vantrel {

namespace {

constexpr std::uint64_t kFatLargestFile = 0xFFFFFFFFull;

bool sameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

}  // namespace

std::optional<std::uint64_t> largestFileOn(std::string_view fileSystem) {
    for (const std::string_view fat : {"FAT", "FAT12", "FAT16", "FAT32", "vfat", "msdos"}) {
        if (sameName(fileSystem, fat)) {
            return kFatLargestFile;
        }
    }
    return std::nullopt;
}

void refuseTooLarge(std::uint64_t size, const std::string& folder, const FileSystemNameOf& nameOf) {
    // No file system the program knows of holds less: most copies ask the system nothing.
    if (size <= kFatLargestFile) {
        return;
    }
    const std::optional<std::uint64_t> largest =
        largestFileOn(nameOf ? nameOf(folder) : fileSystemNameOf(folder));
    if (largest && size > *largest) {
        throw Failure(kFileTooLarge, "The file is too large for the destination file system.");
    }
}

}  // namespace vantrel
