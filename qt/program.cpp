#include "qt/program.h"

#include <QCoreApplication>

#include "version/version.h"
#include "window/form1_layout.h"

namespace vantrel::qt {

void chooseClassicStyle() {
    if (!qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE")) {
        qputenv("QT_STYLE_OVERRIDE", "windows");
    }
}

Program::Program()
    : messageBox_(QString::fromStdString(layout::form1().caption)),
      conventions_(Conventions::current()),
      services_{messageBox_, fileSystem_, launcher_, conventions_, painter_, waiter_},
      window_(services_),
      progress_(window_.child(layout::Role::ProgressCaption),
                window_.child(layout::Role::ProgressFill),
                window_.child(layout::Role::ProgressBack)) {
    QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));
    painter_.watch(&window_, window_.progressArea());
    painter_.asked = [this](bool always) { progress_.update(always); };
}

}  // namespace vantrel::qt
