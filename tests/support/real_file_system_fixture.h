#pragma once

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fs/real_file_system.h"
#ifndef _WIN32
#include "platform/fs/posix_ways.h"
#endif
#include "support/real_folder.h"

namespace vantrel::test {

// A source file a.txt and an empty folder dest beside it.
class RealFileSystemTest : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFolder(dest());
        writeFile(source(), "source content", 0640);
    }

    std::string source() const { return folder_ / "a.txt"; }
    std::string dest() const { return folder_ / "dest"; }
    std::string target(const std::string& name = "a(1).txt") const { return join(dest(), name); }

    TempFolder folder_;
    RealFileSystem fs_;
};

// The ways a finished file takes its name. On Linux, from the one most file systems offer to
// the last resort of one that has neither O_TMPFILE, renameat2(RENAME_NOREPLACE) nor hard
// links, where a new copy is written at its own name; Windows has one.
struct PublishWay {
    const char* name;
#ifndef _WIN32
    PosixWays ways;
#endif

    RealFileSystem::Options options(std::function<void(const std::string&)> hook = {}) const {
        RealFileSystem::Options options;
        options.beforePublish = std::move(hook);
#ifndef _WIN32
        options.ways = std::make_shared<PosixWays>(ways);
#endif
        return options;
    }
};

#ifdef _WIN32
inline const std::vector<PublishWay> kPublishWays = {
    {"MoveFileExW"},
};
#else
inline const std::vector<PublishWay> kPublishWays = {
    {"unnamed temporary, linked by its descriptor", {}},
    {"unnamed temporary, linked through /proc", {.linksByDescriptor = false}},
    // Found out at the first copy: it is written again as a named one.
    {"unnamed temporary that cannot be linked",
     {.linksByDescriptor = false, .linksThroughProc = false}},
    {"named, exclusive rename", {.unnamedTemporaries = false}},
    {"named, hard link, no exchange",
     {.unnamedTemporaries = false, .exclusiveRename = false, .exchangeRename = false}},
    {"named, written at its own name",
     {.unnamedTemporaries = false,
      .exclusiveRename = false,
      .exchangeRename = false,
      .hardLinks = false}},
};
#endif

}  // namespace vantrel::test
