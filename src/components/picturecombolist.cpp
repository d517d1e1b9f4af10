#include "picturecombolist.h"

#include "imagelist.h"

namespace {

constexpr int kPictureRole = Qt::UserRole;

} // namespace

PictureComboList::PictureComboList(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(false);
    // activated() is only ever the user's doing; currentIndexChanged() would also fire for code.
    connect(this, &QComboBox::activated, this, &PictureComboList::selectionMade);
}

void PictureComboList::setImageList(ImageList *images)
{
    if (m_images)
        disconnect(m_images, nullptr, this, nullptr);
    m_images = images;
    if (m_images) {
        setIconSize(m_images->pictureSize());
        connect(m_images, &ImageList::changed, this, &PictureComboList::updatePictures);
    }
    updatePictures();
}

int PictureComboList::addItem(const QString &text, int picture)
{
    QComboBox::addItem(text, picture);
    const int position = count() - 1;
    updatePicture(position);
    return position;
}

int PictureComboList::itemPicture(int position) const
{
    const QVariant picture = itemData(position, kPictureRole);
    return picture.isValid() ? picture.toInt() : -1;
}

void PictureComboList::setSelectedPosition(int position)
{
    setCurrentIndex(position >= 0 && position < count() ? position : -1);
}

void PictureComboList::updatePicture(int position)
{
    const QPixmap pixmap = m_images ? m_images->pixmap(itemPicture(position)) : QPixmap();
    setItemIcon(position, pixmap.isNull() ? QIcon() : QIcon(pixmap));
}

void PictureComboList::updatePictures()
{
    for (int position = 0; position < count(); ++position)
        updatePicture(position);
}
