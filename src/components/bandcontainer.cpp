#include "bandcontainer.h"

#include <QEvent>
#include <QVBoxLayout>

BandContainer::BandContainer(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QVBoxLayout(this))
{
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setFixedHeight(0);
}

int BandContainer::addBand(QWidget *child, const QString &key)
{
    if (!child)
        return -1;
    m_bands.append(Band { child, key, true });
    m_layout->addWidget(child);
    child->setVisible(true);
    // A band's child grows when buttons are added to it after the band was made.
    child->installEventFilter(this);
    updateHeight();
    return bandCount() - 1;
}

int BandContainer::bandIndex(const QString &key) const
{
    for (int i = 0; i < bandCount(); ++i) {
        if (m_bands.at(i).key == key)
            return i;
    }
    return -1;
}

QWidget *BandContainer::band(int index) const
{
    return isValid(index) ? m_bands.at(index).child.data() : nullptr;
}

void BandContainer::setBandVisible(int index, bool visible)
{
    if (!isValid(index))
        return;
    Band &band = m_bands[index];
    band.visible = visible;
    if (band.child)
        band.child->setVisible(visible);
    updateHeight();
}

void BandContainer::showOnlyBand(int index)
{
    for (int i = 0; i < bandCount(); ++i) {
        Band &band = m_bands[i];
        band.visible = i == index;
        if (band.child)
            band.child->setVisible(band.visible);
    }
    updateHeight();
}

bool BandContainer::isBandVisible(int index) const
{
    return isValid(index) && m_bands.at(index).visible;
}

bool BandContainer::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::LayoutRequest)
        updateHeight();
    return handled;
}

bool BandContainer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::LayoutRequest)
        updateHeight();
    return QWidget::eventFilter(watched, event);
}

void BandContainer::updateHeight()
{
    int height = 0;
    for (const Band &band : std::as_const(m_bands)) {
        if (band.visible && band.child)
            height += qMax(band.child->sizeHint().height(), band.child->minimumHeight());
    }
    if (height == m_height)
        return;
    m_height = height;
    setFixedHeight(height);
    Q_EMIT heightChanged(height);
}
