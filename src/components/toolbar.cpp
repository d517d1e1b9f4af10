#include "toolbar.h"

#include "imagelist.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>

namespace {

constexpr int kSeparatorWidth = 8;

// The gap between two groups of buttons; a flat toolbar marks it with an etched line, as flat strips do.
class SeparatorGap final : public QWidget
{
public:
    explicit SeparatorGap(int width, bool etched, QWidget *parent)
        : QWidget(parent)
        , m_etched(etched)
    {
        setFixedWidth(width > 0 ? width : kSeparatorWidth);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    }

    void setEtched(bool etched)
    {
        m_etched = etched;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        if (!m_etched)
            return;
        QPainter painter(this);
        QStyleOption option;
        option.initFrom(this);
        option.state |= QStyle::State_Horizontal;
        style()->drawPrimitive(QStyle::PE_IndicatorToolBarSeparator, &option, &painter, this);
    }

private:
    bool m_etched;
};

} // namespace

Toolbar::Toolbar(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
{
    m_layout->setContentsMargins(2, 2, 2, 2);
    m_layout->setSpacing(0);
    m_layout->addStretch(1);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Toolbar::setPictureSize(int pixels)
{
    m_pictureSize = pixels;
    for (const Item &item : std::as_const(m_items)) {
        if (item.button)
            item.button->setIconSize(QSize(pixels, pixels));
    }
    updatePictures();
}

void Toolbar::setImageLists(ImageList *normal, ImageList *hot)
{
    for (ImageList *old : {m_normal.data(), m_hot.data()}) {
        if (old)
            disconnect(old, nullptr, this, nullptr);
    }
    m_normal = normal;
    m_hot = hot;
    for (ImageList *list : {normal, hot}) {
        if (list)
            connect(list, &ImageList::changed, this, &Toolbar::updatePictures);
    }
    updatePictures();
}

void Toolbar::setFlat(bool flat)
{
    m_flat = flat;
    for (const Item &item : std::as_const(m_items)) {
        if (item.button)
            item.button->setAutoRaise(flat);
        else
            static_cast<SeparatorGap *>(item.widget)->setEtched(flat);
    }
}

int Toolbar::addButton(const QString &tooltip, int picture, int insertBefore, int width, const QString &caption,
                       int style)
{
    const int position = isValid(insertBefore) ? insertBefore : buttonCount();
    Item item;
    item.tooltip = tooltip;
    item.caption = caption;
    item.picture = picture;
    item.style = style;
    if (style & SeparatorStyle) {
        item.widget = new SeparatorGap(width, m_flat, this);
    } else {
        item.button = makeButton(item, width);
        item.widget = item.button;
        updatePicture(item);
        updateAccessibleName(item);
    }
    m_items.insert(position, item);
    m_layout->insertWidget(position, item.widget);
    // Now rather than on the next event loop pass, so the toolbar's size is right at once.
    item.widget->show();
    layoutChanged();
    return position;
}

QToolButton *Toolbar::makeButton(const Item &item, int width)
{
    auto *button = new QToolButton(this);
    button->setAutoRaise(m_flat);
    button->setIconSize(QSize(m_pictureSize, m_pictureSize));
    button->setToolTip(item.tooltip);
    if (!item.caption.isEmpty()) {
        button->setText(item.caption);
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
    if (width > 0 && !(item.style & AutoSizeStyle))
        button->setFixedWidth(width);
    connect(button, &QToolButton::clicked, this, [this, button] { handleClick(button); });
    return button;
}

void Toolbar::removeButton(int position)
{
    if (!isValid(position))
        return;
    const Item item = m_items.takeAt(position);
    m_layout->removeWidget(item.widget);
    item.widget->hide();
    // Later, not now: the button may be the one whose click is being handled.
    item.widget->deleteLater();
    layoutChanged();
}

void Toolbar::clear()
{
    while (!m_items.isEmpty())
        removeButton(buttonCount() - 1);
}

QString Toolbar::buttonCommand(int position) const
{
    return isValid(position) ? m_items.at(position).command : QString();
}

void Toolbar::setButtonCommand(int position, const QString &command)
{
    if (!isValid(position))
        return;
    m_items[position].command = command;
    updateAccessibleName(m_items.at(position));
}

int Toolbar::buttonPicture(int position) const
{
    return isValid(position) ? m_items.at(position).picture : -1;
}

void Toolbar::setButtonPicture(int position, int picture)
{
    if (!isValid(position))
        return;
    m_items[position].picture = picture;
    updatePicture(m_items.at(position));
}

QString Toolbar::buttonTooltip(int position) const
{
    return isValid(position) ? m_items.at(position).tooltip : QString();
}

void Toolbar::setButtonTooltip(int position, const QString &tooltip)
{
    if (!isValid(position))
        return;
    Item &item = m_items[position];
    item.tooltip = tooltip;
    if (item.button)
        item.button->setToolTip(tooltip);
    updateAccessibleName(item);
}

QString Toolbar::buttonCaption(int position) const
{
    return isValid(position) ? m_items.at(position).caption : QString();
}

int Toolbar::buttonStyle(int position) const
{
    return isValid(position) ? m_items.at(position).style : ButtonStyle;
}

bool Toolbar::isSeparator(int position) const
{
    return isValid(position) && !m_items.at(position).button;
}

QWidget *Toolbar::buttonWidget(int position) const
{
    return isValid(position) ? m_items.at(position).widget : nullptr;
}

QRect Toolbar::buttonRect(int position) const
{
    if (!isValid(position))
        return {};
    m_layout->activate();
    return m_items.at(position).widget->geometry();
}

void Toolbar::relayout()
{
    m_layout->invalidate();
    m_layout->activate();
}

void Toolbar::updatePicture(const Item &item) const
{
    if (!item.button)
        return;
    const QPixmap normal = m_normal ? m_normal->pixmap(item.picture) : QPixmap();
    if (normal.isNull()) {
        // An empty picture, not none: a button without one keeps the size of its neighbours.
        QPixmap blank(m_pictureSize, m_pictureSize);
        blank.fill(Qt::transparent);
        item.button->setIcon(QIcon(blank));
        return;
    }
    QIcon icon(normal);
    const QPixmap hot = m_hot ? m_hot->pixmap(item.picture) : QPixmap();
    if (!hot.isNull())
        icon.addPixmap(hot, QIcon::Active);
    item.button->setIcon(icon);
}

void Toolbar::updatePictures()
{
    for (const Item &item : std::as_const(m_items))
        updatePicture(item);
}

// What a screen reader announces: the caption, else the tooltip, else at least the command.
void Toolbar::updateAccessibleName(const Item &item)
{
    if (!item.button)
        return;
    QString name = item.caption;
    if (name.isEmpty())
        name = item.tooltip;
    if (name.isEmpty())
        name = item.command;
    item.button->setAccessibleName(name);
}

void Toolbar::handleClick(QObject *button)
{
    for (int position = 0; position < buttonCount(); ++position) {
        if (m_items.at(position).button == button) {
            Q_EMIT buttonClicked(position);
            return;
        }
    }
}

void Toolbar::layoutChanged()
{
    m_layout->invalidate();
    updateGeometry();
}
