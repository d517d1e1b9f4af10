#pragma once

#include <QString>

// True exactly when path, after stripQuotes and with one final "/" or "\" dropped, opens as a regular file for
// reading. Folders, devices, pipes, missing and unreadable files and an empty path give false; nothing is
// reported and no file is left open.
bool fileExists(const QString &path);

// One stable spelling of an existing path, used as a picture key: two ways of writing the path of one file give
// the same text. Windows gives the short (8.3) form, other systems the absolute canonical path. A missing path
// gives "". Lives in shortpath.cpp, the one platform-specific file of this library.
QString shortPathName(const QString &path);
