#pragma once

#include "addonlistmodel.h"

#include <QList>
#include <QMetaObject>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>
#include <utility>

// The add-on grid: a row-highlighting table over AddOnListModel, addressed with 1-based rows and columns.
// It never opens an editor of its own: it raises editRequested and the page floats its editors over the cell.
// The edit state lasts until finishEditing, or until the cell under the editor no longer holds (the view
// scrolls, a column is resized, rows go away, another cell becomes current): then the grid raises gridNotice
// and, if the page did not end the edit on it, ends the edit itself.
class Grid final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Grid)

public:
    explicit Grid(QWidget *parent = nullptr);

    void setAddOnModel(AddOnListModel *model);
    AddOnListModel *addOnModel() const { return m_model; }

    // The header text comes from the model; the key and the width in pixels are the grid's.
    void addColumn(const QString &key, const QString &header, int widthPixels);
    QString columnKey(int column) const;

    int rowCount() const;
    int currentRow() const;
    void setCurrentRow(int row);
    int currentColumn() const;
    void setCurrentColumn(int column);

    QString cellContent(int row, int column) const;
    void setCellContent(int row, int column, const QString &text);

    // Row numbers outside the list are ignored.
    void deleteRow(int row);

    void finishEditing();
    bool isEditing() const { return m_editing; }

    std::pair<int, int> hitTest(QPoint viewportPixels) const;
    // In the coordinates of the grid's parent, so that a sibling editor can be placed on the cell.
    QRect cellRectangle(int row, int column) const;

Q_SIGNALS:
    void editRequested(int row, int column);
    void editingEnded();
    void currentCellChanged(int row, int column);
    void pointerMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void pointerButton(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void gridNotice();
    // Alt+Up (-1) / Alt+Down (+1) on the current row; the owner moves the add-on, the grid does not.
    void rowMoveRequested(int row, int step);
    // A row dragged with the mouse; `to` is the row it takes once taken out of `from` (both 1-based).
    void rowDropped(int from, int to);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class DragState { None, Pressed, Dragging, Cancelled };

    struct Column
    {
        QString key;
        QString header;
        int width = 0;
    };

    QModelIndex cellIndex(int row, int column) const;
    void applyColumnWidths();
    void requestEdit(const QModelIndex &index);
    void abandonEdit();
    void reportCurrentCell();
    void beginModelChange() { ++m_modelChanges; }
    void endModelChange(bool abandonsEdit);
    int dropGap(QPoint viewportPixels) const;
    void showDropMarker(int gap);
    void finishDrag(QPoint viewportPixels);
    void cancelDrag();

    QPointer<AddOnListModel> m_model;
    QList<QMetaObject::Connection> m_modelConnections;
    QList<Column> m_columns;
    QPersistentModelIndex m_clickedCurrent; // a left press on the cell that was current already
    std::pair<int, int> m_reportedCell { 0, 0 };
    int m_modelChanges = 0;
    bool m_editing = false;

    // A row drag, tracked here rather than through QDrag so that it stays within the grid.
    DragState m_dragState = DragState::None;
    QPersistentModelIndex m_dragRow;
    QPoint m_dragStart;
    QWidget *m_dropMarker;
};
