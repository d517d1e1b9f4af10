#pragma once

#include <QObject>
#include <QPoint>
#include <functional>

class AddOnChange;
class AddOnNameMarks;
class Grid;
class QComboBox;
class QFrame;
class QLineEdit;
class QPushButton;
class frmEditor;

// The "Add-Ons Editor" page: the grid's in-place editors, moves, new, delete and the program browse.
class AddOnsEditorPage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddOnsEditorPage)

public:
    explicit AddOnsEditorPage(frmEditor *editor);

    // Whether one of the in-place editors is open.
    bool isEditing() const;
    // Stores the text of an open in-place editor into its cell, as Enter (or picking the item) would.
    void commitOpenEdit();

    // Rows count from 1, as in the grid. Out-of-range rows are ignored.
    void MoveAddOnUp(int row);
    void MoveAddOnDown(int row);
    void CommitAddOnEdit(const QString &text);
    void CancelAddOnEdit();

    void AppendNewAddOn();
    void DeleteCurrentAddOn();
    void BrowseAddOnExecutable();

    // What saving will do to the name in this row (1-based), or "" when it saves as it stands.
    QString nameWarning(int row) const;

    QLineEdit *txtAddOnName() const { return m_name; }
    QFrame *fraCommand() const { return m_command; }
    QLineEdit *txtAddOnPath() const { return m_path; }
    QPushButton *cmdBrowseForExe() const { return m_browse; }
    QComboBox *cmbboxAddOnParameters() const { return m_parameters; }

Q_SIGNALS:
    // An in-place editor opened or closed.
    void editingChanged();

private:
    // Each user action is one change on the window's undo stack.
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

    frmEditor *m_editor;
    Grid *m_grid;
    QLineEdit *m_name;
    QFrame *m_command;
    QLineEdit *m_path;
    QPushButton *m_browse;
    QComboBox *m_parameters;
    AddOnNameMarks *m_marks;
    bool m_movingInParameters = false; // a key or wheel turn on the closed list moves, it does not pick
};
