// Holds a file open without sharing it for a while, as a virus scanner or the search indexer
// does, so that another program's opens, renames and replacements of it fail meanwhile.
// Usage: hold_file PATH MILLISECONDS
#include <windows.h>

#include <cwchar>

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        return 2;
    }
    const HANDLE file = ::CreateFileW(argv[1], GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 1;
    }
    ::Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 10)));
    ::CloseHandle(file);
    return 0;
}
