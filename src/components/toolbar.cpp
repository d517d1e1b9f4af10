#include "toolbar.h"

#include "dragtomove.h"
#include "imagelist.h"
#include "tooltiptext.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QStyleOption>
#include <QToolButton>
#include <algorithm>

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

// A toolbar button that can carry a warning sign over a corner of its picture.
class MarkableButton final : public QToolButton
{
public:
    explicit MarkableButton(QWidget *parent)
        : QToolButton(parent)
    {
    }

    void setMarked(bool marked)
    {
        if (m_marked == marked)
            return;
        m_marked = marked;
        update();
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QToolButton::paintEvent(event);
        if (m_marked)
            paintMark();
    }

private:
    // Where the style puts the picture: centred when alone, at the start when a caption follows it.
    QRect pictureRect() const
    {
        QStyleOptionToolButton option;
        initStyleOption(&option);
        const QRect content = style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButton, this);
        const bool alone = toolButtonStyle() == Qt::ToolButtonIconOnly || text().isEmpty();
        const int margin = style()->pixelMetric(QStyle::PM_ButtonMargin, &option, this);
        return QStyle::alignedRect(layoutDirection(), alone ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter,
                                   iconSize(), alone ? content : content.adjusted(margin, 0, -margin, 0));
    }

    // A small amber triangle with an exclamation mark at the bottom right of the picture, ringed in the
    // button's own colour so it stands off any picture, and scaled with the picture size.
    void paintMark()
    {
        const QRect picture = pictureRect();
        const qreal side = qMax(7.0, picture.width() * 0.6);
        const QRectF box(picture.right() + 1.0 - side, picture.bottom() + 1.0 - side, side, side);
        QPainterPath triangle;
        triangle.moveTo(box.center().x(), box.top());
        triangle.lineTo(box.bottomRight());
        triangle.lineTo(box.bottomLeft());
        triangle.closeSubpath();

        const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
        QColor fill(0xf0, 0xa8, 0x00);
        if (!isEnabled())
            fill = palette().color(group, QPalette::Mid);
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.strokePath(triangle,
                           QPen(palette().color(group, QPalette::Button), qMax(2.0, side / 6), Qt::SolidLine,
                                Qt::RoundCap, Qt::RoundJoin));
        painter.fillPath(triangle, fill);
        painter.strokePath(triangle, QPen(fill.darker(160), 1.0));
        // The exclamation mark: a stroke and a dot, dark on the amber whatever the theme.
        const QColor ink = fill.lightness() > 128 ? QColor(0x20, 0x20, 0x20) : QColor(Qt::white);
        const qreal x = box.center().x();
        const qreal width = qMax(1.0, side / 8);
        painter.setPen(QPen(ink, width, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(QPointF(x, box.top() + side * 0.35), QPointF(x, box.top() + side * 0.68));
        painter.setPen(Qt::NoPen);
        painter.setBrush(ink);
        painter.drawEllipse(QPointF(x, box.top() + side * 0.82), width * 0.7, width * 0.7);
    }

    bool m_marked = false;
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

    m_drag = new DragToMove(
        this, [this](QPoint pos) { return rect().contains(pos) ? dropGap(pos) : -1; },
        [this](int gap) { return dropMarkerRect(gap); });
    connect(m_drag, &DragToMove::started, this, [this] {
        // The press no longer clicks: the button comes up and does not go down again under the pointer.
        if (auto *button = qobject_cast<QToolButton *>(m_dragWidget.data()))
            button->setDown(false);
    });
    connect(m_drag, &DragToMove::dropped, this, &Toolbar::buttonDropped);
}

void Toolbar::setPictureSize(int pixels)
{
    m_pictureSize = pixels;
    for (const Item &item : std::as_const(m_items)) {
        if (item.button)
            item.button->setIconSize(QSize(pixels, pixels));
        item.shownNormal = -1; // an empty picture takes the new size
    }
    updatePictures();
}

void Toolbar::setImageLists(ImageList *normal, ImageList *hot)
{
    for (ImageList *old : { m_normal.data(), m_hot.data() }) {
        if (old)
            disconnect(old, nullptr, this, nullptr);
    }
    m_normal = normal;
    m_hot = hot;
    for (ImageList *list : { normal, hot }) {
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
        updateTooltip(item);
        updateAccessibleName(item);
    }
    item.widget->installEventFilter(this);
    m_items.insert(position, item);
    m_layout->insertWidget(position, item.widget);
    // Now rather than on the next event loop pass, so the toolbar's size is right at once.
    item.widget->show();
    if (m_batch == 0)
        layoutChanged();
    return position;
}

QToolButton *Toolbar::makeButton(const Item &item, int width)
{
    auto *button = new MarkableButton(this);
    button->setAutoRaise(m_flat);
    button->setIconSize(QSize(m_pictureSize, m_pictureSize));
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
    item.widget->removeEventFilter(this);
    m_layout->removeWidget(item.widget);
    item.widget->hide();
    // Later, not now: the button may be the one whose click is being handled.
    item.widget->deleteLater();
    if (m_batch == 0)
        layoutChanged();
}

void Toolbar::clear()
{
    if (m_items.isEmpty())
        return;
    beginBatch();
    // Deleted now: thousands of pending deletions would make every event posted meanwhile slow to queue.
    // Only a button that may be handling a key or a click of its own goes later.
    const QWidget *busy[]
        = { QApplication::focusWidget(), QWidget::mouseGrabber(), QApplication::widgetAt(QCursor::pos()) };
    while (!m_items.isEmpty()) {
        const Item item = m_items.takeLast();
        delete m_layout->takeAt(int(m_items.size())); // from the end, so nothing is searched or shifted
        item.widget->removeEventFilter(this);
        if (std::find(std::begin(busy), std::end(busy), item.widget) != std::end(busy)) {
            item.widget->hide();
            item.widget->deleteLater();
        } else {
            delete item.widget;
        }
    }
    endBatch();
}

void Toolbar::beginBatch()
{
    // A disabled layout ignores the requests each new button's show() would make of it.
    if (m_batch++ == 0)
        m_layout->setEnabled(false);
}

void Toolbar::endBatch()
{
    if (m_batch == 0 || --m_batch > 0)
        return;
    m_layout->setEnabled(true);
    layoutChanged();
    relayout();
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
    updateTooltip(item);
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
    const QPixmap hot = normal.isNull() || !m_hot ? QPixmap() : m_hot->pixmap(item.picture);
    const qint64 normalKey = normal.isNull() ? 0 : normal.cacheKey();
    const qint64 hotKey = hot.isNull() ? 0 : hot.cacheKey();
    if (normalKey == item.shownNormal && hotKey == item.shownHot)
        return;
    item.shownNormal = normalKey;
    item.shownHot = hotKey;
    if (normal.isNull()) {
        // An empty picture, not none: a button without one keeps the size of its neighbours.
        QPixmap blank(m_pictureSize, m_pictureSize);
        blank.fill(Qt::transparent);
        item.button->setIcon(QIcon(blank));
        return;
    }
    QIcon icon(normal);
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

// The reason for a mark goes on its own line under the tooltip, and into what a screen reader reads after
// the name.
void Toolbar::updateTooltip(const Item &item)
{
    if (!item.button)
        return;
    QString tip = item.tooltip;
    if (!item.mark.isEmpty())
        tip += (tip.isEmpty() ? QString() : QStringLiteral("\n")) + item.mark;
    item.button->setToolTip(tooltipText(tip));
    item.button->setAccessibleDescription(item.mark);
    static_cast<MarkableButton *>(item.button)->setMarked(!item.mark.isEmpty());
}

void Toolbar::layoutChanged()
{
    // Positions shift under a drag in progress: drop it rather than land somewhere unexpected.
    m_drag->cancel();
    m_layout->invalidate();
    updateGeometry();
}

void Toolbar::setButtonEnabled(int position, bool enabled)
{
    if (!isValid(position))
        return;
    Item &item = m_items[position];
    item.enabled = enabled;
    if (item.button)
        item.button->setEnabled(enabled);
}

bool Toolbar::isButtonEnabled(int position) const
{
    return isValid(position) && m_items.at(position).enabled;
}

void Toolbar::setEditable(bool editable)
{
    if (!editable)
        m_drag->cancel();
    m_editable = editable;
}

void Toolbar::focusButton(int position)
{
    if (isFocusable(position))
        m_items.at(position).button->setFocus(Qt::OtherFocusReason);
}

int Toolbar::focusedButton() const
{
    const QWidget *focus = QApplication::focusWidget();
    return focus ? positionOf(focus) : -1;
}

void Toolbar::setButtonMark(int position, const QString &reason)
{
    if (!isValid(position) || m_items.at(position).mark == reason)
        return;
    Item &item = m_items[position];
    item.mark = reason;
    updateTooltip(item);
}

QString Toolbar::buttonMark(int position) const
{
    return isValid(position) ? m_items.at(position).mark : QString();
}

int Toolbar::positionOf(const QObject *widget) const
{
    for (int position = 0; position < buttonCount(); ++position) {
        if (m_items.at(position).widget == widget)
            return position;
    }
    return -1;
}

bool Toolbar::isFocusable(int position) const
{
    return isValid(position) && m_items.at(position).button && m_items.at(position).enabled;
}

// The first focusable button from the position on in the step's direction, or -1.
int Toolbar::focusableFrom(int position, int step) const
{
    for (; isValid(position); position += step) {
        if (isFocusable(position))
            return position;
    }
    return -1;
}

bool Toolbar::isRequestKey(const QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
        return modifiers == Qt::ControlModifier;
    case Qt::Key_Delete:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
    case Qt::Key_Menu:
        return modifiers == Qt::NoModifier;
    case Qt::Key_F10:
        return modifiers == Qt::ShiftModifier;
    default:
        return false;
    }
}

bool Toolbar::handleKey(int position, QKeyEvent *event)
{
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (modifiers == Qt::NoModifier) {
        int target = -1;
        switch (event->key()) {
        case Qt::Key_Left:
            target = focusableFrom(position - 1, -1);
            break;
        case Qt::Key_Right:
            target = focusableFrom(position + 1, 1);
            break;
        case Qt::Key_Home:
            target = focusableFrom(0, 1);
            break;
        case Qt::Key_End:
            target = focusableFrom(buttonCount() - 1, -1);
            break;
        default:
            break;
        }
        if (target >= 0) {
            focusButton(target);
            return true;
        }
        // At either end the arrows stay put rather than leak out to the window.
        if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right || event->key() == Qt::Key_Home
            || event->key() == Qt::Key_End)
            return true;
    }
    if (!m_editable || !isRequestKey(event))
        return false;

    QPointer<QWidget> before = m_items.at(position).widget;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right: {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        if (isValid(position + step)) {
            Q_EMIT buttonMoveRequested(position, step);
            keepFocusAfterRequest(before, position + step);
        }
        break;
    }
    case Qt::Key_Delete:
        Q_EMIT buttonDeleteRequested(position);
        keepFocusAfterRequest(before, position);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
        Q_EMIT buttonEditRequested(position);
        break;
    default:
        Q_EMIT buttonMenuRequested(position);
        break;
    }
    return true;
}

// The owner answers a move or delete by changing its model, which replaces or removes this button's widget.
// The keyboard user then expects to stay on the moved button, or on its neighbour after a delete.
void Toolbar::keepFocusAfterRequest(const QWidget *before, int position)
{
    if (before && positionOf(before) >= 0)
        return;
    const int nearest = qMin(position, buttonCount() - 1);
    const int after = focusableFrom(nearest, 1);
    focusButton(after >= 0 ? after : focusableFrom(nearest, -1));
}

bool Toolbar::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Keys this toolbar acts on win over window shortcuts while one of its buttons has the focus.
        if (m_editable && isRequestKey(static_cast<QKeyEvent *>(event)) && positionOf(watched) >= 0) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (const int position = positionOf(watched); position >= 0)
            return handleKey(position, static_cast<QKeyEvent *>(event));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        if (positionOf(watched) >= 0)
            return handleMouse(static_cast<QWidget *>(watched), static_cast<QMouseEvent *>(event));
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

bool Toolbar::handleMouse(QWidget *widget, QMouseEvent *event)
{
    const QPoint pos = widget->mapTo(this, event->position().toPoint());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_drag->cancel();
        m_dragWidget = nullptr;
        if (m_editable && event->button() == Qt::LeftButton && isButtonEnabled(positionOf(widget))) {
            m_dragWidget = widget;
            m_drag->press(positionOf(widget), pos);
        }
        return false;
    case QEvent::MouseMove:
        // A press held for a drag swallows its moves, also once cancelled, so the button cannot click on release.
        return widget == m_dragWidget && m_drag->move(pos, event->buttons());
    case QEvent::MouseButtonRelease:
        if (event->button() != Qt::LeftButton || widget != m_dragWidget)
            return false;
        m_drag->release(pos);
        m_dragWidget = nullptr;
        return false;
    default:
        return false;
    }
}

// The gap the pointer is nearest to: 0 before the first item, buttonCount() after the last.
int Toolbar::dropGap(QPoint pos) const
{
    m_layout->activate();
    const bool rightToLeft = isRightToLeft();
    for (int position = 0; position < buttonCount(); ++position) {
        const int centre = m_items.at(position).widget->geometry().center().x();
        if (rightToLeft ? pos.x() > centre : pos.x() < centre)
            return position;
    }
    return buttonCount();
}

QRect Toolbar::dropMarkerRect(int gap) const
{
    const bool rightToLeft = isRightToLeft();
    int x;
    if (gap < buttonCount()) {
        const QRect item = m_items.at(gap).widget->geometry();
        x = rightToLeft ? item.right() + 1 : item.left();
    } else {
        const QRect item = m_items.at(buttonCount() - 1).widget->geometry();
        x = rightToLeft ? item.left() : item.right() + 1;
    }
    return QRect(x - 1, 1, 2, height() - 2);
}
