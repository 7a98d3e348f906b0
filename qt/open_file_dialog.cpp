#include "qt/open_file_dialog.h"

#include <QDir>
#include <QFileDialog>

#include "qt/byte_text.h"

namespace vantrel::qt {

QtFileDialog::QtFileDialog(QWidget& owner) : owner_(owner), folder_(QDir::homePath()) {}

std::vector<std::string> QtFileDialog::showOpen(const std::string& title) {
    QFileDialog dialog(&owner_, QString::fromStdString(title), folder_);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const bool chosen = dialog.exec() == QDialog::Accepted;
    folder_ = dialog.directory().absolutePath();
    std::vector<std::string> files;
    if (chosen) {
        for (const QString& file : dialog.selectedFiles()) {
            files.push_back(bytesOfText(QDir::toNativeSeparators(file)));
        }
    }
    return files;
}

}  // namespace vantrel::qt
