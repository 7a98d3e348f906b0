#pragma once

#include <QListWidget>
#include <QString>
#include <string>

#include "platform/controls.h"

namespace vantrel::qt {

// The directory list (Dir1): the folders of the current path, the way a directory list box
// shows them — the root and every folder down to the current one, then the current one's
// subfolders, each indented by its depth. Opening a folder (double-click or Enter) asks for it
// to become the current one; a single click only highlights it.
class DirectoryList : public QListWidget, public vantrel::DirectoryList {
    Q_OBJECT

  public:
    explicit DirectoryList(QWidget* parent);

    // The current folder in the system's own notation; a root keeps its trailing separator.
    std::string path() const override;
    // Opens the folder and raises the change notification when it differs from the current
    // one. A folder that cannot be read raises a Failure with the system's reason, the list
    // unchanged.
    void setPath(const std::string& path) override;

  signals:
    // The user opened a folder (double-click or Enter); it becomes current through setPath.
    void openRequested(const QString& path);

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void fill(const QString& folder, const QStringList& subfolders);

    QString path_;
};

}  // namespace vantrel::qt
