#pragma once

#include <QObject>
#include <functional>

class PictureComboList;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QWidget;
class ToolbarChange;
class ToolbarModel;
class frmEditor;
struct ToolbarButtonEntry;

// The "Toolbar Editor" page: the preview's button menu and the Selected Button Info panel with its bitmap
// picker. Every change goes through the toolbar model; the preview follows the model.
class ToolbarEditorPage final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarEditorPage)

public:
    explicit ToolbarEditorPage(frmEditor *editor);

    // The menu of the preview button at position: add, delete, move, edit, begin a new group.
    void ShowButtonMenu(int position);
    bool IsSeparatorAt(int position) const;

    // Opens the panel on the button at position; an edit in progress is dropped.
    void BeginButtonEdit(int position);
    // Writes the panel's tooltip, picture and command into the edited button and closes the panel. A tooltip
    // or command the file cannot keep as it stands is questioned first; going back writes nothing.
    void CommitButtonEdit();
    // Abandons an edit of the selected button in progress: the panel closes and nothing is written.
    void CancelButtonEdit();
    // The "..." of the panel: a bitmap file as the edited button's picture.
    void BrowseForBitmap();

    // The position of the button the panel edits, -1 when it is closed.
    int editedPosition() const { return m_editPosition; }

Q_SIGNALS:
    // The panel opened or closed.
    void editingChanged();

private:
    bool eventFilter(QObject *watched, QEvent *event) override;

    void buildPanel();
    void fillAddOnCommands();
    void showCommand(const QString &command);
    void showPicture(int imageIndex);
    void selectPicture(int item);
    int pictureOfSelection() const;
    QString commandOfSelection() const;
    bool confirmUnsavable(const ToolbarButtonEntry &edited);
    int otherButtonNamed(const QString &tooltip) const;
    void endEdit();

    // Each user action is one change on the window's undo stack.
    void change(const QString &text, const std::function<void(ToolbarChange &)> &steps);
    void addButton(int position);
    void deleteButton(int position);
    void moveButton(int position, int to);
    void dropButton(int from, int to);
    QString freeSeparatorKey(int number, int except) const;

    void followInsert(int position);
    void followRemove(int position);
    void followMove(int from, int to);

    frmEditor *m_editor;
    ToolbarModel *m_model;
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_tooltip = nullptr;
    QComboBox *m_commandNoAddOns = nullptr;
    QComboBox *m_commandAddOns = nullptr;
    PictureComboList *m_picture = nullptr;
    QPushButton *m_done = nullptr;
    QPushButton *m_cancel = nullptr;
    int m_editPosition = -1;
};
