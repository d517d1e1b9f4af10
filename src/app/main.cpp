#include "frmeditor.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QTA Config Editor"));
    QApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                            .arg(QTA_VERSION_MAJOR)
                                            .arg(QTA_VERSION_MINOR)
                                            .arg(QTA_VERSION_PATCH));
    frmEditor editor;
    if (!editor.start())
        return 0;
    editor.show();
    return QApplication::exec();
}
