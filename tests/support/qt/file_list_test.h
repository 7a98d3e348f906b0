#pragma once

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWindow>
#include <memory>

#include "support/qt/window_test.h"

namespace vantrel::test {

// What a file manager drags: the files as a URI list, and the same URIs as plain text for
// programs that take text only.
inline std::unique_ptr<QMimeData> draggedFiles(const QStringList& paths) {
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    QStringList lines;
    for (const QString& path : paths) {
        urls << QUrl::fromLocalFile(path);
        lines << urls.back().toString();
    }
    data->setUrls(urls);
    data->setText(lines.join(QLatin1Char('\n')));
    return data;
}

// One whole drag over `target` at `pos` in its coordinates: enter and move, then the drop if
// the target took the drag, else leave. Returns whether the drop was taken.
inline bool dragAndDrop(QObject* target, QPoint pos, const QMimeData& data) {
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
    QDragEnterEvent enter(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    QDragMoveEvent move(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
    if (!enter.isAccepted() || !move.isAccepted()) {
        QDragLeaveEvent leave;
        QCoreApplication::sendEvent(target, &leave);
        return false;
    }
    QDropEvent drop(pos, actions, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

// A drag handed to the window at `point` of `widget`: the window gives it to the innermost
// widget there that takes drops, as it does with a drag from another program.
inline bool dropThroughWindow(QWidget& form, QWidget* widget, QPoint point, const QMimeData& data) {
    return dragAndDrop(form.windowHandle(), widget->mapTo(&form, point), data);
}

// The window's tests of its file list: the rows as the list holds them, filled by drops.
class FileListTest : public WindowTest {
  protected:
    qt::SlidingFrame& slide() { return window_->frameSlide(); }
    TextBoxArray& paths() { return slide().Text1(); }
    TextBoxArray& counts() { return slide().CopyTimes(); }

    static QStringList textsOf(TextBoxArray& array) {
        QStringList texts;
        for (int i = 1; i < array.count(); ++i) {
            texts << QString::fromStdString(array.item(i).text());
        }
        return texts;
    }
    QStringList pathTexts() { return textsOf(paths()); }
    QStringList countTexts() { return textsOf(counts()); }

    bool dropOnPicture1(const QMimeData& data) {
        QWidget* picture = &window_->picture1();
        return dragAndDrop(picture, picture->rect().center(), data);
    }

    static QStringList numberedFiles(int files) {
        QStringList names;
        for (int i = 1; i <= files; ++i) {
            names << QStringLiteral("/f/%1").arg(i);
        }
        return names;
    }
};

}  // namespace vantrel::test
