#include "startup.h"

#include "frmeditor.h"
#include "programcaption.h"

#include <QApplication>

namespace Startup {

void describeApplication()
{
    QApplication::setApplicationName(programCaption());
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2.%3").arg(QTA_VERSION_MAJOR).arg(QTA_VERSION_MINOR).arg(QTA_VERSION_PATCH));
}

std::unique_ptr<frmEditor> showEditor()
{
    auto editor = std::make_unique<frmEditor>();
    if (!editor->start())
        return nullptr;
    editor->show();
    return editor;
}

} // namespace Startup
