#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <QWindow>
#include <cstdio>

#include "platform/conventions.h"
#include "platform/fs/real_file_system.h"
#include "qt/drive_list.h"
#include "qt/form1.h"
#include "qt/progress_repainter.h"
#include "qt/qt_launcher.h"
#include "qt/qt_message_box.h"

namespace {

// With VANTREL_STARTUP_PROBE=1 the program prints how long it took from the start of main()
// until its window was first exposed and painted, then quits: start-up time is measured on the
// real program.
class StartupProbe : public QObject {
  public:
    explicit StartupProbe(const QElapsedTimer& sinceStart) : sinceStart_(sinceStart) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && static_cast<QWindow*>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, [this] {
                std::printf("window shown after %.1f ms in main\n",
                            static_cast<double>(sinceStart_.nsecsElapsed()) / 1e6);
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

  private:
    const QElapsedTimer& sinceStart_;
};

}  // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    // The fixed layout was drawn for the classic look, whose frames carry their caption in the
    // border. Set before the application exists so that it brings its own palette; a style the
    // user chose (QT_STYLE_OVERRIDE or -style) still wins.
    if (!qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE")) {
        qputenv("QT_STYLE_OVERRIDE", "windows");
    }
    QApplication application(argc, argv);

    vantrel::qt::QtMessageBox messageBox(QString::fromLatin1(vantrel::kWindowTitle));
    vantrel::RealFileSystem fileSystem;
    vantrel::qt::QtLauncher launcher;
    const vantrel::Conventions conventions = vantrel::Conventions::current();
    vantrel::qt::ProgressRepainter painter;
    vantrel::Services services{messageBox, fileSystem, launcher, conventions, painter};

    vantrel::Form1 form(services);
    painter.watch(&form, form.progressArea());
    form.handle([&form] { form.Form_Load(); });

    StartupProbe probe(sinceStart);
    if (qEnvironmentVariableIntValue("VANTREL_STARTUP_PROBE") == 1) {
        form.winId();
        form.windowHandle()->installEventFilter(&probe);
    }
    form.show();
    form.Drive1().setFocus();
    return QApplication::exec();
}
