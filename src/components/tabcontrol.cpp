#include "tabcontrol.h"

#include "imagelist.h"

#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>

namespace {

// Tab data holds both the key and the icon's picture index, so icons can be redrawn from the list.
QVariantList tabData(const QString &key, int icon)
{
    return { key, icon };
}

} // namespace

TabControl::TabControl(QWidget *parent)
    : QWidget(parent)
    , m_bar(new QTabBar(this))
{
    m_bar->setDrawBase(false);
    m_bar->setExpanding(false);
    m_bar->move(0, 0);
    connect(m_bar, &QTabBar::currentChanged, this, [this](int index) {
        update(); // the frame opens under the selected tab
        if (!m_selectingInCode && index >= 0)
            Q_EMIT tabSelected(index + 1);
    });
    setFocusProxy(m_bar);
}

void TabControl::setIconList(ImageList *icons)
{
    if (m_icons)
        disconnect(m_icons, nullptr, this, nullptr);
    m_icons = icons;
    if (m_icons) {
        m_bar->setIconSize(m_icons->pictureSize());
        connect(m_icons, &ImageList::changed, this, &TabControl::updateIcons);
    }
    updateIcons();
}

int TabControl::addTab(const QString &caption, int icon, const QString &key)
{
    // The first tab becomes current by itself; that is not the user's choice.
    const QScopedValueRollback guard(m_selectingInCode, true);
    const int index = m_bar->addTab(caption);
    m_bar->setTabData(index, tabData(key, icon));
    updateIcons();
    updateBarGeometry();
    return index + 1;
}

void TabControl::selectTab(const QString &key)
{
    for (int i = 0; i < m_bar->count(); ++i) {
        if (tabKey(i + 1) == key) {
            const QScopedValueRollback guard(m_selectingInCode, true);
            m_bar->setCurrentIndex(i);
            return;
        }
    }
}

int TabControl::selectedTab() const
{
    return m_bar->currentIndex() + 1;
}

int TabControl::tabCount() const
{
    return m_bar->count();
}

QString TabControl::tabKey(int number) const
{
    const QVariantList data = m_bar->tabData(number - 1).toList();
    return data.isEmpty() ? QString() : data.first().toString();
}

void TabControl::removeTabs()
{
    const QScopedValueRollback guard(m_selectingInCode, true);
    while (m_bar->count() > 0)
        m_bar->removeTab(m_bar->count() - 1);
    updateBarGeometry();
}

QRect TabControl::pageArea() const
{
    const int frame = frameWidth();
    return frameRect().adjusted(frame, frame, -frame, -frame);
}

QSize TabControl::sizeHint() const
{
    const QSize bar = m_bar->sizeHint();
    return { qMax(bar.width(), 200), bar.height() + 150 };
}

QSize TabControl::minimumSizeHint() const
{
    const QSize bar = m_bar->minimumSizeHint();
    return { bar.width(), bar.height() + 2 * frameWidth() };
}

void TabControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionTabWidgetFrame option;
    option.initFrom(this);
    option.rect = frameRect();
    option.shape = QTabBar::RoundedNorth;
    option.tabBarSize = m_bar->size();
    option.tabBarRect = m_bar->geometry();
    option.selectedTabRect = m_bar->tabRect(m_bar->currentIndex()).translated(m_bar->pos());
    option.lineWidth = frameWidth();
    style()->drawPrimitive(QStyle::PE_FrameTabWidget, &option, &painter, this);
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!updateBarGeometry())
        Q_EMIT pageAreaChanged(pageArea());
}

bool TabControl::updateBarGeometry()
{
    const QSize hint = m_bar->sizeHint();
    const int oldHeight = m_bar->height();
    m_bar->resize(qMin(width(), hint.width()), hint.height());
    if (m_bar->height() == oldHeight)
        return false;
    updateGeometry();
    update();
    Q_EMIT pageAreaChanged(pageArea());
    return true;
}

void TabControl::updateIcons()
{
    for (int i = 0; i < m_bar->count(); ++i) {
        const QVariantList data = m_bar->tabData(i).toList();
        const int icon = data.size() > 1 ? data.at(1).toInt() : -1;
        const QPixmap pixmap = m_icons ? m_icons->pixmap(icon) : QPixmap();
        m_bar->setTabIcon(i, pixmap.isNull() ? QIcon() : QIcon(pixmap));
    }
}

QRect TabControl::frameRect() const
{
    // The frame starts under the strip, overlapping its last line as a tab page does.
    const int top = qMax(m_bar->height() - 1, 0);
    return rect().adjusted(0, top, 0, 0);
}

int TabControl::frameWidth() const
{
    return style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
}
