#pragma once

#include <QString>
#include <utility>

#include "platform/message_box.h"

namespace vantrel::qt {

// A modal QMessageBox over the active window, without an icon, with the program's title.
class QtMessageBox : public MessageBox {
  public:
    explicit QtMessageBox(QString title) : title_(std::move(title)) {}

    Answer show(const std::string& text, Buttons buttons) override;

  private:
    QString title_;
};

}  // namespace vantrel::qt
