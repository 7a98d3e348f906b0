#pragma once

#include <string>

#include "filelist/file_list.h"
#include "replication/replication_controls.h"
#include "support/expected.h"
#include "support/fake_controls.h"

namespace vantrel::test {

// The window's controls that a run reads and writes, as fakes with the window's geometry.
struct FakeReplicationWindow {
    FakeReplicationWindow()
        : controls{saveTo, text1, copyTimes, labelProgress, shapeProgress, shapeProgressBack} {}

    // Adds a file entry below the last one, the way a drop does.
    void addRowPath(const std::string& path, const std::string& count) {
        FileList(text1, copyTimes).append(path, count);
    }

    FakeTextBox saveTo;
    FakeTextBoxArray text1{expected::kPathTemplate.left, expected::kPathTemplate.width,
                           expected::kRowHeight};
    FakeTextBoxArray copyTimes{expected::kCountTemplate.left, expected::kCountTemplate.width,
                               expected::kRowHeight};
    FakeLabel labelProgress;
    FakeShape shapeProgress{0};
    FakeShape shapeProgressBack{expected::kFullBar};
    ReplicationControls controls;
};

}  // namespace vantrel::test
