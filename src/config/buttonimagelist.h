#pragma once

#include "configformat.h"

#include <QHash>
#include <QList>
#include <QObject>

// The pictures a toolbar button can show, by index and key. Pixels live in the window's image list, which
// follows this one; here are only the keys and where each picture comes from.
class ButtonImageList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ButtonImageList)

public:
    explicit ButtonImageList(QObject *parent = nullptr);

    int count() const { return int(m_entries.size()); }
    const ButtonImageEntry &at(int index) const { return m_entries.at(index); }
    const QList<ButtonImageEntry> &entries() const { return m_entries; }
    bool contains(int index) const { return index >= 0 && index < count(); }

    // Index of the picture with this key, -1 when there is none. File keys compare as the platform compares
    // file names.
    int indexOfKey(const QString &key) const;
    QString keyAt(int index) const { return contains(index) ? m_entries[index].key : QString(); }

    // Adds a picture at the end and returns its index.
    int add(const ButtonImageEntry &entry);
    // Removes the pictures from index on.
    void removeFrom(int index);
    void clear() { removeFrom(0); }

Q_SIGNALS:
    void imageAdded(int index);
    void imagesRemoved(int from);

private:
    static QString lookupKey(const QString &key);

    QList<ButtonImageEntry> m_entries;
    QHash<QString, int> m_indexOfKey; // first picture of each key
};
