#pragma once

#include "configformat.h"
#include "folders.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class AddOnsPage;
class ButtonPictureList;
class Configuration;
class ImageList;
class PopupMenu;
class QLabel;
class QScrollArea;
class QStackedWidget;
class QTabWidget;
class OutsideChanges;
class QUndoStack;
class Toolbar;
class ToolbarPage;
class FolderBrowser;
class FlatControl;
class OwnerDrawManager;

// The editor's main window: the command toolbars, the four tabs with the toolbar editor and the add-ons
// editor, and the remembered folders.
class frmEditor final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(frmEditor)

public:
    enum Tab { ToolbarTab = 1, AddOnsTab = 2, Tab3 = 3, Tab4 = 4 };

    explicit frmEditor(QWidget *parent = nullptr);
    ~frmEditor() override;

    // Makes sure the folder of QTA.INI is known (asking the user on the first run) and loads the file.
    // Returns false when the user would not name a folder: the program then ends without writing anything.
    bool start();

    Configuration *configuration() const { return m_config; }
    const Folders &folders() const { return m_folders; }
    QString iniFilePath() const;

    // Whether the toolbar or the add-ons differ from what was last loaded or saved.
    bool hasUnsavedChanges() const;
    // Stores an edit still open on either page as Enter or "Done Editing" would. False when the user chose to
    // go back to it (a tooltip the file cannot keep apart, say): it stays open then.
    bool storeOpenEdits();

    // The commands of the command toolbars. Reload INI asks before it drops unsaved changes.
    bool reloadIni();
    bool saveIni();
    void resetToolbar();
    void setIniPath();
    void setBitmapsPath();
    void setAddOnsPath();
    // With an edit open on either page, both act on that edit: on its typing, else undo closes it unstored. The
    // history is reached only when no edit is open.
    void undo();
    void redo();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    // The prompts of the folder browser; each decides which folders it accepts.
    static QString iniPrompt();
    static QString bitmapsPrompt();
    static QString addOnsPrompt();

    struct SavedLists
    {
        QList<ToolbarButtonEntry> toolbar; // picture indexes replaced by the pictures' keys
        QStringList pictureKeys;
        QList<AddOnEntry> addOns;
        friend bool operator==(const SavedLists &, const SavedLists &) = default;
    };
    SavedLists currentLists() const;
    void markSaved();
    void updateTitle();
    void updateLinkColour();
    bool load(bool sayWhatIsMissing);
    bool confirmMerges();
    QString unsavedChangesText(const QString &question) const;
    bool editOpen() const;
    void cancelOpenEdits();

    void buildContextMenus();
    void buildCommandToolbars();
    void buildTabs();
    void buildAboutLink();
    void layOutContent();
    void fitToScreen();
    void connectUndo();
    void applyLook();

    void handleCommandClick(int toolbar, int position);
    void handleTabSelected(int tab);
    void handleBrowserSelection(const QString &path, bool &allowOk);
    void showTab(int tab);
    void changeFolder(QString &field, const QString &prompt, const QString &key);
    void showFailure(const QString &text);
    // The About box, which the link at the foot of the pages opens.
    void showAbout();
    void undoFromKeyboard(bool redo);
    void updateUndoButtons();
    bool eventFilter(QObject *watched, QEvent *event) override;
    bool isPageSwitch(const QObject *watched, const QEvent *event) const;

    Configuration *m_config;
    Folders m_folders;
    // The history of changes to the toolbar and the add-on list. A load starts it afresh (the lists then come
    // from the file); a save keeps it.
    QUndoStack *m_undoStack;
    OutsideChanges *m_outside;
    QString m_shownWarning; // the load's remark about the file, shown once
    SavedLists m_savedLists; // as last loaded or saved
    ButtonPictureList *m_pictures = nullptr;
    FolderBrowser *m_browser = nullptr;
    ImageList *m_menuImages = nullptr;
    PopupMenu *m_contextMenus = nullptr;
    ToolbarPage *m_toolbarPage = nullptr;
    AddOnsPage *m_addOnsPage = nullptr;
    ImageList *m_commandImages = nullptr;
    ImageList *m_commandImagesHot = nullptr;
    QScrollArea *m_scroller = nullptr;
    QWidget *m_content = nullptr; // every control, scrolled where the screen is too small
    QWidget *m_picToolbar = nullptr;
    QStackedWidget *m_rebar = nullptr; // the command toolbar of each tab
    QList<Toolbar *> m_commandToolbars;
    QTabWidget *m_tabs = nullptr;
    QWidget *m_aboutFrame = nullptr;
    QLabel *m_aboutLink = nullptr;
    int m_currentTab = ToolbarTab;
    ImageList *m_buttonImages = nullptr;
    OwnerDrawManager *m_ownerDraw = nullptr;
    QList<FlatControl *> m_flatControls;
};
