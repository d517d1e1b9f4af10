#include "filesafety.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

qint64 g_writeLimit = -1;

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

} // namespace

namespace FileSafety {

ReadResult readFile(const QString &path)
{
    ReadResult result;
    QFileInfo info(path);
    if (!info.exists()) {
        result.ok = true;
        return result;
    }
    result.exists = true;
    if (info.isDir()) {
        result.error = QStringLiteral("Could not read \"%1\": it is a folder, not a file.")
                           .arg(QDir::toNativeSeparators(path));
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Could not read \"%1\": %2.").arg(QDir::toNativeSeparators(path), file.errorString());
        return result;
    }
    result.bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("Could not read \"%1\": %2.").arg(QDir::toNativeSeparators(path), file.errorString());
        result.bytes.clear();
        return result;
    }
    result.ok = true;
    return result;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    auto fail = [&](const QString &what) {
        if (error)
            *error = failure(path, what);
        return false;
    };
    const QFileInfo info(path);
    const QFileInfo target(info.isSymLink() ? info.symLinkTarget() : info.absoluteFilePath());
    if (!target.absoluteDir().exists())
        return fail(QStringLiteral("the folder \"%1\" does not exist")
                        .arg(QDir::toNativeSeparators(target.absolutePath())));
    if (target.isDir())
        return fail(QStringLiteral("it is a folder, not a file"));
    // The owner's write bit counts even for an administrator, who could otherwise replace a file that its
    // owner marked read-only to protect it.
    if (target.exists() && (!target.isWritable() || !(target.permissions() & QFileDevice::WriteOwner)))
        return fail(QStringLiteral("the file is read-only"));

    // QSaveFile's temporary is named after its file ("QTA.INI.AbCdEf"), and a kill between its two last steps
    // leaves it in the user's folder, under a name no later save can tell from the user's own files. So the
    // bytes go to a hidden staged copy of our own first (written whole and synced by QSaveFile), which then
    // replaces the target in one rename. A kill at any point leaves the old file or the new one, and at most
    // hidden files of the staging pattern, which the next save removes.
    removeStaleStaging(target);
#ifdef Q_OS_WIN
    // Windows has no rename over an existing file in the standard library: QSaveFile replaces it directly.
    const QString staged = target.absoluteFilePath();
#else
    const QString staged = target.absolutePath() + u'/' + stagingPrefix(target)
        + QString::number(QCoreApplication::applicationPid());
#endif
    QSaveFile file(staged);
    if (!file.open(QIODevice::WriteOnly))
        return fail(file.errorString());
    qint64 written = 0;
    while (written < bytes.size()) {
        qint64 chunk = bytes.size() - written;
        if (g_writeLimit >= 0)
            chunk = qMin(chunk, qMax<qint64>(0, g_writeLimit - written));
        const qint64 n = chunk > 0 ? file.write(bytes.constData() + written, chunk) : 0;
        if (n <= 0)
            break;
        written += n;
    }
    if (written != bytes.size()) {
        file.cancelWriting();
        return fail(QStringLiteral("the disk is full or the write was cut short (%1 of %2 bytes written); "
                                   "the file was left as it was")
                        .arg(written)
                        .arg(bytes.size()));
    }
    if (!file.commit())
        return fail(QStringLiteral("%1; the file was left as it was").arg(file.errorString()));
    if (staged != target.absoluteFilePath()) {
        if (target.exists())
            QFile::setPermissions(staged, target.permissions());
        if (std::rename(QFile::encodeName(staged).constData(), QFile::encodeName(target.absoluteFilePath()).constData())
            != 0) {
            const QString reason = QString::fromLocal8Bit(std::strerror(errno));
            QFile::remove(staged);
            return fail(QStringLiteral("%1; the file was left as it was").arg(reason));
        }
    }

    QFile check(target.absoluteFilePath());
    if (!check.open(QIODevice::ReadOnly) || check.readAll() != bytes)
        return fail(QStringLiteral("the file read back after saving differs from what was written"));
    return true;
}

void setWriteLimitForTesting(qint64 maxBytes)
{
    g_writeLimit = maxBytes;
}

} // namespace FileSafety
