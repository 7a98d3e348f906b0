#include "qt/system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "qt/qt_controls.h"

namespace vantrel::qt {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kGnomeCopied = QStringLiteral("x-special/gnome-copied-files");

}  // namespace

std::unique_ptr<DroppedFiles> QtClipboard::files() const {
    const QMimeData* held = QGuiApplication::clipboard()->mimeData();
    if (held == nullptr) {
        return std::make_unique<DroppedFileList>(QMimeData());
    }
    if (held->hasFormat(kUriList) || !held->hasFormat(kGnomeCopied)) {
        return std::make_unique<DroppedFileList>(*held);
    }
    // "copy" or "cut", then one link a line: the links are read as a list of links is.
    QByteArray links = held->data(kGnomeCopied);
    const qsizetype firstLineEnd = links.indexOf('\n');
    links = firstLineEnd < 0 ? QByteArray() : links.mid(firstLineEnd + 1);
    QMimeData list;
    list.setData(kUriList, links.replace("\r\n", "\n").replace('\n', "\r\n"));
    return std::make_unique<DroppedFileList>(list);
}

}  // namespace vantrel::qt
