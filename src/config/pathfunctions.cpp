#include "pathfunctions.h"

#include "stringfunctions.h"

#include <QFile>
#include <QFileInfo>

bool fileExists(const QString &path)
{
    QString name = stripQuotes(path);
    if (name.endsWith(u'/') || name.endsWith(u'\\'))
        name.chop(1);
    // A NUL would cut the name short at the system call and answer for another file.
    if (name.isEmpty() || name.contains(QChar(0)))
        return false;
    // Only regular files: opening a named pipe for reading would wait for a writer forever.
    if (!QFileInfo(name).isFile())
        return false;
    QFile file(name);
    return file.open(QIODevice::ReadOnly);
}
