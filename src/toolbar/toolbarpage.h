#pragma once

#include <QWidget>
#include <functional>

class ButtonPictureList;
class Configuration;
class PictureComboList;
class PopupMenu;
class PreviewToolbar;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QUndoStack;
class Toolbar;
class ToolbarChange;
class ToolbarModel;
struct Folders;
struct ToolbarButtonEntry;

// The "Toolbar Editor" page: the preview of the toolbar with its button menu, and the Selected Button Info
// panel with its bitmap picker. Every change goes through the toolbar model, one step on the undo stack; the
// preview follows the model.
class ToolbarPage final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ToolbarPage)

public:
    // The menus hold the "Toolbar" item set; a bitmap browse starts in the folders' bitmaps folder.
    ToolbarPage(Configuration *config, QUndoStack *undoStack, PopupMenu *menus, ButtonPictureList *pictures,
                const Folders &folders, QWidget *parent = nullptr);
    ~ToolbarPage() override;

    // Whether the panel is open on a button.
    bool isEditing() const { return m_editPosition >= 0; }
    // Stores an open edit as "Done Editing" does. False when the user chose to go back to a value the file
    // cannot keep: the panel stays open then.
    bool storeEdit();
    // Closes the panel without storing anything.
    void cancelEdit();
    // Runs step (an undo or a redo, which rebuilds the buttons it touches) keeping the keyboard at its place
    // on the preview.
    void keepKeyboardPlace(const std::function<void()> &step);

Q_SIGNALS:
    // The panel opened or closed, or the tooltip typed into it changed (what undo does depends on both).
    void editingChanged();

private:
    bool eventFilter(QObject *watched, QEvent *event) override;

    void buildPreview();
    QGroupBox *buildPanel();
    void layOutPanel(QPushButton *browse);
    void fillAddOnCommands();
    void showButtonMenu(int position);
    void beginEdit(int position);
    void commitEdit();
    void browseForBitmap();
    void showCommand(const QString &command);
    void showPicture(int imageIndex);
    void selectPicture(int item);
    int pictureOfSelection() const;
    QString commandOfSelection() const;
    bool confirmUnsavable(const ToolbarButtonEntry &edited);
    int otherButtonNamed(const QString &tooltip) const;
    void endEdit();
    void showFocusedButton(QWidget *focused);

    // Each user action is one change on the undo stack.
    void change(const QString &text, const std::function<void(ToolbarChange &)> &steps);
    void addButton(int position);
    void deleteButton(int position);
    void moveButton(int position, int to);
    void dropButton(int from, int to);
    QString freeSeparatorKey(int number, int except) const;

    void followInsert(int position);
    void followRemove(int position);
    void followMove(int from, int to);

    Configuration *m_config;
    ToolbarModel *m_model;
    QUndoStack *m_undoStack;
    PopupMenu *m_menus;
    ButtonPictureList *m_pictures;
    const Folders &m_folders;
    QScrollArea *m_host;
    Toolbar *m_preview;
    PreviewToolbar *m_previewBinding;
    QGroupBox *m_frame = nullptr;
    QLineEdit *m_tooltip = nullptr;
    QComboBox *m_commandNoAddOns = nullptr;
    QComboBox *m_commandAddOns = nullptr;
    PictureComboList *m_picture = nullptr;
    QPushButton *m_done = nullptr;
    QPushButton *m_cancel = nullptr;
    int m_editPosition = -1;
};
