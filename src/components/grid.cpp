#include "grid.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>

Grid::Grid(QWidget *parent)
    : QTableView(parent)
    , m_dropMarker(new QWidget(viewport()))
{
    setAccessibleName(tr("Add-on list"));
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    // The page floats its own editors over a cell; the view must never open one.
    setEditTriggers(NoEditTriggers);
    // Tab leaves the grid for the page's buttons; the arrows move between cells.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setHorizontalScrollMode(ScrollPerPixel);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    verticalHeader()->hide();
    // Rows as tall as a line of text, as in a list; the last column takes the width that is left.
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &Grid::abandonEdit);
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, this, &Grid::abandonEdit);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, &Grid::abandonEdit);

    m_dropMarker->setObjectName(QStringLiteral("dropMarker"));
    m_dropMarker->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_dropMarker->setAutoFillBackground(true);
    m_dropMarker->setBackgroundRole(QPalette::Highlight);
    m_dropMarker->hide();
}

void Grid::setAddOnModel(AddOnListModel *model)
{
    if (model == m_model)
        return;
    for (const QMetaObject::Connection &connection : std::as_const(m_modelConnections))
        disconnect(connection);
    m_modelConnections.clear();
    m_model = model;
    m_modelChanges = 0;

    if (model) {
        // Connected before the view's own connections: the selection model moves the current index while rows
        // are still going, and the cell numbers are only right once the change is done.
        m_modelConnections = {
            connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this, &Grid::beginModelChange),
            connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &Grid::beginModelChange),
            connect(model, &QAbstractItemModel::rowsAboutToBeMoved, this, &Grid::beginModelChange),
            connect(model, &QAbstractItemModel::modelAboutToBeReset, this, &Grid::beginModelChange),
            connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this, &Grid::beginModelChange),
        };
    }
    QItemSelectionModel *oldSelection = selectionModel();
    setModel(model);
    if (oldSelection != selectionModel())
        delete oldSelection;

    if (model) {
        // Connected after the view's: its headers and scroll bars have caught up when these run.
        m_modelConnections += {
            connect(model, &QAbstractItemModel::rowsInserted, this, [this] { endModelChange(false); }),
            connect(model, &QAbstractItemModel::rowsRemoved, this, [this] { endModelChange(true); }),
            connect(model, &QAbstractItemModel::rowsMoved, this, [this] { endModelChange(true); }),
            connect(model, &QAbstractItemModel::modelReset, this, [this] { endModelChange(true); }),
            connect(model, &QAbstractItemModel::layoutChanged, this, [this] { endModelChange(true); }),
        };
    }
    applyColumnWidths();
    abandonEdit();
    reportCurrentCell();
}

void Grid::addColumn(const QString &key, const QString &header, int widthPixels)
{
    m_columns.append(Column { key, header, widthPixels });
    applyColumnWidths();
}

QString Grid::columnKey(int column) const
{
    return column >= 1 && column <= m_columns.size() ? m_columns.at(column - 1).key : QString();
}

void Grid::applyColumnWidths()
{
    const int columns = model() ? model()->columnCount() : 0;
    for (int c = 0; c < m_columns.size() && c < columns; ++c)
        setColumnWidth(c, m_columns.at(c).width);
}

int Grid::rowCount() const
{
    return m_model ? m_model->count() : 0;
}

int Grid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

void Grid::setCurrentRow(int row)
{
    if (row == 0) {
        selectionModel()->clear();
        reportCurrentCell();
        return;
    }
    const QModelIndex current = currentIndex();
    const QModelIndex target = cellIndex(row, current.isValid() ? current.column() + 1 : 1);
    if (target.isValid())
        setCurrentIndex(target);
}

int Grid::currentColumn() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.column() + 1 : 0;
}

void Grid::setCurrentColumn(int column)
{
    const QModelIndex target = cellIndex(currentRow(), column);
    if (target.isValid())
        setCurrentIndex(target);
}

QModelIndex Grid::cellIndex(int row, int column) const
{
    if (!m_model || row < 1 || row > m_model->count() || column < 1 || column > m_model->columnCount())
        return QModelIndex();
    return m_model->index(row - 1, column - 1);
}

QString Grid::cellContent(int row, int column) const
{
    const QModelIndex cell = cellIndex(row, column);
    return cell.isValid() ? m_model->cellText(cell.row(), cell.column()) : QString();
}

void Grid::setCellContent(int row, int column, const QString &text)
{
    const QModelIndex cell = cellIndex(row, column);
    if (cell.isValid())
        m_model->setCellText(cell.row(), cell.column(), text);
}

void Grid::deleteRow(int row)
{
    if (m_model && row >= 1 && row <= m_model->count())
        m_model->removeAddOn(row - 1);
}

void Grid::finishEditing()
{
    if (!m_editing)
        return;
    m_editing = false;
    Q_EMIT editingEnded();
}

std::pair<int, int> Grid::hitTest(QPoint viewportPixels) const
{
    const QModelIndex cell = indexAt(viewportPixels);
    if (!cell.isValid())
        return { 0, 0 };
    return { cell.row() + 1, cell.column() + 1 };
}

QRect Grid::cellRectangle(int row, int column) const
{
    const QModelIndex cell = cellIndex(row, column);
    if (!cell.isValid())
        return QRect();
    const QRect rect = visualRect(cell);
    QWidget *target = parentWidget() ? parentWidget() : const_cast<Grid *>(this);
    return QRect(viewport()->mapTo(target, rect.topLeft()), rect.size());
}

void Grid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (m_modelChanges == 0)
        reportCurrentCell();
}

void Grid::endModelChange(bool abandonsEdit)
{
    // Rows shifted under a drag in progress: drop it rather than land somewhere unexpected.
    cancelDrag();
    if (m_modelChanges > 0)
        --m_modelChanges;
    if (abandonsEdit)
        abandonEdit();
    if (m_modelChanges == 0)
        reportCurrentCell();
}

void Grid::reportCurrentCell()
{
    const std::pair<int, int> cell { currentRow(), currentColumn() };
    if (cell == m_reportedCell)
        return;
    m_reportedCell = cell;
    // The highlighted row is always the current one, also when focus alone made a cell current.
    const QModelIndex current = currentIndex();
    if (current.isValid() && !selectionModel()->isRowSelected(current.row(), current.parent()))
        selectionModel()->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // An edit always belongs to the current cell: a commit after the change would land elsewhere.
    abandonEdit();
    Q_EMIT currentCellChanged(cell.first, cell.second);
}

void Grid::abandonEdit()
{
    if (!m_editing)
        return;
    Q_EMIT gridNotice();
    finishEditing();
}

void Grid::requestEdit(const QModelIndex &index)
{
    scrollTo(index);
    m_editing = true;
    Q_EMIT editRequested(index.row() + 1, index.column() + 1);
}

QItemSelectionModel::SelectionFlags Grid::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    // One whole row is always selected: no Ctrl+click deselection, no clearing on a click beside the rows.
    if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

void Grid::mousePressEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    m_clickedCurrent = QPersistentModelIndex();
    cancelDrag();
    m_dragState = DragState::None;
    // Only the left button moves the current cell: a right click opens the page's menu for the row under the
    // pointer and leaves the row that an edit or a delete acts on alone.
    if (event->button() == Qt::LeftButton) {
        const QModelIndex index = indexAt(pos);
        if (index.isValid() && index == currentIndex())
            m_clickedCurrent = index;
        if (index.isValid()) {
            m_dragState = DragState::Pressed;
            m_dragRow = index;
            m_dragStart = pos;
        }
        QTableView::mousePressEvent(event);
    } else {
        event->accept();
    }
    Q_EMIT pointerButton(event->buttons(), event->modifiers(), pos);
}

void Grid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The second press of a double click counts as a click on the cell the first one made current.
    mousePressEvent(event);
}

void Grid::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_dragState == DragState::Dragging)
            finishDrag(event->position().toPoint());
        m_dragState = DragState::None;
    }
    QTableView::mouseReleaseEvent(event);
    const QPersistentModelIndex clicked = std::exchange(m_clickedCurrent, QPersistentModelIndex());
    if (event->button() == Qt::LeftButton && clicked.isValid() && clicked == currentIndex()
        && clicked == indexAt(event->position().toPoint()))
        requestEdit(clicked);
}

void Grid::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    Q_EMIT pointerMoved(event->buttons(), event->modifiers(), pos);
    if (m_dragState != DragState::None && !(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere; forget the press.
        cancelDrag();
        m_dragState = DragState::None;
    }
    if (m_dragState == DragState::None) {
        QTableView::mouseMoveEvent(event);
        return;
    }
    // A press on a row holds it for a drag: the selection does not follow the pointer.
    if (m_dragState == DragState::Pressed) {
        if ((pos - m_dragStart).manhattanLength() < QApplication::startDragDistance())
            return;
        if (!m_dragRow.isValid()) {
            m_dragState = DragState::Cancelled;
            return;
        }
        m_dragState = DragState::Dragging;
        // A drag is no click on the current cell, and an open editor would sit over a row that moves.
        m_clickedCurrent = QPersistentModelIndex();
        abandonEdit();
    }
    if (m_dragState != DragState::Dragging)
        return;
    // Past the top or bottom edge the list scrolls, so a row can travel further than the view shows.
    if (pos.y() < 0)
        verticalScrollBar()->setValue(verticalScrollBar()->value() - verticalScrollBar()->singleStep());
    else if (pos.y() >= viewport()->height())
        verticalScrollBar()->setValue(verticalScrollBar()->value() + verticalScrollBar()->singleStep());
    showDropMarker(dropGap(pos));
}

// The row boundary nearest the pointer: 0 above the first row, rowCount() below the last.
int Grid::dropGap(QPoint viewportPixels) const
{
    const int rows = rowCount();
    if (rows == 0)
        return 0;
    if (viewportPixels.y() < 0)
        return qMax(0, rowAt(0));
    const int row = rowAt(viewportPixels.y());
    if (row < 0)
        return rows;
    const QRect cell = visualRect(m_model->index(row, 0));
    return viewportPixels.y() < cell.center().y() ? row : row + 1;
}

void Grid::showDropMarker(int gap)
{
    const int from = m_dragRow.isValid() ? m_dragRow.row() : -1;
    // No line where the row would land on its own place.
    if (from < 0 || gap == from || gap == from + 1) {
        m_dropMarker->hide();
        return;
    }
    const int y = gap < rowCount() ? rowViewportPosition(gap) : rowViewportPosition(gap - 1) + rowHeight(gap - 1);
    m_dropMarker->setGeometry(0, y - 1, viewport()->width(), 2);
    m_dropMarker->raise();
    m_dropMarker->show();
}

void Grid::finishDrag(QPoint viewportPixels)
{
    const int from = m_dragRow.isValid() ? m_dragRow.row() : -1;
    const int gap = dropGap(viewportPixels);
    cancelDrag();
    // Let go beside the grid: the drag is off.
    if (from < 0 || viewportPixels.x() < 0 || viewportPixels.x() >= viewport()->width())
        return;
    // Taken out first, then put back: a boundary below the row is one less once it is gone.
    const int to = gap > from ? gap - 1 : gap;
    if (to != from)
        Q_EMIT rowDropped(from + 1, to + 1);
}

void Grid::cancelDrag()
{
    if (m_dragState == DragState::None || m_dragState == DragState::Cancelled)
        return;
    m_dropMarker->hide();
    // The rest of the press is swallowed until the button comes up.
    m_dragState = DragState::Cancelled;
    m_dragRow = QPersistentModelIndex();
}

void Grid::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_dragState == DragState::Dragging) {
        cancelDrag();
        event->accept();
        return;
    }
    const QModelIndex current = currentIndex();
    const bool upDown = event->key() == Qt::Key_Up || event->key() == Qt::Key_Down;
    if (upDown && (event->modifiers() & ~Qt::KeypadModifier) == Qt::AltModifier) {
        const int step = event->key() == Qt::Key_Up ? -1 : 1;
        const int target = current.row() + step;
        if (current.isValid() && target >= 0 && target < rowCount())
            Q_EMIT rowMoveRequested(current.row() + 1, step);
        event->accept();
        return;
    }
    const bool editKey = event->key() == Qt::Key_F2 || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (editKey && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && current.isValid()) {
        requestEdit(current);
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}
