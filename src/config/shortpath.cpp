#include "pathfunctions.h"

#ifdef Q_OS_WIN

#include "stringfunctions.h"

#include <QDir>
#include <QFileInfo>
#include <qt_windows.h>
#include <string>
#include <vector>

QString GetShortPath(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return {};
    // Absolute and cleaned first, so relative and dotted spellings of one file give one key.
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const std::wstring longPath = QDir::toNativeSeparators(absolute).toStdWString();
    // Ask for the size first and grow the buffer until the answer fits: deep folders exceed any fixed size.
    DWORD needed = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    for (int attempt = 0; needed != 0 && attempt < 4; ++attempt) {
        std::vector<wchar_t> buffer(needed);
        const DWORD written = GetShortPathNameW(longPath.c_str(), buffer.data(), needed);
        if (written == 0)
            return {};
        if (written < needed)
            return StripNull(QString::fromWCharArray(buffer.data(), qsizetype(written)));
        needed = written; // renamed in between to something longer: ask again with the size it wants now
    }
    return {};
}

#else

#include <QFileInfo>

QString GetShortPath(const QString &path)
{
    // No short names here; the canonical path is just as stable a key and is "" for a missing path.
    if (path.isEmpty() || path.contains(QChar(0)))
        return {};
    return QFileInfo(path).canonicalFilePath();
}

#endif
