#pragma once

#include <string>

#include "platform/fake/fake_controls.h"
#include "replication/replication_controls.h"

namespace vantrel::testing {

// The window's controls that a run reads and writes, as fakes with the window's geometry.
struct FakeReplicationWindow {
    FakeReplicationWindow()
        : controls{saveTo, text1, copyTimes, labelProgress, shapeProgress, shapeProgressBack} {}

    // Adds a file entry below the last one, the way a drop does.
    void addRowPath(const std::string& path, const std::string& count) {
        const int i = text1.count();
        text1.load(i);
        text1.item(i).text_ = path;
        copyTimes.load(i);
        copyTimes.item(i).text_ = count;
    }

    fake::FakeTextBox saveTo;
    fake::FakeTextBoxArray text1{120, 6735, 375};
    fake::FakeTextBoxArray copyTimes{6840, 855, 375};
    fake::FakeLabel labelProgress;
    fake::FakeShape shapeProgress{0};
    fake::FakeShape shapeProgressBack{8055};
    ReplicationControls controls;
};

}  // namespace vantrel::testing
