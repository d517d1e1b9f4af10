#include "pathfunctions.h"

#ifdef Q_OS_WIN

#include "stringfunctions.h"

#include <QDir>
#include <QFileInfo>
#include <qt_windows.h>
#include <string>
#include <vector>

namespace {

// The form of a path that the system takes as it is written: the plain form stops at MAX_PATH characters and
// drops blanks and dots at the end of a name, which then names another file or none.
QString extendedForm(const QString &nativePath)
{
    if (nativePath.startsWith(QStringLiteral("\\\\?\\")) || nativePath.startsWith(QStringLiteral("\\\\.\\")))
        return nativePath;
    if (nativePath.startsWith(QStringLiteral("\\\\")))
        return QStringLiteral("\\\\?\\UNC\\") + nativePath.mid(2);
    return QStringLiteral("\\\\?\\") + nativePath;
}

// The extended form's answer written back the ordinary way, as QTA and the user know the path.
QString ordinaryForm(const QString &extendedPath)
{
    if (extendedPath.startsWith(QStringLiteral("\\\\?\\UNC\\")))
        return QStringLiteral("\\\\") + extendedPath.mid(8);
    if (extendedPath.startsWith(QStringLiteral("\\\\?\\")))
        return extendedPath.mid(4);
    return extendedPath;
}

QString askSystem(const std::wstring &longPath)
{
    // Ask for the size first and grow the buffer until the answer fits: deep folders exceed any fixed size.
    DWORD needed = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    for (int attempt = 0; needed != 0 && attempt < 4; ++attempt) {
        std::vector<wchar_t> buffer(needed);
        const DWORD written = GetShortPathNameW(longPath.c_str(), buffer.data(), needed);
        if (written == 0)
            return {};
        if (written < needed)
            return stripNull(QString::fromWCharArray(buffer.data(), qsizetype(written)));
        needed = written; // renamed in between to something longer: ask again with the size it wants now
    }
    return {};
}

} // namespace

QString shortPathName(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(0)))
        return {};
    // Absolute and cleaned first, so relative and dotted spellings of one file give one key.
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    const QString native = QDir::toNativeSeparators(absolute);
    const QString shortPath = ordinaryForm(askSystem(extendedForm(native).toStdWString()));
    if (!shortPath.isEmpty())
        return shortPath;
    // An existing file the system gives no short form for keeps its full path as its key, so that it can still
    // be found again; only a missing file has none.
    return QFileInfo::exists(absolute) ? native : QString();
}

#else

#include <QFileInfo>

QString shortPathName(const QString &path)
{
    // No short names here; the canonical path is just as stable a key and is "" for a missing path.
    if (path.isEmpty() || path.contains(QChar(0)))
        return {};
    return QFileInfo(path).canonicalFilePath();
}

#endif
