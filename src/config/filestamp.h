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

    // The file at path as holding bytes, which the caller has just read from it or written to it: only its size
    // and times are looked up, the file is not read again.
    static FileStamp forBytes(const QString &path, const QByteArray &bytes);

    // Reads the whole file. With known given, a file whose size and times are still those of known is not read
    // again and takes known's content, unless known was taken so soon after the file's last change that a later
    // change could carry the same times.
    static FileStamp read(const QString &path, const FileStamp *known = nullptr);

    bool exists() const { return m_exists; }

    // True when the file appeared, vanished or holds other bytes than it did at earlier. Times alone do not
    // count: a program that rewrites the same bytes changes nothing the editor shows.
    bool changedSince(const FileStamp &earlier) const;

private:
    static FileStamp times(const QString &path);
    bool sameTimesAndSize(const FileStamp &other) const;

    bool m_exists = false;
    bool m_readable = true; // false: the file could not be read, so only its size and times count
    qint64 m_size = 0;
    QDateTime m_modified;
    QDateTime m_metadataChanged;
    QDateTime m_taken;
    QByteArray m_bytes; // shared with the load or save that made the stamp: no copy
};
