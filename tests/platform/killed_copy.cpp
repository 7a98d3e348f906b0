// Copies a file with the real file system and is killed, as by the user or a crash, just before
// the finished copy takes its name: what it leaves is what the next copy into the folder must
// clear away. Run by RealFileSystemTest.TemporariesOfAKilledCopyGoAtTheNextCopyIntoTheFolder.
// Usage: killed_copy SOURCE TARGET new|replace named|unnamed
#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#endif

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/fs/real_file_system.h"
#ifndef _WIN32
#include "platform/fs/posix_ways.h"
#endif
#ifdef _WIN32
#include "platform/utf16.h"
#endif

namespace {

int copyAndDie(const std::vector<std::string>& arguments) {
    if (arguments.size() != 5) {
        std::fputs("usage: killed_copy SOURCE TARGET new|replace named|unnamed\n", stderr);
        return 2;
    }
    vantrel::RealFileSystem::Options options;
#ifndef _WIN32
    options.ways = std::make_shared<vantrel::PosixWays>(
        vantrel::PosixWays{.unnamedTemporaries = arguments[4] != "named"});
#endif
    options.beforePublish = [](const std::string&) {
#ifdef _WIN32
        ::TerminateProcess(::GetCurrentProcess(), 9);
#else
        ::raise(SIGKILL);
#endif
    };
    const auto mode =
        arguments[3] == "replace" ? vantrel::CopyTo::Replace : vantrel::CopyTo::NewFile;
    try {
        vantrel::RealFileSystem(options).copyFile(arguments[1], arguments[2], mode);
    } catch (const vantrel::Failure& failure) {
        std::fprintf(stderr, "killed_copy: %d %s\n", failure.number(), failure.what());
        return 1;
    }
    std::fputs("killed_copy: the copy was published\n", stderr);
    return 1;
}

}  // namespace

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.push_back(vantrel::toUtf8(argv[i]));
    }
    return copyAndDie(arguments);
}
#else
int main(int argc, char** argv) {
    return copyAndDie(std::vector<std::string>(argv, argv + argc));
}
#endif
