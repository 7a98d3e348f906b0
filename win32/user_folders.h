#pragma once

#include <string>

namespace vantrel::win32 {

// The user's %LOCALAPPDATA% folder, the system's per-user place for a program's own files;
// empty when the system names none.
std::string localAppDataFolder();

}  // namespace vantrel::win32
