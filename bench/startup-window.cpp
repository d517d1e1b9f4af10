// The yardstick for the editor's start-up: a Qt Widgets program that shows one plain window.

#include "firstshow.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstShowReporter reporter;
    QWidget window;
    window.resize(480, 400);
    window.show();
    return QApplication::exec();
}
