#include "filesafety.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

qint64 g_writeLimit = -1;

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

    QSaveFile file(path);
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
