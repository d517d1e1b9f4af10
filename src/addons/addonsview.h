#pragma once

#include <QPersistentModelIndex>
#include <QTableView>

class DragToMove;

// The add-on grid: one whole row is always selected, and the row moves with the keyboard (Alt+Up, Alt+Down), with
// the mouse (drag) or through the page's menu (right button, menu key). Editing follows the page's words: select
// a cell, then click it again (or double-click it, or press F2 or Enter). An edit belongs to its cell: when another
// cell becomes current, or its row goes away, it is dropped unstored.
class AddOnsView final : public QTableView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnsView)

public:
    explicit AddOnsView(QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;

Q_SIGNALS:
    // Rows count from 0. The view moves nothing itself: its owner does, as one undoable step.
    void rowMoveRequested(int row, int step);
    void rowDropped(int from, int to);
    // The right button went down over a row (-1: over none), or the menu key was pressed on the current row.
    void menuRequested(int row, QPoint globalPos);

protected Q_SLOTS:
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;

protected:
    bool edit(const QModelIndex &index, EditTrigger trigger, QEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event = nullptr) const override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    void abandonEdit();
    int dropGap(QPoint pos) const;
    QRect dropMarkerRect(int gap) const;
    void cancelDrag();

    DragToMove *m_drag;
    QPersistentModelIndex m_pressedCurrent; // a left press on the cell that was current already
    QList<QMetaObject::Connection> m_modelConnections;
};
