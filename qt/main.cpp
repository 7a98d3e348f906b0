#include <QApplication>

#include "qt/program.h"

int main(int argc, char* argv[]) {
    vantrel::qt::chooseClassicStyle();
    QApplication application(argc, argv);
    vantrel::qt::Program program;
    program.window().open();
    return QApplication::exec();
}
