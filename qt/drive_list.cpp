#include "qt/drive_list.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>

namespace vantrel::qt {

namespace {

bool isUnder(const QString& path, const QString& root) {
    return path == root || path.startsWith(root.endsWith('/') ? root : root + '/');
}

}  // namespace

bool isUserMount(const QString& root, const QByteArray& fileSystemType) {
    static const QSet<QByteArray> pseudo{
        "proc",       "sysfs",      "devtmpfs",        "devpts",
        "tmpfs",      "ramfs",      "cgroup",          "cgroup2",
        "securityfs", "pstore",     "debugfs",         "tracefs",
        "configfs",   "fusectl",    "mqueue",          "hugetlbfs",
        "bpf",        "autofs",     "binfmt_misc",     "efivarfs",
        "nsfs",       "rpc_pipefs", "squashfs",        "overlay",
        "selinuxfs",  "nfsd",       "fuse.gvfsd-fuse", "fuse.portal",
        "fuse.lxcfs"};
    if (pseudo.contains(fileSystemType)) {
        return false;
    }
    static const QStringList system{"/proc", "/sys",     "/dev",      "/run", "/boot",
                                    "/snap", "/var/lib", "/var/snap", "/etc", "/usr"};
    const bool userMedia = isUnder(root, QStringLiteral("/run/media"));
    return userMedia || std::none_of(system.begin(), system.end(),
                                     [&root](const QString& tree) { return isUnder(root, tree); });
}

std::vector<Drive> userDrives() {
    std::vector<Drive> drives;
#ifdef Q_OS_WIN
    for (const QFileInfo& drive : QDir::drives()) {
        drives.push_back({QDir::toNativeSeparators(drive.absoluteFilePath()), QString()});
    }
#else
    const QString home = QDir::homePath();
    drives.push_back({QStringLiteral("/"), QString()});
    if (home != QLatin1String("/")) {
        drives.push_back({home, QString()});
    }
    std::vector<Drive> mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (root == QLatin1String("/") || root == home || !volume.isValid() ||
            !QFileInfo(root).isDir() || !isUserMount(root, volume.fileSystemType())) {
            continue;
        }
        mounts.push_back({root, volume.name()});
    }
    std::sort(mounts.begin(), mounts.end(),
              [](const Drive& a, const Drive& b) { return a.root < b.root; });
    drives.insert(drives.end(), mounts.begin(), mounts.end());
#endif
    return drives;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, &DriveList::choose);
}

void DriveList::setDrives(const std::vector<Drive>& drives) {
    clear();
    const QString current = QDir::currentPath();
    int holder = -1;
    qsizetype holderLength = -1;
    for (const Drive& drive : drives) {
        const QString shown = drive.label.isEmpty() || drive.label == drive.root
                                  ? drive.root
                                  : drive.root + QStringLiteral(" [") + drive.label + ']';
        addItem(shown, drive.root);
        const QString root = QDir::fromNativeSeparators(drive.root);
        if (isUnder(current, root) && root.size() > holderLength) {
            holder = count() - 1;
            holderLength = root.size();
        }
    }
    setCurrentIndex(holder);
    chosen_ = holder;
    previous_ = holder;
}

std::string DriveList::drive() const {
    return currentData().toString().toStdString();
}

void DriveList::restorePrevious() {
    setCurrentIndex(previous_);
    chosen_ = previous_;
}

void DriveList::choose(int index) {
    if (index == chosen_) {
        return;
    }
    previous_ = chosen_;
    chosen_ = index;
    notifyChange();
}

}  // namespace vantrel::qt
