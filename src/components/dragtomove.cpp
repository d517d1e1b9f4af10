#include "dragtomove.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

DragToMove::DragToMove(QWidget *host, std::function<int(QPoint)> gapAt, std::function<QRect(int)> markerAt)
    : QObject(host)
    , m_gapAt(std::move(gapAt))
    , m_markerAt(std::move(markerAt))
    , m_marker(new QWidget(host))
{
    m_marker->setObjectName(QStringLiteral("dropMarker"));
    m_marker->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_marker->setAutoFillBackground(true);
    m_marker->setBackgroundRole(QPalette::Highlight);
    m_marker->hide();
}

void DragToMove::press(int item, QPoint pos)
{
    cancel();
    m_state = State::Pressed;
    m_item = item;
    m_pressPos = pos;
}

bool DragToMove::move(QPoint pos, Qt::MouseButtons buttons)
{
    if (m_state == State::None)
        return false;
    if (!(buttons & Qt::LeftButton)) {
        // The release went elsewhere; forget the press.
        cancel();
        m_state = State::None;
        return false;
    }
    if (m_state == State::Pressed) {
        if ((pos - m_pressPos).manhattanLength() < QApplication::startDragDistance())
            return true;
        m_state = State::Dragging;
        qApp->installEventFilter(this);
        Q_EMIT started();
    }
    if (m_state == State::Dragging)
        showMarker(m_gapAt(pos));
    return true;
}

void DragToMove::release(QPoint pos)
{
    if (m_state == State::Dragging) {
        const int from = m_item;
        const int gap = m_gapAt(pos);
        cancel();
        // Taken out first, then put back: a gap after the item is one less once it is gone.
        const int to = gap > from ? gap - 1 : gap;
        if (gap >= 0 && to != from)
            Q_EMIT dropped(from, to);
    }
    m_state = State::None;
    m_item = -1;
}

void DragToMove::cancel()
{
    if (m_state == State::Dragging) {
        m_marker->hide();
        qApp->removeEventFilter(this);
        m_state = State::Cancelled;
    } else if (m_state == State::Pressed) {
        m_state = State::None;
    }
}

void DragToMove::showMarker(int gap)
{
    // No marker where the item would land on its own place.
    if (gap < 0 || gap == m_item || gap == m_item + 1) {
        m_marker->hide();
        return;
    }
    m_marker->setGeometry(m_markerAt(gap));
    m_marker->raise();
    m_marker->show();
}

bool DragToMove::eventFilter(QObject *watched, QEvent *event)
{
    // Installed on the whole application while a drag lasts, so Escape wins over shortcuts and the focus widget.
    const bool key = event->type() == QEvent::KeyPress || event->type() == QEvent::ShortcutOverride;
    if (key && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        if (event->type() == QEvent::KeyPress)
            cancel();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
