#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Names the file system holding a folder (as the system names it: "FAT32", "NTFS", "vfat"),
// empty where it is not known.
using FileSystemNameOf = std::function<std::string(const std::string& folder)>;

// The largest file a file system of this name holds, where that is less than any file the
// program meets: FAT keeps a file's size in 32 bits.
std::optional<std::uint64_t> largestFileOn(std::string_view fileSystem);

// The system's answer for the folder: GetVolumeInformationByHandleW on Windows, statfs's type
// on Linux (size_limit_*.cpp).
std::string fileSystemNameOf(const std::string& folder);

// Refuses at once, with kFileTooLarge, a copy of `size` bytes into `folder` whose file system
// holds no file that large, rather than writing until the file system refuses. `nameOf`, where
// given, answers in place of the system.
void refuseTooLarge(std::uint64_t size, const std::string& folder, const FileSystemNameOf& nameOf);

}  // namespace vantrel
