#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>

class AddOnChange;
class AddOnListModel;
class AddOnNameMarks;
class Grid;
class PopupMenu;
class QComboBox;
class QFrame;
class QLineEdit;
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

    // What saving will do to the name in this row (1-based), or "" when it saves as it stands.
    QString nameWarning(int row) const;

Q_SIGNALS:
    // An in-place editor opened or closed, or the text typed into it changed (what undo does depends on both).
    void editingChanged();

private:
    void layOutPage();
    void buildEditors();
    void connectControls();

    // Rows count from 1, as in the grid. Out-of-range rows are ignored.
    void moveUp(int row);
    void moveDown(int row);
    void commitEdit(const QString &text);
    void appendNewAddOn();
    void deleteCurrentAddOn();
    void browseForProgram();

    // Each user action is one change on the undo stack.
    void change(const QString &text, const std::function<void(AddOnChange &)> &steps);
    void setCurrentCell(const QString &text);
    void dropAddOn(int from, int to);
    void beginEdit(int row, int column);
    void endEdit();
    void hideEditors();
    void showTooltip(QPoint pos);
    void handlePointerButton(Qt::MouseButtons buttons, QPoint pos);
    void showMoveMenu(int row, QPoint globalPos);
    void handleGridNotice();
    void updateDeleteButton();
    void updateNameMarks();
    bool eventFilter(QObject *watched, QEvent *event) override;

    AddOnListModel *m_model;
    QUndoStack *m_undoStack;
    PopupMenu *m_menus;
    const Folders &m_folders;
    Grid *m_grid;
    QPushButton *m_add;
    QPushButton *m_kill;
    QLineEdit *m_name;
    QFrame *m_command;
    QLineEdit *m_path;
    QPushButton *m_browse;
    QComboBox *m_parameters;
    AddOnNameMarks *m_marks;
    bool m_movingInParameters = false; // a key or wheel turn on the closed list moves, it does not pick
};
