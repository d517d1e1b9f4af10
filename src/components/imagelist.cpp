#include "imagelist.h"

#include "resources.h"

#include <QImage>
#include <QImageReader>

namespace {

// Before any scaling, which would blend the colour into its neighbours. A mask would also do, but it wipes
// the soft edges of pictures that bring their own alpha.
void clearColour(QImage &image, QRgb colour)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == colour)
                line[x] = 0;
        }
    }
}

} // namespace

ImageList::ImageList(QSize pictureSize, QObject *parent)
    : QObject(parent)
    , m_pictureSize(pictureSize)
{
    initComponentResources();
}

QPixmap ImageList::readPicture(const QString &path, QSize size, QColor transparent)
{
    QImageReader reader(path);
    // Trust the bytes, not the name: a picture saved under the wrong suffix still shows.
    reader.setDecideFormatFromContent(true);
    QImage image = reader.read();
    if (image.isNull())
        return {};

    image = image.convertToFormat(QImage::Format_ARGB32);
    if (transparent.isValid())
        clearColour(image, transparent.rgb());
    QPixmap pixmap = QPixmap::fromImage(image);
    if (size.isValid() && pixmap.size() != size)
        pixmap = pixmap.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return pixmap;
}

int ImageList::addPixmap(const QPixmap &pixmap, const QString &key)
{
    if (pixmap.isNull())
        return -1;
    if (pixmap.size() == m_pictureSize)
        return append(pixmap, key);
    return append(pixmap.scaled(m_pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), key);
}

int ImageList::addFromFile(const QString &path, const QString &key, QColor transparent)
{
    const QPixmap pixmap = readPicture(path, m_pictureSize, transparent);
    if (pixmap.isNull())
        return -1;
    return append(pixmap, key);
}

int ImageList::addFromResource(const QString &resourcePath, const QString &key, QColor transparent)
{
    // Resources are files to the image reader; the separate entry point keeps callers' intent readable.
    return addFromFile(resourcePath, key, transparent);
}

QPixmap ImageList::pixmap(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_pixmaps.at(index);
}

QString ImageList::keyAt(int index) const
{
    if (index < 0 || index >= count())
        return {};
    return m_keys.at(index);
}

void ImageList::removeAt(int index)
{
    if (index < 0 || index >= count())
        return;
    m_pixmaps.removeAt(index);
    m_keys.removeAt(index);
    Q_EMIT changed();
}

void ImageList::removeFrom(int index)
{
    index = qMax(index, 0);
    if (index >= count())
        return;
    m_pixmaps.resize(index);
    m_keys.resize(index);
    Q_EMIT changed();
}

int ImageList::append(const QPixmap &pixmap, const QString &key)
{
    m_pixmaps.append(pixmap);
    m_keys.append(key);
    Q_EMIT changed();
    return count() - 1;
}
