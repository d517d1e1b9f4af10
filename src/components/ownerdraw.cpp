#include "ownerdraw.h"

#include "flatlook.h"
#include "imagelist.h"

#include <QChildEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>

OwnerDrawManager::OwnerDrawManager(QObject *parent)
    : QObject(parent)
{
}

OwnerDrawManager::~OwnerDrawManager()
{
    detach();
}

void OwnerDrawManager::attach(IOwnerDrawButton *client)
{
    detach();
    m_client = client;
    if (m_client)
        addContainer(m_client->buttonContainer());
}

void OwnerDrawManager::addContainer(QWidget *container)
{
    // Without a client there is nobody to ask how to draw.
    if (!m_client || !container || m_containers.contains(container))
        return;
    m_containers.append(container);
    container->installEventFilter(this);
    serveButtonsOf(container);
}

void OwnerDrawManager::detach()
{
    for (const QPointer<QWidget> &container : std::as_const(m_containers)) {
        if (container)
            container->removeEventFilter(this);
    }
    for (const QPointer<QPushButton> &button : std::as_const(m_buttons)) {
        if (button) {
            button->removeEventFilter(this);
            button->update();
        }
    }
    m_containers.clear();
    m_buttons.clear();
    m_client = nullptr;
}

QList<QPushButton *> OwnerDrawManager::buttons() const
{
    QList<QPushButton *> served;
    for (const QPointer<QPushButton> &button : m_buttons) {
        if (button)
            served.append(button);
    }
    return served;
}

void OwnerDrawManager::serveButtonsOf(QWidget *container)
{
    const QList<QPushButton *> children = container->findChildren<QPushButton *>(Qt::FindDirectChildrenOnly);
    for (QPushButton *button : children)
        serve(button);
}

void OwnerDrawManager::serve(QPushButton *button)
{
    if (m_buttons.contains(button))
        return;
    m_buttons.append(button);
    // The look under the pointer needs a repaint when the pointer comes and goes.
    button->setAttribute(Qt::WA_Hover);
    button->installEventFilter(this);
    button->update();
}

bool OwnerDrawManager::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint) {
        if (auto *button = qobject_cast<QPushButton *>(watched); button && m_buttons.contains(button))
            return paintButton(button);
    } else if (event->type() == QEvent::ChildPolished) {
        // Polished, unlike just added, the child is fully built and can be told apart as a button.
        auto *button = qobject_cast<QPushButton *>(static_cast<QChildEvent *>(event)->child());
        if (button && m_containers.contains(qobject_cast<QWidget *>(watched)))
            serve(button);
    }
    return QObject::eventFilter(watched, event);
}

bool OwnerDrawManager::paintButton(QPushButton *button)
{
    if (!m_client || !m_client->doOwnerDraw(button))
        return false;
    bool doDefault = true;
    {
        // Ends with this block, before the button's own painting may start another.
        QPainter painter(button);
        m_client->drawItem(button, painter, button->rect(), button->isDown(), button->isChecked(), button->isEnabled(),
                           button->hasFocus(), doDefault);
    }
    return !doDefault;
}

void drawButton(QPainter &painter, const QWidget *button, const QRect &rect, const ButtonFace &face,
                const ButtonState &state)
{
    QPalette palette = button->palette();
    palette.setCurrentColorGroup(state.enabled ? QPalette::Active : QPalette::Disabled);
    const QColor highlight = palette.color(QPalette::Active, QPalette::Highlight);
    const bool hovered = state.enabled && !state.pushed && button->underMouse();

    painter.save();
    QColor fill = palette.color(QPalette::Button);
    if (state.enabled && state.pushed)
        fill = FlatLook::mix(fill, highlight, 0.4);
    else if (hovered)
        fill = FlatLook::mix(fill, highlight, 0.15);
    painter.fillRect(rect, fill);

    const auto *push = qobject_cast<const QPushButton *>(button);
    if (state.enabled && state.focused) {
        FlatLook::drawFocusFrame(painter, rect, palette);
    } else {
        // The default button, which Enter presses, has the stronger frame.
        const bool isDefault = state.enabled && push && push->isDefault();
        const QColor frame = isDefault ? FlatLook::mix(fill, palette.color(QPalette::ButtonText), 0.75)
                                       : FlatLook::frameColour(palette, QPalette::Button, QPalette::ButtonText);
        FlatLook::drawFrame(painter, rect, frame);
    }

    QPixmap picture;
    QSize pictureSize;
    if (face.images && face.picture >= 0) {
        picture = face.images->pixmap(face.picture);
        pictureSize = face.images->pictureSize();
    }
    if (!picture.isNull() && !state.enabled) {
        QStyleOption option;
        option.initFrom(button);
        picture = button->style()->generatedIconPixmap(QIcon::Disabled, picture, &option);
    }

    const int mnemonic = button->style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, button)
        ? Qt::TextShowMnemonic
        : Qt::TextHideMnemonic;
    const QFontMetrics metrics(button->font());
    const int textWidth = face.caption.isEmpty() ? 0 : metrics.size(Qt::TextShowMnemonic, face.caption).width();
    const int gap = picture.isNull() || textWidth == 0 ? 0 : 4;
    const int contentWidth = (picture.isNull() ? 0 : pictureSize.width()) + gap + textWidth;

    // Picture and caption side by side, centred together; pushed, they move down and right by a pixel.
    QRect content = rect.adjusted(3, 2, -3, -2);
    if (state.pushed)
        content.translate(1, 1);
    int x = content.left() + qMax(0, (content.width() - contentWidth) / 2);
    if (!picture.isNull()) {
        // Drawn at its size in the button's pixels: scaled with the screen, never shrunk to device pixels.
        const QRect target(QPoint(x, content.top() + (content.height() - pictureSize.height()) / 2), pictureSize);
        painter.drawPixmap(target, picture);
        x += pictureSize.width() + gap;
    }
    if (textWidth > 0) {
        painter.setFont(button->font());
        painter.setPen(palette.color(QPalette::ButtonText));
        const QRect textRect(x, content.top(), qMax(0, content.right() + 1 - x), content.height());
        painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | mnemonic, face.caption);
    }
    painter.restore();
}
