#pragma once

#include <QString>
#include <string>
#include <vector>

#include "platform/controls.h"

class QWidget;

namespace vantrel::qt {

// The platform's dialog for opening several files through QFileDialog: a desktop's own dialog,
// or its portal, where there is one, Qt's own elsewhere. It opens where the last one closed;
// the first in the user's home folder. Nothing of it outlives the program.
class QtFileDialog : public OpenFileDialog {
  public:
    explicit QtFileDialog(QWidget& owner);

    std::vector<std::string> showOpen(const std::string& title) override;

  private:
    QWidget& owner_;
    QString folder_;
};

}  // namespace vantrel::qt
