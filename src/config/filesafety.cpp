#include "filesafety.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include "filesafety_win.h"
#endif

namespace {

qint64 g_writeLimit = -1;

using Permissions = QFileDevice::Permissions;

// Hidden files of our own beside the target: ".QTA.INI.qtaedit-<process>" and QSaveFile's temporaries for it.
QString stagingPrefix(const QFileInfo &target)
{
    return u'.' + target.fileName() + QStringLiteral(".qtaedit-");
}

// A save that was killed may have left its staged copy: nobody else makes files of this name.
void removeStaleStaging(const QFileInfo &target)
{
    const QDir dir = target.absoluteDir();
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (name.startsWith(stagingPrefix(target)))
            QFile::remove(dir.filePath(name));
    }
}

QString failure(const QString &path, const QString &what)
{
    return QStringLiteral("Could not save \"%1\": %2.").arg(QDir::toNativeSeparators(path), what);
}

#ifndef Q_OS_WIN
QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
#endif

// Follows a chain of symbolic links to the file that holds the content, which need not exist yet (a link may
// dangle). Empty when the chain goes round in a circle.
QString finalTarget(const QString &path)
{
    QString current = QFileInfo(path).absoluteFilePath();
    for (int hops = 0; hops <= 40; ++hops) { // the system's own limit for a chain of links
        const QFileInfo info(current);
        if (!info.isSymLink())
            return current;
        current = info.symLinkTarget();
    }
    return QString();
}

// The owner's write bit counts even for an administrator, who could otherwise replace a file, or add files
// to a folder, that its owner marked read-only to protect it.
bool readOnly(const QFileInfo &info)
{
    return !info.isWritable() || !(info.permissions() & QFileDevice::WriteOwner);
}

// A folder's read-only mark keeps new files out but leaves its files' content writable. Windows ignores the
// mark on folders, so a replacement is tried there as before.
bool refusesNewFiles(const QFileInfo &folder)
{
#ifdef Q_OS_UNIX
    return readOnly(folder);
#else
    Q_UNUSED(folder);
    return false;
#endif
}

qint64 linkCount(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? qint64(st.st_nlink) : 1;
#elif defined(Q_OS_WIN)
    return FileSafetyWin::linkCount(path);
#else
    Q_UNUSED(path);
    return 1;
#endif
}

// The mode bits as stored; the "user" flags describe the running user's access, not the file.
Permissions storedPermissions(const QFileInfo &info)
{
    return info.permissions() & ~Permissions(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

// Gives the staged copy the owner and group of the file it replaces, so that saving as an administrator does
// not take the file from its owner. Someone else's group cannot be given; the copy then keeps its own.
void copyOwner(const QString &from, const QString &to)
{
#ifdef Q_OS_UNIX
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(from).constData(), &st) == 0
        && ::chown(QFile::encodeName(to).constData(), st.st_uid, st.st_gid) != 0) {
        if (::chown(QFile::encodeName(to).constData(), uid_t(-1), st.st_gid) != 0) { }
    }
#else
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

// Writes all of bytes at the current position; returns why it stopped short, or an empty string.
QString writeAll(QFileDevice &file, const QByteArray &bytes, bool limited)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        qint64 chunk = bytes.size() - written;
        if (limited && g_writeLimit >= 0)
            chunk = qMin(chunk, qMax<qint64>(0, g_writeLimit - written));
        const qint64 n = chunk > 0 ? file.write(bytes.constData() + written, chunk) : 0;
        if (n <= 0)
            break;
        written += n;
    }
    if (written == bytes.size())
        return QString();
    const QString cause = file.error() != QFileDevice::NoError
        ? file.errorString()
        : QStringLiteral("the disk is full or the write was cut short");
    return QStringLiteral("%1 (%2 of %3 bytes written)").arg(cause).arg(written).arg(bytes.size());
}

// The end of every reason a write gives up before the file was touched.
QString leftAsItWas(const QString &why)
{
    return why + QStringLiteral("; the file was left as it was");
}

// Pushes what the file holds to the disk; returns why that failed, or an empty string.
QString flushToDisk(QFileDevice &file)
{
    if (!file.flush())
        return file.errorString();
#ifdef Q_OS_UNIX
    if (::fsync(file.handle()) != 0)
        return systemError();
#endif
    return QString();
}

// Rewrites the file's own content: from the start, cut to the new length, synced, read back and compared.
// Returns why it failed, or an empty string.
QString overwrite(QFile &file, const QByteArray &bytes, bool limited)
{
    if (!file.seek(0))
        return file.errorString();
    QString why = writeAll(file, bytes, limited);
    if (!why.isEmpty())
        return why;
    if (!file.resize(bytes.size()))
        return file.errorString();
    if (why = flushToDisk(file); !why.isEmpty())
        return why;
    if (!file.seek(0) || file.readAll() != bytes)
        return QStringLiteral("the file read back after writing differs from what was written");
    return QString();
}

// A kill or a power cut during this write can leave the file half-written, which a replacement by rename
// never does; it is taken only where a replacement would do worse. Returns why it failed, or an empty string.
QString writeInPlace(const QString &target, const QByteArray &bytes, std::optional<Permissions> permissions)
{
    QFile file(target);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return leftAsItWas(file.errorString());
    const QByteArray oldBytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return leftAsItWas(file.errorString());

    const QString why = overwrite(file, bytes, true);
    if (why.isEmpty()) {
        if (permissions)
            QFile::setPermissions(target, *permissions);
        return QString();
    }
    file.unsetError();
    const QString restoreWhy = overwrite(file, oldBytes, false);
    if (restoreWhy.isEmpty())
        return QStringLiteral("%1; its old content was written back").arg(why);
    return QStringLiteral("%1, and writing its old content back failed too (%2), so the file may be damaged")
        .arg(why, restoreWhy);
}

// Why a write of the file that holds the content, targetPath, cannot even start; empty when it can.
QString refusal(const QString &targetPath)
{
    if (targetPath.isEmpty())
        return QStringLiteral("it is a symbolic link that leads round in a circle");
    const QFileInfo target(targetPath);
    const QFileInfo folder(target.absolutePath());
    if (!folder.isDir())
        return QStringLiteral("the folder \"%1\" does not exist").arg(QDir::toNativeSeparators(target.absolutePath()));
    if (target.isDir())
        return QStringLiteral("it is a folder, not a file");
    if (target.exists() && readOnly(target))
        return QStringLiteral("the file is read-only");
    if (!target.exists() && refusesNewFiles(folder))
        return QStringLiteral("the folder \"%1\" is read-only, so no file can be created in it")
            .arg(QDir::toNativeSeparators(target.absolutePath()));
    return QString();
}

// The steps of a replacement, each returning why it failed or an empty string.

// Writes the staged copy whole and synced. QSaveFile's commit does not notice a failure of the write that
// empties its buffer (a full disk shows there) and ignores a failed sync, and would put a short file in place:
// both are checked before it.
QString writeStaged(const QString &staged, const QByteArray &bytes)
{
    QSaveFile file(staged);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QString why = writeAll(file, bytes, true);
    if (why.isEmpty())
        why = flushToDisk(file);
    if (!why.isEmpty()) {
        file.cancelWriting();
        return leftAsItWas(why);
    }
    if (!file.commit())
        return leftAsItWas(file.errorString());
#ifdef Q_OS_WIN
    FileSafetyWin::hide(staged);
#endif
    return QString();
}

// Reads the staged copy back: bytes the disk took wrongly show here, while the old file is still in place.
QString checkStaged(const QString &staged, const QByteArray &bytes)
{
    QFile file(staged);
    if (file.open(QIODevice::ReadOnly) && file.readAll() == bytes)
        return QString();
    return QStringLiteral("the copy read back before replacing the file differs from what was written; the file "
                          "was left as it was");
}

// Gives the staged copy what the file it replaces had: owner and group, permissions (or those asked for) and,
// on Windows, attributes.
void keepAttributes(const QFileInfo &target, const QString &staged, std::optional<Permissions> permissions)
{
    if (target.exists())
        copyOwner(target.absoluteFilePath(), staged);
    if (permissions)
        QFile::setPermissions(staged, *permissions);
    else if (target.exists())
        QFile::setPermissions(staged, storedPermissions(target));
#ifdef Q_OS_WIN
    FileSafetyWin::takeAttributes(target.absoluteFilePath(), staged);
#endif
}

// Puts the staged copy in the target's place in one step.
QString putInPlace(const QString &staged, const QString &target)
{
#ifdef Q_OS_WIN
    QString why;
    if (!FileSafetyWin::replace(staged, target, &why))
        return leftAsItWas(why);
#else
    if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target).constData()) != 0)
        return leftAsItWas(systemError());
#endif
    return QString();
}

// QSaveFile's temporary is named after its file ("QTA.INI.AbCdEf"), and a kill between its two last steps
// leaves it in the user's folder, under a name no later save can tell from the user's own files. So the bytes
// go to a hidden staged copy of our own first (written whole and synced by QSaveFile), which then replaces the
// target in one rename. A kill at any point leaves the old file or the new one, and at most hidden files of the
// staging pattern, which the next save removes.
QString replaceByStagedCopy(const QFileInfo &target, const QByteArray &bytes, std::optional<Permissions> permissions)
{
    removeStaleStaging(target);
    const QString staged
        = target.absolutePath() + u'/' + stagingPrefix(target) + QString::number(QCoreApplication::applicationPid());
    QString why = writeStaged(staged, bytes);
    if (!why.isEmpty())
        return why; // QSaveFile left nothing behind
    why = checkStaged(staged, bytes);
    if (why.isEmpty()) {
        keepAttributes(target, staged, permissions);
        why = putInPlace(staged, target.absoluteFilePath());
    }
    if (!why.isEmpty())
        QFile::remove(staged);
    return why;
}

bool write(const QString &path, const QByteArray &bytes, std::optional<Permissions> permissions, QString *error)
{
    const QString targetPath = finalTarget(path);
    QString why = refusal(targetPath);
    if (why.isEmpty()) {
        const QFileInfo target(targetPath);
        // A replacement would split a hard link (the other names keep the old content) and cannot be made in a
        // read-only folder, while the file itself may be written: write its content in place there.
        if (target.exists() && (refusesNewFiles(QFileInfo(target.absolutePath())) || linkCount(targetPath) > 1))
            why = writeInPlace(targetPath, bytes, permissions);
        else
            why = replaceByStagedCopy(target, bytes, permissions);
    }
    if (!why.isEmpty() && error)
        *error = failure(path, why);
    return why.isEmpty();
}

} // namespace

namespace FileSafety {

bool readFile(const QString &path, QByteArray *bytes, QString *error)
{
    bytes->clear();
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Could not read \"%1\": %2.").arg(QDir::toNativeSeparators(path), why);
        return false;
    };
    if (info.isDir())
        return fail(QStringLiteral("it is a folder, not a file"));
    // A pipe or a device would block the read for ever or never end.
    if (!info.isFile())
        return fail(QStringLiteral("it is not a regular file"));
    // Far beyond any real settings file; the line model counts its offsets in int.
    constexpr qint64 maxBytes = qint64(256) << 20;
    if (info.size() > maxBytes) {
        return fail(QStringLiteral("at %1 MB it is too large to be a settings file (the editor reads files of up "
                                   "to 256 MB)")
                        .arg(info.size() >> 20));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    *bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        bytes->clear();
        return fail(file.errorString());
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    return write(path, bytes, std::nullopt, error);
}

bool canWrite(const QString &path, QString *error)
{
    const QString why = refusal(finalTarget(path));
    if (!why.isEmpty() && error)
        *error = failure(path, why);
    return why.isEmpty();
}

QString backupPath(const QString &path)
{
    return path + QStringLiteral(".bak");
}

bool keepBackup(const QString &path, QString *error)
{
    QByteArray current;
    if (!readFile(path, &current, error))
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return true;
    // The owner may always write the backup: a read-only mark copied from the file would refuse every later one.
    const Permissions permissions = storedPermissions(info) | QFileDevice::WriteOwner;
    return write(backupPath(path), current, permissions, error);
}

void setWriteLimitForTesting(qint64 maxBytes)
{
    g_writeLimit = maxBytes;
}

} // namespace FileSafety
