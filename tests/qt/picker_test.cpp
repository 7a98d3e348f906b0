#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <filesystem>

#include "qt/byte_text.h"
#include "support/qt/window_test.h"

using vantrel::qt::DirectoryList;
using vantrel::qt::DriveList;
using vantrel::test::Window;

namespace {

QStringList shownFolders(const DirectoryList& list) {
    QStringList names;
    for (int row = 0; row < list.count(); ++row) {
        names << list.item(row)->text();
    }
    return names;
}

QListWidgetItem* itemNamed(const DirectoryList& list, const QString& name) {
    const QList<QListWidgetItem*> found = list.findItems(name, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}

// A double-click as the window system delivers it: a click, then the second press.
void doubleClick(DirectoryList& list, const QListWidgetItem* item) {
    const QPoint centre = list.visualItemRect(item).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, centre);
}

}  // namespace

class PickerTest : public vantrel::test::WindowTest {
    Q_OBJECT

  private slots:
    void init() {
        QDir root(folders_.path());
        for (const char* name : {"beta", "Alpha", ".hidden", "gamma", "alpha2/inner"}) {
            QVERIFY(root.mkpath(name));
        }
        QFile file(root.filePath("plain.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        WindowTest::init();
        window_->dir1().setPath(folders_.path().toStdString());
    }

    void cleanup() {
        WindowTest::cleanup();
        QVERIFY(QDir(folders_.path()).removeRecursively());
        QVERIFY(QDir().mkpath(folders_.path()));
    }

    void listShowsAncestorsThenSubfolders() {
        const DirectoryList& list = window_->dir1();
        QStringList expected{"/"};
        expected << folders_.path().split('/', Qt::SkipEmptyParts);
        expected << QStringList{"Alpha", "alpha2", "beta", "gamma"};
        QCOMPARE(shownFolders(list), expected);
        QCOMPARE(list.currentItem()->text(), QDir(folders_.path()).dirName());
    }

    void assigningThePathFillsSaveTo() { QCOMPARE(window_->saveTo().text(), folders_.path()); }

    void openingAFolderFillsSaveTo_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("byKey");
        QTest::newRow("double-click") << "gamma" << false;
        QTest::newRow("enter") << "beta" << true;
        QTest::newRow("into a subfolder's subfolder") << "alpha2" << false;
    }

    void openingAFolderFillsSaveTo() {
        QFETCH(QString, folder);
        QFETCH(bool, byKey);
        DirectoryList& list = window_->dir1();
        window_->saveTo().setText("typed before");
        QListWidgetItem* item = itemNamed(list, folder);
        QVERIFY(item != nullptr);
        if (byKey) {
            list.setCurrentItem(item);
            QTest::keyClick(&list, Qt::Key_Return);
        } else {
            doubleClick(list, item);
        }
        const QString opened = QDir(folders_.path()).filePath(folder);
        QCOMPARE(window_->saveTo().text(), opened);
        QCOMPARE(QString::fromStdString(list.path()), opened);
        QCOMPARE(list.currentItem()->text(), folder);
    }

    void openingTheRootGivesTheRootWithItsSeparator() {
        DirectoryList& list = window_->dir1();
        doubleClick(list, list.item(0));
        QCOMPARE(window_->saveTo().text(), QStringLiteral("/"));
    }

    void highlightingChangesNothing() {
        DirectoryList& list = window_->dir1();
        window_->saveTo().setText("typed");
        QListWidgetItem* gamma = itemNamed(list, "gamma");
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(gamma).center());
        QTest::keyClick(&list, Qt::Key_Up);
        QCOMPARE(list.currentItem()->text(), QStringLiteral("beta"));
        QCOMPARE(window_->saveTo().text(), QStringLiteral("typed"));
        QCOMPARE(QString::fromStdString(list.path()), folders_.path());
    }

    void typingInSaveToChangesNeitherList() {
        Window& window = *window_;
        const int drive = window.drive1().currentIndex();
        const QStringList folders = shownFolders(window.dir1());
        window.saveTo().clear();
        QTest::keyClicks(&window.saveTo(), "/somewhere/else");
        QCOMPARE(window.saveTo().text(), QStringLiteral("/somewhere/else"));
        QCOMPARE(window.drive1().currentIndex(), drive);
        QCOMPARE(shownFolders(window.dir1()), folders);
        QCOMPARE(QString::fromStdString(window.dir1().path()), folders_.path());
    }

    void choosingADriveOpensIt() {
        Window& window = *window_;
        const QString drive = QDir(folders_.path()).filePath("gamma");
        window.drive1().setDrives({{"/", ""}, {drive, "label"}});
        QCOMPARE(window.drive1().currentIndex(), 0);
        QCOMPARE(window.drive1().itemText(1), drive + " [label]");
        window.saveTo().setText("typed");
        QTest::keyClick(&window.drive1(), Qt::Key_Down);
        QCOMPARE(window.saveTo().text(), drive);
        QCOMPARE(QString::fromStdString(window.dir1().path()), drive);
        QVERIFY(window_->messageBox.shown.empty());
    }

    // A mount point whose name is not UTF-8 opens as the bytes it is.
    void aDriveNamedInBytesThatAreNotUtf8Opens() {
        Window& window = *window_;
        const std::string drive = folders_.path().toStdString() + "/caf\xe9";
        QVERIFY(std::filesystem::create_directory(drive));
        window.drive1().setDrives({{"/", ""}, {vantrel::qt::textOfBytes(drive), ""}});

        QTest::keyClick(&window.drive1(), Qt::Key_Down);

        const std::string opened = window.dir1().path();
        std::filesystem::remove(drive);
        QVERIFY(window_->messageBox.shown.empty());
        QVERIFY(window.drive1().drive() == drive);
        QVERIFY(opened == drive);
    }

    void aDriveThatCannotBeOpenedLeavesEverythingAsItWas() {
        Window& window = *window_;
        const QString missing = QDir(folders_.path()).filePath("unplugged");
        window.drive1().setDrives({{"/", ""}, {missing, ""}});
        window.saveTo().setText("typed");
        const QStringList folders = shownFolders(window.dir1());

        QTest::keyClick(&window.drive1(), Qt::Key_Down);

        QCOMPARE(window_->messageBox.shown.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(window_->messageBox.shown[0].text),
                 "Could not open the drive " + missing + ".\r\nNo such file or directory");
        QCOMPARE(window_->messageBox.shown[0].buttons, vantrel::Buttons::Ok);
        QCOMPARE(window.drive1().currentIndex(), 0);
        QCOMPARE(window.saveTo().text(), QStringLiteral("typed"));
        QCOMPARE(shownFolders(window.dir1()), folders);

        // The drive list goes on as before: the same drive can be tried again.
        QTest::keyClick(&window.drive1(), Qt::Key_Down);
        QCOMPARE(window_->messageBox.shown.size(), std::size_t{2});
    }

    // A folder removed after it was listed cannot be opened: the guard tells why and the
    // window goes on.
    void aVanishedFolderIsReportedAndTheWindowGoesOn() {
        Window& window = *window_;
        DirectoryList& list = window.dir1();
        QVERIFY(QDir(folders_.path()).rmdir("gamma"));
        window.saveTo().setText("typed");
        doubleClick(list, itemNamed(list, "gamma"));
        QCOMPARE(window_->messageBox.shown.size(), std::size_t{1});
        QCOMPARE(window_->messageBox.shown[0].text, std::string("No such file or directory"));
        QCOMPARE(window.saveTo().text(), QStringLiteral("typed"));
        doubleClick(list, itemNamed(list, "beta"));
        QCOMPARE(window.saveTo().text(), QDir(folders_.path()).filePath("beta"));
    }

    void userMounts_data() {
        QTest::addColumn<QString>("root");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<bool>("offered");
        QTest::newRow("usb stick") << "/media/ann/STICK" << QByteArray("vfat") << true;
        QTest::newRow("udisks") << "/run/media/ann/disk" << QByteArray("exfat") << true;
        QTest::newRow("mnt") << "/mnt/data" << QByteArray("ext4") << true;
        QTest::newRow("other disk") << "/srv/backup" << QByteArray("xfs") << true;
        QTest::newRow("network") << "/mnt/share" << QByteArray("cifs") << true;
        QTest::newRow("proc") << "/proc" << QByteArray("proc") << false;
        QTest::newRow("cgroup") << "/sys/fs/cgroup/cpu" << QByteArray("cgroup") << false;
        QTest::newRow("run tmpfs") << "/run/user/1000" << QByteArray("tmpfs") << false;
        QTest::newRow("ram disk") << "/mnt/ram" << QByteArray("tmpfs") << false;
        QTest::newRow("snap") << "/snap/core/123" << QByteArray("squashfs") << false;
        QTest::newRow("container layer")
            << "/var/lib/docker/overlay2/x/merged" << QByteArray("overlay") << false;
        QTest::newRow("boot") << "/boot/efi" << QByteArray("vfat") << false;
        QTest::newRow("bind into /etc") << "/etc/hosts" << QByteArray("ext4") << false;
        QTest::newRow("runtime dir") << "/run/lock" << QByteArray("ext4") << false;
    }

    void userMounts() {
        QFETCH(QString, root);
        QFETCH(QByteArray, type);
        QFETCH(bool, offered);
        QCOMPARE(vantrel::qt::isUserMount(root, type), offered);
    }

    void drivesStartWithTheRootAndHome() {
        const std::vector<vantrel::qt::Drive> drives = vantrel::qt::userDrives();
        QVERIFY(drives.size() >= 2);
        QCOMPARE(drives[0].root, QStringLiteral("/"));
        QCOMPARE(drives[1].root, QDir::homePath());
    }

  private:
    QTemporaryDir folders_;
};

QTEST_MAIN(PickerTest)
#include "picker_test.moc"
