#pragma once

#include <string>

namespace vantrel::win32 {

// The user's %LOCALAPPDATA% folder, the system's per-user place for a program's own files;
// empty when the system names none.
std::string localAppDataFolder();

// Started in its own folder (Program Files\Vantrel, as the Start-menu shortcut and a
// double-click start it), the program begins in the user's Documents folder instead, where
// Dir1 then opens: a per-machine shortcut cannot name each user's own Documents, and the
// program's folder is one the user cannot write. Started anywhere else, it stays there.
void startInDocumentsWhenInOwnFolder();

}  // namespace vantrel::win32
