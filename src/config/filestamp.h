#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What the editor knew of a file when it loaded or saved it, so that a change made by another program since
// can be told from the editor's own writes.
class FileStamp final
{
public:
    FileStamp() = default;

    // Reads the whole file (in blocks, so a large file costs time, not memory). With known given, a file whose
    // size and times are still those of known is not read again and takes known's content hash, unless known
    // was taken so soon after the file's last change that a later change could carry the same times.
    static FileStamp of(const QString &path, const FileStamp *known = nullptr);

    bool exists() const { return m_exists; }
    qint64 size() const { return m_size; }
    QDateTime modified() const { return m_modified; }
    QByteArray sha256() const { return m_sha256; }

    // True when the file appeared, vanished or holds other bytes than it did at earlier. Times alone do not
    // count: a program that rewrites the same bytes changes nothing the editor shows.
    bool changedSince(const FileStamp &earlier) const;

private:
    bool sameTimesAndSize(const FileStamp &other) const;

    bool m_exists = false;
    bool m_readable = true; // false: the file could not be read, so only its size and times count
    qint64 m_size = 0;
    QDateTime m_modified;
    QDateTime m_metadataChanged;
    QDateTime m_taken;
    QByteArray m_sha256;
};
