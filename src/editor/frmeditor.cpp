#include "frmeditor.h"

#include "addonspage.h"
#include "buttonpicturelist.h"
#include "configuration.h"
#include "contextmenus.h"
#include "entrykeys.h"
#include "folderbrowser.h"
#include "foldersettings.h"
#include "frmabout.h"
#include "imagelist.h"
#include "linkcolour.h"
#include "messagebox.h"
#include "outsidechanges.h"
#include "popupmenu.h"
#include "programcaption.h"
#include "stringfunctions.h"
#include "toolbar.h"
#include "toolbarpage.h"
#include "undocommands.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QUndoStack>

namespace {

constexpr int kStyleSeparator = 1;
constexpr int kStyleAutoSize = 16;

enum Command { Reload, Save, Reset, SetIniPath, SetBitmapsPath, SetAddOnsPath, Exit, Undo, Redo, None };

struct CommandButton
{
    Command command;
    const char16_t *caption;
    int picture;
};

constexpr CommandButton kSeparator { None, nullptr, -1 };

// The command toolbar of each tab, by position; separators count. Undo and Redo come last, so every other
// command keeps its place.
const QList<QList<CommandButton>> &commandToolbars()
{
    static const QList<QList<CommandButton>> toolbars = {
        { { Reload, u"Reload INI", 0 },
          { Save, u"Save INI", 1 },
          { Reset, u"Reset Toolbar", 2 },
          kSeparator,
          { SetIniPath, u"Set QTA.INI Path", 3 },
          { SetBitmapsPath, u"Set Bitmaps Path", 4 },
          kSeparator,
          { Exit, u"Exit", 8 },
          kSeparator,
          { Undo, u"Undo", 9 },
          { Redo, u"Redo", 10 } },
        { { Reload, u"Reload INI", 0 },
          { Save, u"Save INI", 1 },
          kSeparator,
          { SetIniPath, u"Set QTA.INI Path", 3 },
          { SetAddOnsPath, u"Set Add-Ons Path", 5 },
          kSeparator,
          { Exit, u"Exit", 8 },
          kSeparator,
          { Undo, u"Undo", 9 },
          { Redo, u"Redo", 10 } },
        { { SetIniPath, u"Set QTA.INI Path", 3 }, kSeparator, { Exit, u"Exit", 8 } },
        { { SetIniPath, u"Set QTA.INI Path", 3 }, kSeparator, { Exit, u"Exit", 8 } },
    };
    return toolbars;
}

const char *const kCommandPictures[] = {
    "reload",     "save", "reset-toolbar", "set-ini-path", "set-bitmaps-path", "set-addons-path", "tab-toolbar",
    "tab-addons", "exit", "undo",          "redo",
};

const char *const kMenuPictures[] = {
    "0-add-button",  "1-delete-button", "2-move-left", "3-move-right",
    "4-edit-button", "5-new-group",     "6-move-up",   "7-move-down",
};

QString programFolder()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

} // namespace

frmEditor::frmEditor(QWidget *parent)
    : QWidget(parent)
    , m_config(new Configuration(this))
    , m_undoStack(new QUndoStack(this))
    , m_outside(new OutsideChanges(this, programCaption()))
{
    // The user chose to drop the edits shown for the file as another program left it.
    connect(m_outside, &OutsideChanges::reloadRequested, this, [this] {
        cancelOpenEdits();
        load(false);
    });
    setObjectName(QStringLiteral("frmEditor"));
    setWindowTitle(programCaption());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setWindowIcon(QIcon(QStringLiteral(":/app/qta-config-editor.png")));

    connect(m_undoStack, &QUndoStack::indexChanged, this, [this] { setWindowModified(hasUnsavedChanges()); });

    m_browser = new FolderBrowser(this);
    m_browser->setObjectName(QStringLiteral("cBrowseFolder"));
    m_browser->setOwner(this);
    m_browser->setFileSystemOnly(true);
    connect(m_browser, &FolderBrowser::selectionChanged, this, &frmEditor::handleBrowserSelection);

    SetupButtonImages(*m_config);
    m_pictures = new ButtonPictureList(m_config->images(), this);

    buildContextMenus();

    buildCommandToolbars();
    ResetToolbar(*m_config);
    buildTabs();
    buildAboutLink();
    layOutContent();
    fitToScreen();
    applyLook();
    connectUndo();
}

void frmEditor::connectUndo()
{
    connect(m_undoStack, &QUndoStack::indexChanged, this, &frmEditor::updateUndoButtons);
    connect(m_undoStack, &QUndoStack::canUndoChanged, this, &frmEditor::updateUndoButtons);
    connect(m_undoStack, &QUndoStack::canRedoChanged, this, &frmEditor::updateUndoButtons);
    // An open edit, the box with the focus and its typing change what undo does.
    connect(m_toolbarPage, &ToolbarPage::editingChanged, this, &frmEditor::updateUndoButtons);
    connect(m_addOnsPage, &AddOnsPage::editingChanged, this, &frmEditor::updateUndoButtons);
    connect(qApp, &QApplication::focusChanged, this, &frmEditor::updateUndoButtons);
    updateUndoButtons();
    // Ctrl+Y and Ctrl+Shift+Z both redo, whichever of them the platform names.
    QList<QKeySequence> redoKeys = QKeySequence::keyBindings(QKeySequence::Redo);
    const QKeySequence otherRedoKeys[]
        = { QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z) };
    for (const QKeySequence &key : otherRedoKeys) {
        if (!redoKeys.contains(key))
            redoKeys.append(key);
    }
    auto *undoShortcut = new QShortcut(this);
    undoShortcut->setKeys(QKeySequence::Undo);
    connect(undoShortcut, &QShortcut::activated, this, [this] { undoFromKeyboard(false); });
    auto *redoShortcut = new QShortcut(this);
    redoShortcut->setKeys(redoKeys);
    connect(redoShortcut, &QShortcut::activated, this, [this] { undoFromKeyboard(true); });
}

frmEditor::~frmEditor()
{
    // The stack empties itself as it goes, and the focus moves as controls go, after the pages and toolbars
    // they report to are gone.
    disconnect(m_undoStack, nullptr, this, nullptr);
    disconnect(qApp, nullptr, this, nullptr);
}

QString frmEditor::iniPrompt()
{
    return QStringLiteral("Please browse for your QTA.INI file");
}

QString frmEditor::bitmapsPrompt()
{
    return QStringLiteral("Please browse for a folder for toolbar bitmaps");
}

QString frmEditor::addOnsPrompt()
{
    return QStringLiteral("Please browse for a folder for add-ons");
}

QString frmEditor::iniFilePath() const
{
    return qtaIniPath(m_folders.ini);
}

// At its full size where the screen has room for it, else as large as the screen allows, scrolling the rest;
// centred either way.
void frmEditor::fitToScreen()
{
    const QSize full = m_content->size();
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect screenRoom = screen ? screen->availableGeometry() : QRect(QPoint(0, 0), full);
    // The frame the window manager adds: the title bar and the borders, as the style guesses them.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const QSize frame(2 * border, titleBar + 2 * border);
    const QSize room = screenRoom.size() - frame;
    if (room.width() >= full.width() && room.height() >= full.height()) {
        setFixedSize(full);
    } else {
        setMinimumSize(QSize(qMin(full.width(), 200), qMin(full.height(), 150)));
        setMaximumSize(full);
        resize(full.boundedTo(room));
    }
    // A window's position is that of its frame, so the frame is what is centred.
    move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size() + frame, screenRoom).topLeft());
}

void frmEditor::buildContextMenus()
{
    m_menuImages = new ImageList(QSize(16, 16), this);
    for (const char *name : kMenuPictures)
        m_menuImages->addFromResource(QStringLiteral(":/menu/%1.png").arg(QLatin1String(name)), QString(), QColor());
    m_contextMenus = new PopupMenu(this);
    m_contextMenus->setObjectName(QStringLiteral("ContextMenus"));
    m_contextMenus->setImageList(m_menuImages);
    addContextMenuItems(*m_contextMenus);
}

void frmEditor::buildCommandToolbars()
{
    m_commandImages = new ImageList(QSize(19, 19), this);
    m_commandImagesHot = new ImageList(QSize(19, 19), this);
    for (const char *name : kCommandPictures) {
        const QString key = QString::fromLatin1(name);
        m_commandImages->addFromResource(QStringLiteral(":/commands/%1.png").arg(key), key, QColor());
        m_commandImagesHot->addFromResource(QStringLiteral(":/commands/%1-hot.png").arg(key), key, QColor());
    }

    m_picToolbar = new QWidget;
    m_picToolbar->setObjectName(QStringLiteral("picToolbar"));
    m_rebar = new QStackedWidget;
    m_rebar->setObjectName(QStringLiteral("cReBar1"));
    auto *strip = new QVBoxLayout(m_picToolbar);
    // The strip leaves a band of the window's colour below its buttons, as the design draws it.
    strip->setContentsMargins(0, 0, 0, 2 * fontMetrics().height());
    strip->addWidget(m_rebar);

    const QList<QList<CommandButton>> &toolbars = commandToolbars();
    for (int t = 0; t < toolbars.size(); ++t) {
        auto *toolbar = new Toolbar;
        toolbar->setObjectName(QStringLiteral("cToolbar%1").arg(t + 1));
        toolbar->setAccessibleName(QStringLiteral("Commands"));
        toolbar->setPictureSize(19);
        toolbar->setImageLists(m_commandImages, m_commandImagesHot);
        for (const CommandButton &button : toolbars[t]) {
            const QString caption = button.caption ? QString::fromUtf16(button.caption) : QString();
            if (button.command == None)
                toolbar->addButton(QString(), -1, -1, 0, QString(), kStyleSeparator);
            else if (button.command == Undo || button.command == Redo)
                // Pictures only, to keep the strip short; the tooltip names the change.
                toolbar->addButton(caption, button.picture, -1, 0, QString(), kStyleAutoSize);
            else
                toolbar->addButton(QString(), button.picture, -1, 0, caption, kStyleAutoSize);
        }
        connect(toolbar, &Toolbar::buttonClicked, this,
                [this, t](int position) { handleCommandClick(t + 1, position); });
        m_commandToolbars.append(toolbar);
        m_rebar->addWidget(toolbar);
    }
}

void frmEditor::buildTabs()
{
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("vbTabControl1"));
    m_tabs->setIconSize(m_commandImagesHot->pictureSize());
    m_toolbarPage = new ToolbarPage(m_config, m_undoStack, m_contextMenus, m_pictures, m_folders);
    m_addOnsPage = new AddOnsPage(m_config->addOns(), m_undoStack, m_contextMenus, m_folders);
    m_tabs->addTab(m_toolbarPage, QIcon(m_commandImagesHot->pixmap(6)), QStringLiteral("Toolbar Editor"));
    m_tabs->addTab(m_addOnsPage, QIcon(m_commandImagesHot->pixmap(7)), QStringLiteral("Add-Ons Editor"));
    m_tabs->addTab(new QWidget, QStringLiteral("QTA 3 Stuff"));
    m_tabs->addTab(new QWidget, QStringLiteral("Will Come Here"));
    for (int i = 2; i < m_tabs->count(); ++i)
        m_tabs->widget(i)->setObjectName(QStringLiteral("picTab(%1)").arg(i));
    // A click on another tab, and the keys that switch pages, store the open edit while its page is still
    // there; an edit the user goes back to keeps its page.
    m_tabs->tabBar()->installEventFilter(this);
    m_tabs->installEventFilter(this);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int index) { handleTabSelected(index + 1); });
}

void frmEditor::buildAboutLink()
{
    m_aboutFrame = new QWidget;
    m_aboutFrame->setObjectName(QStringLiteral("fraAbout"));
    m_aboutLink = new QLabel(QStringLiteral("About QTA Config Editor"));
    m_aboutLink->setObjectName(QStringLiteral("Label5"));
    QFont underlined = m_aboutLink->font();
    underlined.setUnderline(true);
    m_aboutLink->setFont(underlined);
    updateLinkColour();
    m_aboutLink->setCursor(QCursor(QPixmap(QStringLiteral(":/cursors/hand.png")), 5, 0));
    m_aboutLink->setAccessibleName(m_aboutLink->text());
    m_aboutLink->setFocusPolicy(Qt::StrongFocus);
    m_aboutLink->installEventFilter(this);
    auto *layout = new QVBoxLayout(m_aboutFrame);
    layout->setContentsMargins(0, 0, 0, m_aboutLink->sizeHint().height() - 2);
    layout->addWidget(m_aboutLink);
}

void frmEditor::layOutContent()
{
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("content"));
    // The About link lies over the foot of the tab pages, on every page: they get room for it, and a gap as
    // high, below their own controls.
    m_tabs->setMinimumHeight(m_tabs->sizeHint().height() + 2 * m_aboutFrame->sizeHint().height());
    auto *pages = new QGridLayout;
    pages->addWidget(m_tabs, 0, 0);
    pages->addWidget(m_aboutFrame, 0, 0, Qt::AlignHCenter | Qt::AlignBottom);
    auto *layout = new QVBoxLayout(m_content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_picToolbar);
    layout->addLayout(pages);
    // As large as the controls need at the font of the day; the window fits itself to it.
    m_content->setFixedSize(m_content->sizeHint());

    // A screen too small for the window (large text on a small screen) scrolls its content instead of cutting
    // it off.
    m_scroller = new QScrollArea(this);
    m_scroller->setFrameShape(QFrame::NoFrame);
    // A click on a control that takes no focus must not hand the focus to the scroll area: an editor open in
    // the grid would take that for the user leaving it.
    m_scroller->setFocusPolicy(Qt::NoFocus);
    auto *window = new QVBoxLayout(this);
    window->setContentsMargins(0, 0, 0, 0);
    window->addWidget(m_scroller);
    m_scroller->setWidget(m_content);
}

bool frmEditor::start()
{
    m_browser->setTitle(iniPrompt());
    m_folders.ini = FolderSettings::read(FolderSettings::iniKey());
    while (m_folders.ini.isEmpty()) {
        const QString chosen = m_browser->browseForFolder();
        // Cancel on the first run ends the program: there is no file to edit.
        if (chosen.isEmpty())
            return false;
        m_folders.ini = chosen;
    }
    FolderSettings::write(FolderSettings::iniKey(), m_folders.ini);
    m_folders.bitmaps = FolderSettings::read(FolderSettings::bitmapsKey(), programFolder());
    m_folders.addOns = FolderSettings::read(FolderSettings::exesKey(), programFolder());

    load(true);
    return true;
}

bool frmEditor::load(bool sayWhatIsMissing)
{
    const QString path = iniFilePath();
    QString error;
    QString remark;
    FileStamp stamp;
    if (!LoadConfiguration(*m_config, m_folders.ini, &error, &remark, &stamp)) {
        showFailure(error);
        return false;
    }
    m_undoStack->clear(); // the lists are the file's now: earlier changes no longer apply to them
    m_outside->watch(path, stamp);
    markSaved();
    m_addOnsPage->showFirstRow();
    if (sayWhatIsMissing && !QFileInfo::exists(path)) {
        const QString folder = QFileInfo(path).absolutePath();
        const QString text = QFileInfo(folder).isDir()
            ? QStringLiteral("\"%1\" was not found. The editor shows the default toolbar and no add-ons; saving "
                             "creates the file.")
                  .arg(QDir::toNativeSeparators(path))
            : QStringLiteral("The folder \"%1\" of QTA.INI does not exist. The editor shows the default toolbar "
                             "and no add-ons, and cannot save them there: choose the folder of QTA.INI with \"Set "
                             "QTA.INI Path\".")
                  .arg(QDir::toNativeSeparators(folder));
        MessageBox::show(this, QMessageBox::Information, programCaption(), text);
    }
    // Every tab switch loads the file again: say what is odd about it once, not each time.
    if (remark != m_shownWarning && !remark.isEmpty())
        MessageBox::show(this, QMessageBox::Information, programCaption(), remark);
    m_shownWarning = remark;
    return true;
}

QString frmEditor::unsavedChangesText(const QString &question) const
{
    return QStringLiteral("The changes to the toolbar and the add-ons have not been saved to \"%1\".\n\n%2")
        .arg(QDir::toNativeSeparators(iniFilePath()), question);
}

bool frmEditor::reloadIni()
{
    if (!storeOpenEdits())
        return false;
    if (hasUnsavedChanges()) {
        const QMessageBox::StandardButton answer
            = MessageBox::show(this, QMessageBox::Warning, programCaption(),
                               unsavedChangesText(QStringLiteral("Reload the file and drop them?")),
                               MessageBox::ButtonTexts { { QMessageBox::Discard, QStringLiteral("Reload") },
                                                         { QMessageBox::Cancel, QString() } },
                               QMessageBox::Cancel);
        if (answer != QMessageBox::Discard)
            return false;
    }
    return load(true);
}

bool frmEditor::saveIni()
{
    if (!storeOpenEdits())
        return false;
    switch (m_outside->beforeSave()) {
    case OutsideChanges::Cancel:
        return false;
    case OutsideChanges::Reload:
        load(false);
        return false;
    case OutsideChanges::Proceed:
        break;
    }
    QString error;
    FileStamp stamp;
    const auto beforeWrite = [this](const QString &path) { return confirmMerges() && m_outside->beforeWrite(path); };
    if (!SaveConfiguration(*m_config, m_folders.ini, &error, beforeWrite, &stamp)) {
        if (!error.isEmpty())
            showFailure(error);
        return false;
    }
    // What is on disk now is ours: the watcher must not offer it back as another program's change.
    m_outside->watch(iniFilePath(), stamp);
    markSaved();
    return true;
}

// Entries the file cannot keep apart are written as one line: the user hears which before anything is written.
bool frmEditor::confirmMerges()
{
    const QStringList losses = savedEntryLosses(m_config->toolbar()->entries(), m_config->addOns()->entries());
    if (losses.isEmpty())
        return true;
    const QString text = QStringLiteral("QTA.INI keeps one line per name, so saving loses entries:\n\n%1\n\n"
                                        "Save anyway, or cancel and give them names of their own?")
                             .arg(losses.join(QStringLiteral("\n\n")));
    return MessageBox::show(this, QMessageBox::Warning, programCaption(), text,
                            MessageBox::ButtonTexts { { QMessageBox::Save, QStringLiteral("Save anyway") },
                                                      { QMessageBox::Cancel, QString() } },
                            QMessageBox::Cancel)
        == QMessageBox::Save;
}

frmEditor::SavedLists frmEditor::currentLists() const
{
    SavedLists lists { m_config->toolbar()->entries(), {}, m_config->addOns()->entries() };
    // A picture counts by its key: undoing a reset may give the same picture another index.
    lists.pictureKeys.reserve(lists.toolbar.size());
    for (ToolbarButtonEntry &button : lists.toolbar) {
        lists.pictureKeys.append(m_config->images()->keyAt(button.imageIndex));
        button.imageIndex = button.imageIndex < 0 ? -1 : 0;
    }
    return lists;
}

bool frmEditor::hasUnsavedChanges() const
{
    return currentLists() != m_savedLists;
}

void frmEditor::markSaved()
{
    m_savedLists = currentLists();
    updateTitle();
    setWindowModified(false);
}

// The title names the file a save writes, which after "Set QTA.INI Path" is not the one the lists came from.
void frmEditor::updateTitle()
{
    setWindowTitle(m_folders.ini.isEmpty() ? programCaption()
                                           : programCaption() + QStringLiteral(" - ")
                           + QDir::toNativeSeparators(iniFilePath()) + QStringLiteral("[*]"));
}

void frmEditor::resetToolbar()
{
    auto *change = new ToolbarChange(m_config, QStringLiteral("Reset Toolbar"));
    change->resetToDefault();
    pushChange(m_undoStack, change);
}

void frmEditor::undo()
{
    if (editOpen()) {
        auto *text = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (text && text->isUndoAvailable())
            text->undo();
        else
            cancelOpenEdits();
        return;
    }
    m_undoStack->undo();
}

void frmEditor::redo()
{
    if (editOpen()) {
        if (auto *text = qobject_cast<QLineEdit *>(QApplication::focusWidget()); text && text->isRedoAvailable())
            text->redo();
        return;
    }
    m_undoStack->redo();
}

bool frmEditor::editOpen() const
{
    return m_toolbarPage->isEditing() || m_addOnsPage->isEditing();
}

void frmEditor::cancelOpenEdits()
{
    m_toolbarPage->cancelEdit();
    m_addOnsPage->cancelEdit();
}

bool frmEditor::storeOpenEdits()
{
    if (!m_toolbarPage->storeEdit())
        return false;
    m_addOnsPage->storeEdit();
    return true;
}

void frmEditor::closeEvent(QCloseEvent *event)
{
    if (!storeOpenEdits()) {
        event->ignore();
        return;
    }
    if (hasUnsavedChanges()) {
        const QMessageBox::StandardButton answer
            = MessageBox::show(this, QMessageBox::Warning, programCaption(),
                               unsavedChangesText(QStringLiteral("Save them before closing?")),
                               QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
        if (answer == QMessageBox::Cancel || answer == QMessageBox::NoButton
            || (answer == QMessageBox::Save && !saveIni())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void frmEditor::undoFromKeyboard(bool redo)
{
    // While the user types in a text box, the keys undo the typing, whichever of them the box itself knows.
    if (auto *text = qobject_cast<QLineEdit *>(QApplication::focusWidget()); text && !text->isReadOnly()) {
        redo ? text->redo() : text->undo();
        return;
    }
    m_toolbarPage->keepKeyboardPlace([this, redo] { redo ? this->redo() : undo(); });
}

// With an edit open the two buttons act on it, and say so.
void frmEditor::updateUndoButtons()
{
    const bool editing = m_toolbarPage && m_addOnsPage && editOpen();
    const auto *text = qobject_cast<const QLineEdit *>(QApplication::focusWidget());
    const QList<QList<CommandButton>> &toolbars = commandToolbars();
    for (int t = 0; t < toolbars.size(); ++t) {
        for (int position = 0; position < toolbars[t].size(); ++position) {
            const Command command = toolbars[t][position].command;
            if (command != Undo && command != Redo)
                continue;
            const QString caption = QString::fromUtf16(toolbars[t][position].caption);
            bool can = false;
            QString tooltip = caption;
            if (editing && command == Undo) {
                can = true;
                tooltip = text && text->isUndoAvailable() ? QStringLiteral("Undo Typing")
                                                          : QStringLiteral("Undo: Close the Edit Unstored");
            } else if (editing) {
                can = text && text->isRedoAvailable();
                tooltip = can ? QStringLiteral("Redo Typing") : caption;
            } else {
                can = command == Undo ? m_undoStack->canUndo() : m_undoStack->canRedo();
                if (can)
                    tooltip += u' ' + (command == Undo ? m_undoStack->undoText() : m_undoStack->redoText());
            }
            m_commandToolbars[t]->setButtonEnabled(position, can);
            m_commandToolbars[t]->setButtonTooltip(position, tooltip);
        }
    }
}

void frmEditor::setIniPath()
{
    changeFolder(m_folders.ini, iniPrompt(), FolderSettings::iniKey());
    // Saves go to the new folder's file from now on: its questions, backup and watch follow it.
    m_outside->follow(iniFilePath());
    updateTitle();
}

void frmEditor::setBitmapsPath()
{
    changeFolder(m_folders.bitmaps, bitmapsPrompt(), FolderSettings::bitmapsKey());
}

void frmEditor::setAddOnsPath()
{
    changeFolder(m_folders.addOns, addOnsPrompt(), FolderSettings::exesKey());
}

void frmEditor::changeFolder(QString &field, const QString &prompt, const QString &key)
{
    m_browser->setInitialDir(field);
    m_browser->setTitle(prompt);
    const QString chosen = m_browser->browseForFolder();
    if (!chosen.isEmpty())
        field = chosen;
    FolderSettings::write(key, field);
}

void frmEditor::handleCommandClick(int toolbar, int position)
{
    const QList<CommandButton> &buttons = commandToolbars().value(toolbar - 1);
    if (position < 0 || position >= buttons.size())
        return;
    // Every command but Undo and Redo first stores an edit still open, as Enter or "Done Editing" would.
    const Command command = buttons[position].command;
    if (command != Undo && command != Redo && command != Exit && command != None && !storeOpenEdits())
        return;
    switch (command) {
    case Reload:
        reloadIni();
        break;
    case Save:
        saveIni();
        break;
    case Reset:
        resetToolbar();
        break;
    case SetIniPath:
        setIniPath();
        break;
    case SetBitmapsPath:
        setBitmapsPath();
        break;
    case SetAddOnsPath:
        setAddOnsPath();
        break;
    case Exit:
        close();
        break;
    case Undo:
        undo();
        break;
    case Redo:
        redo();
        break;
    case None:
        break;
    }
}

void frmEditor::handleTabSelected(int tab)
{
    // An edit the user chose to go back to keeps its tab.
    if (!storeOpenEdits()) {
        const QSignalBlocker programsOwnChoice(m_tabs);
        m_tabs->setCurrentIndex(m_currentTab - 1);
        return;
    }
    // A failed save keeps the lists on screen: reloading would throw the user's edits away.
    if (saveIni())
        load(false);
    showTab(tab);
}

void frmEditor::showTab(int tab)
{
    m_currentTab = tab;
    m_rebar->setCurrentIndex(tab - 1);
}

void frmEditor::handleBrowserSelection(const QString &path, bool &allowOk)
{
    const QString title = m_browser->title();
    QString pattern;
    if (title == iniPrompt())
        pattern = ConfigFormat::iniFileName();
    else if (title == bitmapsPrompt())
        pattern = QStringLiteral("*.BMP");
    else if (title == addOnsPrompt())
        pattern = QStringLiteral("*.EXE");
    else
        return;
    // Plain files only, letter case ignored, as the platform's own file search does.
    const QDir folder(path, pattern, QDir::NoSort, QDir::Files | QDir::Readable);
    if (path.isEmpty() || folder.entryList().isEmpty())
        allowOk = false;
}

bool frmEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (isPageSwitch(watched, event))
        return !storeOpenEdits();
    if (watched == m_aboutLink) {
        const bool clicked = event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
            && m_aboutLink->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint());
        const bool pressed = event->type() == QEvent::KeyPress
            && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Space
                || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return);
        if (clicked || pressed) {
            showAbout();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool frmEditor::isPageSwitch(const QObject *watched, const QEvent *event) const
{
    if (watched == m_tabs->tabBar() && event->type() == QEvent::MouseButtonPress) {
        const auto *click = static_cast<const QMouseEvent *>(event);
        const int tab = m_tabs->tabBar()->tabAt(click->position().toPoint());
        return click->button() == Qt::LeftButton && tab >= 0 && tab != m_tabs->currentIndex();
    }
    if (watched != m_tabs || event->type() != QEvent::KeyPress)
        return false;
    const auto *key = static_cast<const QKeyEvent *>(event);
    const QList<int> switching = { Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_PageUp, Qt::Key_PageDown };
    return key->modifiers() & Qt::ControlModifier && switching.contains(key->key());
}

// The link's blue, where it reads well; on a dark window the palette's own link colour, made readable.
void frmEditor::updateLinkColour()
{
    QPalette palette = m_aboutLink->palette();
    const QColor colour = linkColour(this->palette());
    if (palette.color(QPalette::WindowText) == colour)
        return;
    palette.setColor(QPalette::WindowText, colour);
    m_aboutLink->setPalette(palette);
}

void frmEditor::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_aboutLink)
        updateLinkColour();
}

void frmEditor::showAbout()
{
    frmAbout about(this);
    about.exec();
}

void frmEditor::showFailure(const QString &text)
{
    MessageBox::show(this, QMessageBox::Warning, programCaption(), text);
}
