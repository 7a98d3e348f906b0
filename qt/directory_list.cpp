#include "qt/directory_list.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/failure.h"
#include "qt/byte_text.h"

namespace vantrel::qt {

namespace {

constexpr int kDepthRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole;
constexpr int kIndentPixels = 8;

// Draws each folder indented by its depth, its highlight covering the folder, not the row.
class IndentDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem indented(option);
        indented.rect.setLeft(option.rect.left() + index.data(kDepthRole).toInt() * kIndentPixels);
        indented.rect.setWidth(
            std::min(indented.rect.width(), QStyledItemDelegate::sizeHint(option, index).width()));
        QStyledItemDelegate::paint(painter, indented, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QStyledItemDelegate::sizeHint(option, index) +
               QSize(index.data(kDepthRole).toInt() * kIndentPixels, 0);
    }
};

std::filesystem::path toFsPath(const QString& path) {
    return std::filesystem::path(bytesOfText(path));
}

QString fromFsPath(const std::filesystem::path& path) {
    return textOfBytes(path.string());
}

// The subfolders of a folder, hidden ones left out, in the order a person reads them.
QStringList subfoldersOf(const QString& folder) {
    std::error_code error;
    std::filesystem::directory_iterator entries(toFsPath(folder), error);
    if (error) {
        throw failureFromErrno(error.default_error_condition().value());
    }
    QStringList names;
    for (const auto& entry : entries) {
        std::error_code ignored;
        const QString name = fromFsPath(entry.path().filename());
        if (entry.is_directory(ignored) && !QFileInfo(QDir(folder).filePath(name)).isHidden()) {
            names << name;
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), collator);
    return names;
}

}  // namespace

DirectoryList::DirectoryList(QWidget* parent) : QListWidget(parent) {
    setItemDelegate(new IndentDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        emit openRequested(item->data(kPathRole).toString());
    });
}

std::string DirectoryList::path() const {
    return bytesOfText(QDir::toNativeSeparators(path_));
}

void DirectoryList::setPath(const std::string& path) {
    const QString folder = QDir::cleanPath(
        QFileInfo(QDir::fromNativeSeparators(textOfBytes(path))).absoluteFilePath());
    const QStringList subfolders = subfoldersOf(folder);
    const bool differs = folder != path_;
    fill(folder, subfolders);
    if (differs) {
        notifyChange();
    }
}

void DirectoryList::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        currentItem() != nullptr) {
        emit openRequested(currentItem()->data(kPathRole).toString());
        return;
    }
    QListWidget::keyPressEvent(event);
}

void DirectoryList::fill(const QString& folder, const QStringList& subfolders) {
    clear();
    path_ = folder;
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto add = [this](const QIcon& icon, const QString& name, const QString& itemPath, int depth) {
        auto* item = new QListWidgetItem(icon, name, this);
        item->setData(kPathRole, itemPath);
        item->setData(kDepthRole, depth);
        return item;
    };

    // From the path's text alone: a folder whose name is not UTF-8 cannot be asked for again
    // by its displayed name.
    QStringList ancestors;
    for (QString at = folder;;) {
        ancestors.prepend(at);
        const QString parent = QFileInfo(at).path();
        if (parent == at) {
            break;
        }
        at = parent;
    }
    QListWidgetItem* current = nullptr;
    for (int depth = 0; depth < ancestors.size(); ++depth) {
        const QString& ancestor = ancestors[depth];
        const QString name =
            depth == 0 ? QDir::toNativeSeparators(ancestor) : QFileInfo(ancestor).fileName();
        current = add(open, name, ancestor, depth);
    }
    const int childDepth = static_cast<int>(ancestors.size());
    for (const QString& name : subfolders) {
        add(closed, name, QDir(folder).filePath(name), childDepth);
    }
    setCurrentItem(current);
    scrollToItem(current);
}

}  // namespace vantrel::qt
