#include "imagelist.h"

#include "resources.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QtEndian>
#include <optional>

namespace {

// Pictures here are 16 x 16 to 19 x 19; a file of up to 1024 x 1024 (a large icon meant to be shrunk) is still
// taken. A bigger one is no toolbar picture: decoding it would cost megabytes for a few hundred pixels shown,
// and a damaged header can declare gigabytes.
constexpr int kMaxPictureSide = 1024;
// The decoders' own limit, for formats whose size is only known while decoding: 1024 x 1024 at 64 bits a
// pixel is 8 MB, twice that leaves room for a decoder's working copy. The limit is process-wide, which suits
// this program: it reads no larger picture anywhere.
constexpr int kAllocationLimitMB = 16;

void limitAllocation()
{
    static const bool limited = [] {
        QImageReader::setAllocationLimit(kAllocationLimitMB);
        return true;
    }();
    Q_UNUSED(limited);
}

// What a bitmap's header declares: its size in pixels and the bytes the file needs to hold it whole.
struct BitmapHeader
{
    qint64 width = 0;
    qint64 height = 0;
    qint64 fileBytes = 0;
};

// head holds the first bytes of the file; nullopt for anything but a bitmap header this knows.
std::optional<BitmapHeader> bitmapHeader(QByteArrayView head)
{
    if (head.size() < 30 || !head.startsWith("BM"))
        return std::nullopt;
    const uchar *p = reinterpret_cast<const uchar *>(head.data());
    const qint64 dataOffset = qFromLittleEndian<quint32>(p + 10);
    const quint32 headerSize = qFromLittleEndian<quint32>(p + 14);
    BitmapHeader header;
    qint64 bitsPerPixel = 0;
    quint32 compression = 0;
    qint64 dataSize = 0;
    if (headerSize == 12) {
        header.width = qFromLittleEndian<quint16>(p + 18);
        header.height = qFromLittleEndian<quint16>(p + 20);
        bitsPerPixel = qFromLittleEndian<quint16>(p + 24);
    } else if (headerSize >= 40 && head.size() >= 38) {
        header.width = qFromLittleEndian<qint32>(p + 18);
        // Negative for rows stored top down.
        header.height = qAbs(qint64(qFromLittleEndian<qint32>(p + 22)));
        bitsPerPixel = qFromLittleEndian<quint16>(p + 28);
        compression = qFromLittleEndian<quint32>(p + 30);
        dataSize = qFromLittleEndian<quint32>(p + 34);
    } else {
        return std::nullopt;
    }
    if (header.width <= 0 || header.height <= 0 || bitsPerPixel <= 0 || bitsPerPixel > 32)
        return std::nullopt;
    // A size beyond this is refused anyway, and its byte count could overflow.
    if (header.width > kMaxPictureSide || header.height > kMaxPictureSide)
        return header;
    // Plain rows (also with colour masks) have a size the header fixes; compressed data only its stated size.
    // Some writers leave out the padding after the last row, which costs no pixel.
    const bool plainRows = compression == 0 || compression == 3 || compression == 6;
    const qint64 rowBytes = (header.width * bitsPerPixel + 31) / 32 * 4;
    const qint64 padding = rowBytes - (header.width * bitsPerPixel + 7) / 8;
    header.fileBytes = dataOffset + (plainRows ? rowBytes * header.height - padding : qMax<qint64>(dataSize, 1));
    return header;
}

QString tooLarge(const char *how, qint64 width, qint64 height)
{
    return QStringLiteral("it %1 a picture of %2 x %3 pixels, larger than the %4 x %4 this program reads")
        .arg(QLatin1StringView(how))
        .arg(width)
        .arg(height)
        .arg(kMaxPictureSide);
}

QString readFailure(const QImageReader &reader)
{
    switch (reader.error()) {
    case QImageReader::UnsupportedFormatError:
        return QStringLiteral("it is not a picture this program can read");
    case QImageReader::InvalidDataError:
        return QStringLiteral("its picture data is damaged");
    default:
        return QStringLiteral("it could not be read (%1)").arg(reader.errorString());
    }
}

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

QPixmap ImageList::readPicture(const QString &path, QSize size, QColor transparent, QString *reason)
{
    auto fail = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return QPixmap();
    };
    const QFileInfo info(path);
    if (!info.exists())
        return fail(QStringLiteral("the file does not exist"));
    if (info.isDir())
        return fail(QStringLiteral("it is a folder, not a file"));
    if (!info.isFile())
        return fail(QStringLiteral("it is not a regular file"));
    if (info.size() == 0)
        return fail(QStringLiteral("the file is empty"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("it could not be opened (%1)").arg(file.errorString()));

    limitAllocation();
    // Read from the open file, so the decoder trusts the bytes, not the name: a picture saved under the wrong
    // suffix still shows.
    QImageReader reader(&file);
    const std::optional<BitmapHeader> bitmap = bitmapHeader(file.peek(64));
    // Before any decoding: a damaged header can declare gigabytes.
    if (bitmap && (bitmap->width > kMaxPictureSide || bitmap->height > kMaxPictureSide))
        return fail(tooLarge("declares", bitmap->width, bitmap->height));
    const QSize declared = reader.size();
    if (qAbs(declared.width()) > kMaxPictureSide || qAbs(declared.height()) > kMaxPictureSide)
        return fail(tooLarge("declares", qAbs(declared.width()), qAbs(declared.height())));
    // The decoder shows a bitmap whose rows stop early with the missing rows made up: it is damaged instead.
    if (bitmap && info.size() < bitmap->fileBytes)
        return fail(QStringLiteral("the file is shorter than the picture it declares (cut short or damaged)"));
    QImage image = reader.read();
    if (image.isNull())
        return fail(readFailure(reader));
    // A format that could not tell its size beforehand is held to the same bound.
    if (image.width() > kMaxPictureSide || image.height() > kMaxPictureSide)
        return fail(tooLarge("holds", image.width(), image.height()));
    if (reason)
        reason->clear();

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
    if (pixmap.isNull()) {
        m_error = QStringLiteral("there is no picture");
        return -1;
    }
    m_error.clear();
    if (pixmap.size() == m_pictureSize)
        return append(pixmap, key);
    return append(pixmap.scaled(m_pictureSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), key);
}

int ImageList::addFromFile(const QString &path, const QString &key, QColor transparent)
{
    const QPixmap pixmap = readPicture(path, m_pictureSize, transparent, &m_error);
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
