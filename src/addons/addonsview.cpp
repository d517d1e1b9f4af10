#include "addonsview.h"

#include "dragtomove.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

AddOnsView::AddOnsView(QWidget *parent)
    : QTableView(parent)
    , m_drag(new DragToMove(
          viewport(), [this](QPoint pos) { return dropGap(pos); }, [this](int gap) { return dropMarkerRect(gap); }))
{
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(SelectedClicked | DoubleClicked | EditKeyPressed);
    // Tab leaves the grid for the page's buttons; the arrows move between cells.
    setTabKeyNavigation(false);
    setWordWrap(false);
    setHorizontalScrollMode(ScrollPerPixel);
    const int line = fontMetrics().height();
    setIconSize(QSize(line - 2, line - 2));

    verticalHeader()->hide();
    // Rows as tall as a line of text, as in a list; the last column takes the width that is left.
    verticalHeader()->setDefaultSectionSize(line + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);

    connect(m_drag, &DragToMove::started, this, [this] {
        // A drag is no click on the current cell, and an open editor would sit over a row that moves.
        m_pressedCurrent = QPersistentModelIndex();
        abandonEdit();
    });
    connect(m_drag, &DragToMove::dropped, this, &AddOnsView::rowDropped);
}

void AddOnsView::setModel(QAbstractItemModel *model)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_modelConnections))
        disconnect(connection);
    m_modelConnections.clear();
    QTableView::setModel(model);
    if (!model)
        return;
    m_modelConnections = {
        connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &AddOnsView::cancelDrag),
        connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, &AddOnsView::cancelDrag),
        connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, &AddOnsView::cancelDrag),
        connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &AddOnsView::cancelDrag),
        connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &AddOnsView::cancelDrag),
    };
}

// Rows shifting under a drag: drop it rather than land somewhere unexpected.
void AddOnsView::cancelDrag()
{
    m_drag->cancel();
}

void AddOnsView::abandonEdit()
{
    if (state() != EditingState)
        return;
    // An edit is always on the current cell: it starts there, and moving the current cell ends it.
    if (QWidget *editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

bool AddOnsView::edit(const QModelIndex &index, EditTrigger trigger, QEvent *event)
{
    const bool ours = trigger == SelectedClicked || trigger == DoubleClicked || trigger == EditKeyPressed;
    if (!ours)
        return QTableView::edit(index, trigger, event);
    // The first click selects a cell, the second edits it: a click on a cell that was not current does not.
    if (!(editTriggers() & trigger) || (trigger == SelectedClicked && index != m_pressedCurrent))
        return false;
    // The editor opens at once, with its whole text selected: the click or key that opened it is not passed on.
    scrollTo(index);
    return QTableView::edit(index, AllEditTriggers, nullptr);
}

void AddOnsView::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // The keyboard stays with the list, also from inside an editor of several parts, so the next cell can be
    // reached and edited without the mouse.
    const bool hadFocus = editor && editor->isAncestorOf(QApplication::focusWidget());
    QTableView::closeEditor(editor, hint);
    if (hadFocus)
        setFocus(Qt::OtherFocusReason);
}

void AddOnsView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The view closes an edit whose cell stops being current; the editors store only on Enter or a pick.
    QTableView::currentChanged(current, previous);
    // The highlighted row is always the current one, also when focus alone made a cell current.
    if (current.isValid() && !selectionModel()->isRowSelected(current.row(), current.parent()))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QItemSelectionModel::SelectionFlags AddOnsView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    // One whole row is always selected: no Ctrl+click deselection, no clearing on a click beside the rows.
    if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void AddOnsView::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    m_drag->cancel();
    m_pressedCurrent = QPersistentModelIndex();
    // Only the left button moves the current cell: a right press asks for the menu of the row under the pointer
    // and leaves the row that an edit or a delete acts on alone.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        if (event->button() == Qt::RightButton)
            Q_EMIT menuRequested(index.isValid() ? index.row() : -1, event->globalPosition().toPoint());
        return;
    }
    if (index.isValid()) {
        if (index == currentIndex())
            m_pressedCurrent = index;
        m_drag->press(index.row(), pos);
    }
    QTableView::mousePressEvent(event);
}

void AddOnsView::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    // A press on a row holds it for a drag: the selection does not follow the pointer.
    if (!m_drag->move(pos, event->buttons())) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // Past the top or bottom edge the list scrolls, so a row can travel further than the view shows.
    if (m_drag->isDragging() && (pos.y() < 0 || pos.y() >= viewport()->height())) {
        QScrollBar *bar = verticalScrollBar();
        bar->setValue(bar->value() + (pos.y() < 0 ? -bar->singleStep() : bar->singleStep()));
    }
}

void AddOnsView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_drag->release(event->position().toPoint());
    QTableView::mouseReleaseEvent(event);
    m_pressedCurrent = QPersistentModelIndex();
}

// The row boundary nearest the pointer: 0 above the first row, the row count below the last, -1 beside the rows.
int AddOnsView::dropGap(QPoint pos) const
{
    const int rows = model() ? model()->rowCount() : 0;
    if (rows == 0 || pos.x() < 0 || pos.x() >= viewport()->width())
        return -1;
    if (pos.y() < 0)
        return qMax(0, rowAt(0));
    const int row = rowAt(pos.y());
    if (row < 0)
        return rows;
    return pos.y() < rowViewportPosition(row) + rowHeight(row) / 2 ? row : row + 1;
}

QRect AddOnsView::dropMarkerRect(int gap) const
{
    const int rows = model()->rowCount();
    const int y = gap < rows ? rowViewportPosition(gap) : rowViewportPosition(rows - 1) + rowHeight(rows - 1);
    return QRect(0, y - 1, viewport()->width(), 2);
}

void AddOnsView::keyPressEvent(QKeyEvent *event)
{
    const QModelIndex current = currentIndex();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool upDown = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (upDown && modifiers == Qt::AltModifier) {
        const int step = event->key() == Qt::Key_Up ? -1 : 1;
        const int target = current.row() + step;
        if (current.isValid() && target >= 0 && target < model()->rowCount())
            Q_EMIT rowMoveRequested(current.row(), step);
        event->accept();
        return;
    }
    const bool editKey = event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (editKey && modifiers == Qt::NoModifier && current.isValid()) {
        edit(current, EditKeyPressed, event);
        return;
    }
    QTableView::keyPressEvent(event);
}

void AddOnsView::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
    // The mouse's menu came with the right press; the menu key opens it for the current row.
    const QModelIndex current = currentIndex();
    if (event->reason() == QContextMenuEvent::Keyboard && current.isValid())
        Q_EMIT menuRequested(current.row(), viewport()->mapToGlobal(visualRect(current).bottomLeft()));
}
