// The editor's own start-up, as the program runs it, up to the first frame of its window.

#include "firstshow.h"
#include "frmeditor.h"
#include "startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    FirstShowReporter reporter;
    Startup::describeApplication();
    const std::unique_ptr<frmEditor> editor = Startup::showEditor();
    if (!editor)
        return 3; // no folder was named: the settings qta-bench wrote were not found
    return QApplication::exec();
}
