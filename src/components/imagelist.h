#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QSize>
#include <QStringList>

// A list of equally sized pictures, each with a key. Pictures of another size are scaled on the way in, and
// the transparent colour of a bitmap becomes real transparency, so every consumer draws them as they are.
class ImageList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ImageList)

public:
    explicit ImageList(QSize pictureSize, QObject *parent = nullptr);

    QSize pictureSize() const { return m_pictureSize; }

    // Each add returns the new picture's index, or -1 when the picture cannot be read; then nothing is added
    // and errorString() says why.
    int addPixmap(const QPixmap &pixmap, const QString &key);
    int addFromFile(const QString &path, const QString &key, QColor transparent = QColor(255, 0, 255));
    int addFromResource(const QString &resourcePath, const QString &key, QColor transparent = QColor(255, 0, 255));

    int count() const { return int(m_pixmaps.size()); }
    QPixmap pixmap(int index) const;
    QString keyAt(int index) const;
    bool keyExists(const QString &key) const { return m_keys.contains(key); }
    int indexOfKey(const QString &key) const { return int(m_keys.indexOf(key)); }

    void removeAt(int index);
    // Removes the pictures from index to the end.
    void removeFrom(int index);
    void clear() { removeFrom(0); }

    // Why the last add failed, as a clause to follow the file's name ("the file is empty"); empty after an add
    // that succeeded.
    QString errorString() const { return m_error; }

    // An image file read as a picture of this size, with the transparent colour cleared; a null pixmap when
    // the file cannot be read, and then reason (when given) says why, as errorString() does. An invalid colour
    // keeps the picture as it is. Refuses without decoding a file whose header declares more than 1024 pixels
    // a side, a bitmap shorter than its header says, and anything but a regular file (a pipe would block the
    // read for ever).
    static QPixmap readPicture(const QString &path, QSize size, QColor transparent, QString *reason = nullptr);

Q_SIGNALS:
    // Any picture was added or removed; indices after the change may have moved.
    void changed();

private:
    int append(const QPixmap &pixmap, const QString &key);

    QSize m_pictureSize;
    QList<QPixmap> m_pixmaps;
    QStringList m_keys;
    QString m_error;
};
