#pragma once

#include <QByteArray>
#include <QComboBox>
#include <QString>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace vantrel::qt {

// A place the drive list offers: the root of a drive or mounted file system, and its label.
struct Drive {
    QString root;
    QString label;
};

// Whether a mounted file system is one a user would copy to: not a pseudo or RAM file system,
// nothing under the system's own trees (/proc, /sys, /dev, /run but /run/media, /boot, /snap ...).
bool isUserMount(const QString& root, const QByteArray& fileSystemType);

// "/", the home folder, then the user mounts by root.
std::vector<Drive> userDrives();

// The drive list (Drive1): a drop-down of drives. Choosing another drive raises the change
// notification; a drive set by the program raises nothing.
class DriveList : public QComboBox, public vantrel::DriveList {
    Q_OBJECT

  public:
    explicit DriveList(QWidget* parent);

    // Replaces the drives offered and selects the one that holds the current folder.
    void setDrives(const std::vector<Drive>& drives);
    // The root of the chosen drive, in the system's own notation.
    std::string drive() const override;
    void restorePrevious() override;

  private:
    void choose(int index);

    int chosen_ = -1;
    int previous_ = -1;
};

}  // namespace vantrel::qt
