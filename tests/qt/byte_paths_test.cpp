// File names that are not UTF-8 go through the Qt window byte for byte: from a drop and from
// the directory list to the copy, its name and the log.

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "qt/byte_text.h"
#include "qt/directory_list.h"
#include "qt/qt_controls.h"
#include "support/expected.h"
#include "support/qt/window_test.h"

namespace {

using namespace vantrel;
namespace fs = std::filesystem;

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class BytePathsTest : public test::WindowTest {
    Q_OBJECT

  private slots:
    void bytesSurviveTheirText_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        const QChar replacementOfE9(0xDCE9);
        QTest::newRow("ascii") << QByteArray("/tmp/a.txt") << QStringLiteral("/tmp/a.txt");
        QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9 \xf0\x9f\x93\x81")
                               << QStringLiteral("caf\u00e9 \U0001F4C1");
        QTest::newRow("latin-1 byte")
            << QByteArray("caf\xe9.txt")
            << QStringLiteral("caf") + replacementOfE9 + QStringLiteral(".txt");
        QTest::newRow("overlong slash")
            << QByteArray("a\xc0\xaf") << QStringLiteral("a") + QChar(0xDCC0) + QChar(0xDCAF);
        QTest::newRow("encoded surrogate")
            << QByteArray("\xed\xa0\x80") << QString(QChar(0xDCED)) + QChar(0xDCA0) + QChar(0xDC80);
        QTest::newRow("cut short at the end")
            << QByteArray("x\xe2\x82") << QStringLiteral("x") + QChar(0xDCE2) + QChar(0xDC82);
        QTest::newRow("past U+10FFFF")
            << QByteArray("\xf4\x90\x80\x80")
            << QString(QChar(0xDCF4)) + QChar(0xDC90) + QChar(0xDC80) + QChar(0xDC80);
    }

    void bytesSurviveTheirText() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const std::string raw = bytes.toStdString();
        QCOMPARE(qt::textOfBytes(raw), shown);
        QCOMPARE(qt::bytesOfText(qt::textOfBytes(raw)), raw);
    }

    void aDroppedNameThatIsNotUtf8IsCopiedAndLoggedAsItIs() {
        const fs::path root(window_->home.path().toStdString());
        const std::string source = (root / "caf\xe9.txt").string();
        std::ofstream(source, std::ios::binary) << "latte";
        const fs::path destination = root / "d\xe9st";
        fs::create_directory(destination);

        QMimeData data;
        data.setData(QStringLiteral("text/uri-list"),
                     "file://" + QByteArray::fromStdString(root.string()) + "/caf%E9.txt\r\n");
        window_->form.logic().Picture1_OLEDragDrop(qt::DroppedFileList(data));
        QCOMPARE(window_->controls().Text1.item(1).text(), source);

        window_->dir1().setPath(destination.string());
        QCOMPARE(window_->controls().SaveTo.text(), destination.string());
        QTest::mouseClick(&window_->button("ReplicateBtn"), Qt::LeftButton);

        QVERIFY(window_->messageBox.shown.empty());
        QCOMPARE(readAll(destination / "caf\xe9(1).txt"), std::string("latte"));
        QCOMPARE(readAll(window_->conventions.logPath), std::string("caf\xe9(1).txt\r\n"));
    }
};

}  // namespace

QTEST_MAIN(BytePathsTest)
#include "byte_paths_test.moc"
