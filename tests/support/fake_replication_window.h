#pragma once

#include <string>

#include "platform/fake/fake_controls.h"
#include "replication/file_list.h"
#include "replication/replication_controls.h"
#include "support/expected.h"

namespace vantrel::testing {

// The window's controls that a run reads and writes, as fakes with the window's geometry.
struct FakeReplicationWindow {
    FakeReplicationWindow()
        : controls{saveTo, text1, copyTimes, labelProgress, shapeProgress, shapeProgressBack} {}

    // Adds a file entry below the last one, the way a drop does.
    void addRowPath(const std::string& path, const std::string& count) {
        FileList(text1, copyTimes).append(path, count);
    }

    fake::FakeTextBox saveTo;
    fake::FakeTextBoxArray text1{expected::kPathTemplate.left, expected::kPathTemplate.width,
                                 expected::kRowHeight};
    fake::FakeTextBoxArray copyTimes{expected::kCountTemplate.left, expected::kCountTemplate.width,
                                     expected::kRowHeight};
    fake::FakeLabel labelProgress;
    fake::FakeShape shapeProgress{0};
    fake::FakeShape shapeProgressBack{expected::kFullBar};
    ReplicationControls controls;
};

}  // namespace vantrel::testing
