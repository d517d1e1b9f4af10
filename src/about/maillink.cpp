#include "maillink.h"

#include "linkcolour.h"
#include "shellopen.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

MailLink::MailLink(const QString &address, QWidget *parent)
    : QLabel(address, parent)
{
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setColour(restColour());
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(address);
    setAccessibleDescription(QStringLiteral("Writes a mail to %1").arg(address));
    // Room for the focus frame around the text.
    setContentsMargins(2, 1, 2, 1);
}

QColor MailLink::restColour() const
{
    return linkColour(palette());
}

void MailLink::setColour(const QColor &colour)
{
    if (palette().color(QPalette::WindowText) == colour)
        return;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
}

void MailLink::open()
{
    // A link the desktop cannot open is let go without a message.
    shellOpen(QStringLiteral("MailTo:") + text());
}

void MailLink::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    setColour(pressedColour());
    event->accept();
}

void MailLink::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QLabel::mouseReleaseEvent(event);
        return;
    }
    // Blue again wherever the button comes up; only a release on the label completes the click.
    setColour(restColour());
    const bool click = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click)
        open();
}

void MailLink::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            open();
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void MailLink::focusInEvent(QFocusEvent *event)
{
    QLabel::focusInEvent(event);
    update();
}

void MailLink::focusOutEvent(QFocusEvent *event)
{
    QLabel::focusOutEvent(event);
    update();
}

// A theme of another brightness picks the link colour again.
void MailLink::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !m_pressed)
        setColour(restColour());
}

void MailLink::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}
