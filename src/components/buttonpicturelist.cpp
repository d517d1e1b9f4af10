#include "buttonpicturelist.h"

#include "buttonimagelist.h"
#include "imagelist.h"
#include "resources.h"

namespace {

const QSize kPictureSize(16, 16);
const QColor kTransparent(255, 0, 255);

} // namespace

ButtonPictureList::ButtonPictureList(ButtonImageList *source, QObject *parent)
    : QObject(parent)
    , m_images(new ImageList(kPictureSize, this))
{
    setSource(source);
}

void ButtonPictureList::setSource(ButtonImageList *source)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_images->clear();
    m_problems.clear();
    if (!m_source)
        return;
    connect(m_source, &ButtonImageList::imageAdded, this, [this](int) { addEntries(m_images->count()); });
    connect(m_source, &ButtonImageList::imagesRemoved, this, &ButtonPictureList::removeEntries);
    addEntries(0);
}

QPixmap ButtonPictureList::pixmap(int index) const
{
    return m_images->pixmap(index);
}

QString ButtonPictureList::problem(int index) const
{
    return index >= 0 && index < m_problems.size() ? m_problems.at(index) : QString();
}

QPixmap ButtonPictureList::notFoundPixmap()
{
    initComponentResources();
    // Kept as an image: a static pixmap would outlive the application that owns the pixel store.
    static const QImage cross = [] {
        const QPixmap read = ImageList::readPicture(QStringLiteral(":/buttons/0.bmp"), kPictureSize, kTransparent);
        if (!read.isNull())
            return read.toImage();
        // Only a broken build lacks the picture; an empty square still keeps the indices in step.
        QImage empty(kPictureSize, QImage::Format_ARGB32);
        empty.fill(Qt::transparent);
        return empty;
    }();
    return QPixmap::fromImage(cross);
}

// Catches up from index on rather than adding the one reported entry, so a missed signal cannot misalign.
void ButtonPictureList::addEntries(int from)
{
    for (int i = from; i < m_source->count(); ++i) {
        const ButtonImageEntry &entry = m_source->at(i);
        const int index = entry.builtIn ? m_images->addFromResource(entry.source, entry.key, kTransparent)
                                        : m_images->addFromFile(entry.source, entry.key, kTransparent);
        QString problem;
        if (index < 0) {
            problem = m_images->errorString();
            // The key stays with the stand-in, so the entry is saved as it was read.
            m_images->addPixmap(notFoundPixmap(), entry.key);
        }
        m_problems.append(problem);
    }
}

void ButtonPictureList::removeEntries(int from)
{
    m_images->removeFrom(from);
    m_problems.resize(qMin(qMax<qsizetype>(from, 0), m_problems.size()));
}
