#pragma once

#include <string>

#include <gtest/gtest.h>

#include "support/real_folder.h"

namespace vantrel::test {

// Two source files, photo.jpg and a.txt, and an empty destination folder out beside them; the
// log is Log.txt beside them too.
class RealRunTest : public ::testing::Test {
  protected:
    void SetUp() override {
        makeFolder(dest());
        writeFile(photo(), "new photo", 0640);
        writeFile(folder_ / "a.txt", "text a");
    }

    std::string dest() const { return folder_ / "out"; }
    std::string photo() const { return folder_ / "photo.jpg"; }
    std::string inDest(const std::string& name) const { return join(dest(), name); }
    std::string logFile() const { return readFile(folder_ / "Log.txt"); }

    TempFolder folder_;
};

}  // namespace vantrel::test
