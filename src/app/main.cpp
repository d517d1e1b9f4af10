#include "frmeditor.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    Startup::describeApplication();
    const std::unique_ptr<frmEditor> editor = Startup::showEditor();
    if (!editor)
        return 0;
    return QApplication::exec();
}
