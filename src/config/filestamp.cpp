#include "filestamp.h"

#include <QFile>
#include <QFileInfo>

FileStamp FileStamp::times(const QString &path)
{
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return stamp;
    stamp.m_exists = true;
    stamp.m_size = info.size();
    stamp.m_modified = info.lastModified();
    // A replacement by rename or a rewrite keeping the size and modification time still changes this one.
    stamp.m_metadataChanged = info.metadataChangeTime();
    stamp.m_taken = QDateTime::currentDateTimeUtc();
    return stamp;
}

FileStamp FileStamp::forBytes(const QString &path, const QByteArray &bytes)
{
    FileStamp stamp = times(path);
    stamp.m_bytes = bytes;
    return stamp;
}

FileStamp FileStamp::read(const QString &path, const FileStamp *known)
{
    FileStamp stamp = times(path);
    if (!stamp.m_exists)
        return stamp;
    // File times tick in steps (a few milliseconds, two seconds on some disks): a rewrite soon after the stamp
    // was taken may keep the size and the times, so only a stamp taken well after the last change is trusted.
    const QDateTime lastChange = qMax(stamp.m_modified, stamp.m_metadataChanged);
    if (known && known->m_exists && known->m_readable && stamp.sameTimesAndSize(*known)
        && lastChange.msecsTo(known->m_taken) > 3000) {
        stamp.m_bytes = known->m_bytes;
        return stamp;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        stamp.m_readable = false;
        return stamp;
    }
    stamp.m_bytes = file.readAll();
    stamp.m_readable = file.error() == QFileDevice::NoError;
    return stamp;
}

bool FileStamp::changedSince(const FileStamp &earlier) const
{
    if (m_exists != earlier.m_exists)
        return true;
    if (!m_exists)
        return false;
    if (!m_readable || !earlier.m_readable)
        return !sameTimesAndSize(earlier);
    return m_bytes != earlier.m_bytes;
}

bool FileStamp::sameTimesAndSize(const FileStamp &other) const
{
    return m_size == other.m_size && m_modified == other.m_modified && m_metadataChanged == other.m_metadataChanged;
}
