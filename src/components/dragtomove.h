#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <functional>

class QWidget;

// Moving one item of a strip or a list by dragging it with the left button. Tracked here rather than through
// QDrag, so that a drag stays inside its owner. The owner passes on its mouse events and says, for a point, which
// gap between items it is nearest to (0 before the first item, the count after the last, -1 outside the owner)
// and where that gap lies; this class keeps the state, shows the drop marker and lets Escape call the drag off
// wherever the keyboard focus is.
class DragToMove final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DragToMove)

public:
    // The marker is a child of host; gapAt takes and markerAt gives host coordinates.
    DragToMove(QWidget *host, std::function<int(QPoint)> gapAt, std::function<QRect(int)> markerAt);

    // A left press on the item at this position.
    void press(int item, QPoint pos);
    // True while the move belongs to a press or a drag, which the owner then keeps to itself.
    bool move(QPoint pos, Qt::MouseButtons buttons);
    // The left button came up: a drag that ends over a gap other than its own moves the item.
    void release(QPoint pos);
    // Forgets a drag in progress, as when the items change under it; the rest of the press is swallowed.
    void cancel();
    bool isDragging() const { return m_state == State::Dragging; }

Q_SIGNALS:
    // The press became a drag: it is no click any more.
    void started();
    // `to` is the position the item takes once taken out of `from`.
    void dropped(int from, int to);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum class State { None, Pressed, Dragging, Cancelled };

    void showMarker(int gap);

    std::function<int(QPoint)> m_gapAt;
    std::function<QRect(int)> m_markerAt;
    QWidget *m_marker;
    State m_state = State::None;
    int m_item = -1;
    QPoint m_pressPos;
};
