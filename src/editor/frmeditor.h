#pragma once

#include "configformat.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class AddOnsEditorPage;
class BandContainer;
class ButtonPictureList;
class Configuration;
class Grid;
class ImageList;
class PopupMenu;
class PreviewToolbar;
class QLabel;
class QPushButton;
class QScrollArea;
class OutsideChanges;
class QUndoStack;
class TabControl;
class Toolbar;
class ToolbarEditorPage;
class ToolbarHost;
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

    // The program's name: the title of its messages, and the start of the window's title.
    static QString caption();

    // Makes sure the folder of QTA.INI is known (asking the user on the first run) and loads the file.
    // Returns false when the user would not name a folder: the program then ends without writing anything.
    bool start();

    // The remembered folders: where QTA.INI is, where toolbar bitmaps and add-on programs are looked for.
    QString INIPATH;
    QString BMPPATH;
    QString EXEPATH;

    Configuration *configuration() const { return m_config; }
    ButtonPictureList *buttonPictures() const { return m_pictures; }
    FolderBrowser *folderBrowser() const { return m_browser; }
    QString iniFilePath() const;
    int currentTab() const { return m_currentTab; }

    // The history of changes to the toolbar and the add-on list. A load starts it afresh (the lists then come
    // from the file); a save keeps it.
    QUndoStack *undoStack() const { return m_undoStack; }
    OutsideChanges *outsideChanges() const { return m_outside; }

    // The controls the editor pages work with.
    PopupMenu *contextMenus() const { return m_contextMenus; }
    Toolbar *previewToolbar() const { return m_preview; }
    Toolbar *commandToolbar(int number) const { return m_commandToolbars.value(number - 1); }
    QWidget *panel(int tab) const { return m_panels.value(tab - 1); }
    Grid *addOnsGrid() const { return m_grid; }
    QPushButton *addAddOnButton() const { return m_addAddOn; }
    QPushButton *deleteAddOnButton() const { return m_killAddOn; }
    AddOnsEditorPage *addOnsPage() const { return m_addOnsPage; }

    // Shows the About box (the link at the bottom of the window).
    void showAbout();

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

    // The prompts of the folder browser; each decides which folders it accepts.
    static QString iniPrompt();
    static QString bitmapsPrompt();
    static QString addOnsPrompt();

    // Pixels for a length in twips of the window's layout, at the window's scale.
    static int px(int twips);

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
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

    void buildCommandToolbars();
    void buildTabs();
    void buildToolbarPage();
    void buildAddOnsPage();
    void buildAboutLink();
    void layoutPanels();
    void fitToScreen();
    void applyLook();

    void handleCommandClick(int toolbar, int position);
    void handleTabSelected(int tab);
    void handleBrowserSelection(const QString &path, bool &allowOk);
    void handleBandHeight(int pixels);
    void showTab(int tab);
    void changeFolder(QString &field, const QString &prompt, const QString &key);
    void showFailure(const QString &text);
    void undoFromKeyboard(bool redo);
    void updateUndoButtons();
    bool eventFilter(QObject *watched, QEvent *event) override;

    Configuration *m_config;
    QUndoStack *m_undoStack;
    OutsideChanges *m_outside;
    QString m_shownWarning; // the load's remark about the file, shown once
    SavedLists m_savedLists; // as last loaded or saved
    ButtonPictureList *m_pictures = nullptr;
    FolderBrowser *m_browser = nullptr;
    ImageList *m_menuImages = nullptr;
    PopupMenu *m_contextMenus = nullptr;
    ToolbarEditorPage *m_toolbarPage = nullptr;
    AddOnsEditorPage *m_addOnsPage = nullptr;
    ImageList *m_commandImages = nullptr;
    ImageList *m_commandImagesHot = nullptr;
    QScrollArea *m_scroller = nullptr;
    QWidget *m_content = nullptr; // every control, at the place the design gives it
    QWidget *m_picToolbar = nullptr;
    BandContainer *m_rebar = nullptr;
    QList<Toolbar *> m_commandToolbars;
    TabControl *m_tabs = nullptr;
    QList<QWidget *> m_panels;
    ToolbarHost *m_toolbarHost = nullptr;
    Toolbar *m_preview = nullptr;
    PreviewToolbar *m_previewBinding = nullptr;
    Grid *m_grid = nullptr;
    QPushButton *m_addAddOn = nullptr;
    QPushButton *m_killAddOn = nullptr;
    QWidget *m_aboutFrame = nullptr;
    QLabel *m_aboutLink = nullptr;
    int m_currentTab = ToolbarTab;
    int m_width = 0;
    ImageList *m_buttonImages = nullptr;
    OwnerDrawManager *m_ownerDraw = nullptr;
    QList<FlatControl *> m_flatControls;
};
