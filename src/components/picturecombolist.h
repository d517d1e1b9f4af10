#pragma once

#include "imagelist.h"

#include <QComboBox>
#include <QPointer>

// A read-only drop-down list whose items show a picture, left of their text. Pictures are indices into an
// ImageList and are redrawn whenever it changes, so a list that follows the button pictures stays current.
class PictureComboList final : public QComboBox
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PictureComboList)

public:
    explicit PictureComboList(QWidget *parent = nullptr);

    void setImageList(ImageList *images);
    ImageList *imageList() const { return m_images; }

    // Returns the new item's position. An item whose picture index the list lacks shows no picture.
    int addItem(const QString &text, int picture);
    // removeItem() and itemText() are QComboBox's own.
    int itemCount() const { return count(); }
    int itemPicture(int position) const;

    // -1 when nothing is selected. Setting it in code emits no selectionMade().
    int selectedPosition() const { return currentIndex(); }
    void setSelectedPosition(int position);

Q_SIGNALS:
    // The user chose the item at the position, by mouse, keyboard or wheel, even the one already shown.
    void selectionMade(int position);

private:
    void updatePicture(int position);
    void updatePictures();

    QPointer<ImageList> m_images;
};
