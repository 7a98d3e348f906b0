#include "qt/drive_list.h"

#include <mntent.h>

#include <QDir>
#include <QSet>
#include <QStorageInfo>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "qt/byte_text.h"

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
    // Qt gives the home folder and mount points as text decoded from UTF-8, which loses the
    // bytes of a name that is not; the environment and the mount table keep them.
    const QByteArray homeBytes = qgetenv("HOME");
    const QString home = homeBytes.isEmpty()
                             ? QDir::rootPath()
                             : QDir::cleanPath(textOfBytes(homeBytes.toStdString()));
    drives.push_back({QStringLiteral("/"), QString()});
    if (home != QLatin1String("/")) {
        drives.push_back({home, QString()});
    }
    std::vector<Drive> mounts;
    if (FILE* table = setmntent("/proc/self/mounts", "r")) {
        while (const mntent* entry = getmntent(table)) {
            const QString root = textOfBytes(entry->mnt_dir);
            std::error_code error;
            if (root == QLatin1String("/") || root == home ||
                !std::filesystem::is_directory(entry->mnt_dir, error) ||
                !isUserMount(root, entry->mnt_type)) {
                continue;
            }
            mounts.push_back({root, QStorageInfo(root).name()});
        }
        endmntent(table);
    }
    std::sort(mounts.begin(), mounts.end(),
              [](const Drive& a, const Drive& b) { return a.root < b.root; });
    // A place mounted over again is listed once.
    mounts.erase(std::unique(mounts.begin(), mounts.end(),
                             [](const Drive& a, const Drive& b) { return a.root == b.root; }),
                 mounts.end());
    drives.insert(drives.end(), mounts.begin(), mounts.end());
    return drives;
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent) {
    connect(this, &QComboBox::activated, this, &DriveList::choose);
}

void DriveList::setDrives(const std::vector<Drive>& drives) {
    clear();
    std::error_code error;
    const QString current = textOfBytes(std::filesystem::current_path(error).native());
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
    return bytesOfText(currentData().toString());
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
