#pragma once

#include "buttonimagelist.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

class ImageList;

// The pixels of the toolbar button pictures. Follows a ButtonImageList entry by entry, so picture N here is
// always entry N there: an entry whose file cannot be read shows the not-found picture instead of leaving a
// hole that would shift every later index.
class ButtonPictureList final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ButtonPictureList)

public:
    explicit ButtonPictureList(ButtonImageList *source = nullptr, QObject *parent = nullptr);

    // Follows another list (or none); the pictures are rebuilt from its current entries.
    void setSource(ButtonImageList *source);
    ButtonImageList *source() const { return m_source; }

    // 16 x 16 pictures; connect to its changed() signal to redraw.
    ImageList *images() const { return m_images; }
    QPixmap pixmap(int index) const;
    // Why picture index shows the not-found picture ("the file is empty"), to follow the file's name in a
    // message or tooltip; empty for a picture that was read.
    QString problem(int index) const;

    // Built-in picture 0, the red cross shown for a picture that cannot be read.
    static QPixmap notFoundPixmap();

private:
    void addEntries(int from);
    void removeEntries(int from);

    QPointer<ButtonImageList> m_source;
    ImageList *m_images;
    QStringList m_problems; // one per picture
};
