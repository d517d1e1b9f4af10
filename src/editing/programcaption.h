#pragma once

#include <QString>

// The program's name: the title of its message boxes, and the start of the main window's title.
inline QString programCaption()
{
    return QStringLiteral("QTA Config Editor");
}
