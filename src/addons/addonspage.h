#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>

class AddOnChange;
class AddOnDelegate;
class AddOnListModel;
class AddOnNameMarks;
class AddOnsView;
class PopupMenu;
class QPushButton;
class QUndoStack;
struct Folders;

// The "Add-Ons Editor" page: the grid of add-ons with its in-place editors and move menu, "New Add-On",
// "Delete Add-On" and the program browse. Every change is one step on the undo stack.
class AddOnsPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnsPage)

public:
    // The menus hold the "Addons" item set; a program browse starts in the folders' add-ons folder.
    AddOnsPage(AddOnListModel *addOns, QUndoStack *undoStack, PopupMenu *menus, const Folders &folders,
               QWidget *parent = nullptr);

    // Whether one of the in-place editors is open.
    bool isEditing() const;
    // Stores the text of an open in-place editor into its cell, as Enter (or picking the item) would.
    void storeEdit();
    // Closes an open in-place editor without storing anything.
    void cancelEdit();
    // Makes row 1 current after a load, so the keyboard and "Delete Add-On" have a row to act on.
    void showFirstRow();

Q_SIGNALS:
    // An in-place editor opened or closed, or the text typed into it changed (what undo does depends on both).
    void editingChanged();

private:
    void layOutPage();
    void connectControls();

    // Rows count from 0. Out-of-range rows are ignored.
    void moveRow(int row, int step);
    void dropAddOn(int from, int to);
    void storeCell(const QModelIndex &cell, const QString &text);
    void appendNewAddOn();
    void deleteCurrentAddOn();
    void browseForProgram();
    void showMoveMenu(int row, QPoint globalPos);
    void updateDeleteButton();
    void describeWarnings(const QStringList &warnings);

    // Each user action is one change on the undo stack.
    void change(const QString &text, const std::function<void(AddOnChange &)> &steps);

    AddOnListModel *m_model;
    QUndoStack *m_undoStack;
    PopupMenu *m_menus;
    const Folders &m_folders;
    AddOnNameMarks *m_marks;
    AddOnsView *m_grid;
    AddOnDelegate *m_delegate;
    QPushButton *m_add;
    QPushButton *m_kill;
};
