#include "qt/qt_launcher.h"

#include <QProcess>
#include <QStringList>

#include "platform/failure.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vantrel::qt {

void QtLauncher::launch(const LaunchCommand& command) {
    QStringList arguments;
    for (const auto& argument : command.arguments) {
        arguments << QString::fromStdString(argument);
    }
    QProcess process;
    process.setProgram(QString::fromStdString(command.program));
    process.setArguments(arguments);
#ifdef Q_OS_WIN
    const WindowStyle style = command.style;
    process.setCreateProcessArgumentsModifier([style](QProcess::CreateProcessArguments* args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow =
            style == WindowStyle::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    });
#endif
    // Elsewhere the window style is the desktop's business: a started program cannot be told.
    if (!process.startDetached()) {
        throw Failure(kFileNotFound, process.errorString().toStdString());
    }
}

}  // namespace vantrel::qt
