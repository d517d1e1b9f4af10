#include "toolbareditorpage.h"

#include "buttonpicturelist.h"
#include "configuration.h"
#include "dropdownwidth.h"
#include "filedialog.h"
#include "frmdialog.h"
#include "frmeditor.h"
#include "imagelist.h"
#include "inidocument.h"
#include "inifile.h"
#include "messagebox.h"
#include "pathfunctions.h"
#include "picturecombolist.h"
#include "popupmenu.h"
#include "toolbar.h"
#include "undocommands.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace {

// Keys of the "Toolbar" menu items.
const QString kAddButton = QStringLiteral("T0");
const QString kDeleteButton = QStringLiteral("T1");
const QString kMoveLeft = QStringLiteral("T2");
const QString kMoveRight = QStringLiteral("T3");
const QString kEditButton = QStringLiteral("T4");
const QString kNewGroup = QStringLiteral("T5");

// "(none)" and the pictures "0" to "7"; later items are bitmap files, kept for one edit only.
constexpr int kFixedPictureItems = 9;
constexpr int kBuiltInPictures = 8;
const QColor kTransparent(255, 0, 255);

// The file-open flags: long names, explorer style, file must exist, hide read-only.
constexpr int kBitmapDialogFlags = 0x281004;

int px(int twips)
{
    return frmEditor::px(twips);
}

void placeLabel(QLabel *label, const QString &name, int left, int top, int width, int height)
{
    label->setObjectName(name);
    label->setGeometry(px(left), px(top), px(width), px(height));
}

// A panel row: its label left of the control, wrapped onto two lines where it is long.
void rowLabel(QWidget *frame, const QString &name, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text, frame);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setBuddy(buddy);
    // A screen reader names the control by its label.
    buddy->setAccessibleName(text.endsWith(u':') ? text.chopped(1) : text);
    const QRect control = buddy->geometry();
    label->setObjectName(name);
    label->setGeometry(px(120), control.center().y() - px(210), control.left() - px(150), px(420));
}

void trimItems(QComboBox *combo, int count)
{
    while (combo->count() > count)
        combo->removeItem(combo->count() - 1);
}

} // namespace

ToolbarEditorPage::ToolbarEditorPage(frmEditor *editor)
    : QObject(editor)
    , m_editor(editor)
    , m_model(editor->configuration()->toolbar())
{
    QWidget *page = editor->panel(frmEditor::ToolbarTab);
    auto *heading = new QLabel(QStringLiteral("The QTA Toolbar will look like the following toolbar:"), page);
    placeLabel(heading, QStringLiteral("lblPreview"), 0, 120, 6900, 225);
    auto *hint
        = new QLabel(QStringLiteral("Click on any button on the toolbar and select an action from the menu."), page);
    placeLabel(hint, QStringLiteral("lblPreviewHint"), 0, 840, 6900, 225);
    // Below the preview, which takes the room of a scroll bar beyond the design's height.
    const int extra = page->findChild<QWidget *>(QStringLiteral("vbalTBarHost1"))->height() - px(420);
    hint->move(hint->x(), hint->y() + extra);
    buildPanel();
    m_frame->move(m_frame->x(), m_frame->y() + extra);

    Toolbar *preview = editor->previewToolbar();
    connect(preview, &Toolbar::buttonClicked, this, &ToolbarEditorPage::ShowButtonMenu);
    // The keyboard and drag requests of the preview do what the menu does.
    preview->setEditable(true);
    connect(preview, &Toolbar::buttonMenuRequested, this, &ToolbarEditorPage::ShowButtonMenu);
    connect(preview, &Toolbar::buttonEditRequested, this, &ToolbarEditorPage::BeginButtonEdit);
    connect(preview, &Toolbar::buttonDeleteRequested, this, &ToolbarEditorPage::deleteButton);
    connect(preview, &Toolbar::buttonMoveRequested, this, [this](int position, int step) {
        if (step < 0)
            moveButton(position, position - 1);
        else if (step > 0)
            moveButton(position, position + 1);
    });
    connect(preview, &Toolbar::buttonDropped, this, &ToolbarEditorPage::dropButton);

    connect(m_model, &ToolbarModel::buttonInserted, this, &ToolbarEditorPage::followInsert);
    connect(m_model, &ToolbarModel::buttonRemoved, this, &ToolbarEditorPage::followRemove);
    connect(m_model, &ToolbarModel::buttonMoved, this, &ToolbarEditorPage::followMove);
    // A reload or reset replaces every button: the one being edited is gone.
    connect(m_model, &ToolbarModel::toolbarReset, this, &ToolbarEditorPage::CancelButtonEdit);
    connect(editor->configuration(), &Configuration::addOnCommandsChanged, this, &ToolbarEditorPage::fillAddOnCommands);
}

void ToolbarEditorPage::buildPanel()
{
    m_frame = new QGroupBox(QStringLiteral("Selected Button Info:"), m_editor->panel(frmEditor::ToolbarTab));
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setAccessibleName(QStringLiteral("Selected Button Info"));
    m_frame->setGeometry(0, px(1140), px(6945), px(2775));
    m_frame->hide();

    constexpr int left = 1500;
    m_tooltip = new QLineEdit(m_frame);
    m_tooltip->setObjectName(QStringLiteral("txtTooltip"));
    m_tooltip->setGeometry(px(left), px(300), px(5295), px(315));
    rowLabel(m_frame, QStringLiteral("lblTooltip"), QStringLiteral("Button Tooltip:"), m_tooltip);

    m_commandNoAddOns = new QComboBox(m_frame);
    m_commandNoAddOns->setObjectName(QStringLiteral("cmbboxCommandNoAddOns"));
    m_commandNoAddOns->setGeometry(px(left), px(720), px(5295), px(315));
    m_commandNoAddOns->addItem(ConfigFormat::none());
    m_commandNoAddOns->addItems(ConfigFormat::hostCommandWords());
    rowLabel(m_frame, QStringLiteral("lblCommandNoAddOns"), QStringLiteral("Button Command: (Non-AddOn)"),
             m_commandNoAddOns);

    m_commandAddOns = new QComboBox(m_frame);
    m_commandAddOns->setObjectName(QStringLiteral("cmbboxCommandAddOns"));
    m_commandAddOns->setGeometry(px(left), px(1140), px(5295), px(315));
    rowLabel(m_frame, QStringLiteral("lblCommandAddOns"), QStringLiteral("Button Command: (RunAddOn*)"),
             m_commandAddOns);
    fillAddOnCommands();

    m_picture = new PictureComboList(m_frame);
    m_picture->setObjectName(QStringLiteral("cmbButtonBitmap"));
    m_picture->setGeometry(px(left), px(1560), px(4935), px(315));
    m_picture->setImageList(m_editor->buttonPictures()->images());
    m_picture->addItem(ConfigFormat::none(), 0);
    for (int i = 0; i < kBuiltInPictures; ++i)
        m_picture->addItem(QString::number(i), i);
    rowLabel(m_frame, QStringLiteral("lblButtonImage"), QStringLiteral("Button Image:"), m_picture);

    auto *browse = new QPushButton(QStringLiteral("..."), m_frame);
    browse->setObjectName(QStringLiteral("cmdBrowseForBitmap"));
    browse->setGeometry(px(left + 4935 + 45), px(1560), px(315), px(315));
    browse->setAccessibleName(QStringLiteral("..."));
    browse->setAccessibleDescription(QStringLiteral("Browse for a bitmap file"));
    browse->setToolTip(QStringLiteral("Browse for a bitmap file"));

    m_done = new QPushButton(QStringLiteral("&Done Editing"), m_frame);
    m_done->setObjectName(QStringLiteral("cmdDone"));
    m_done->setGeometry(px(2040), px(2160), px(1335), px(375));
    m_done->setAccessibleName(QStringLiteral("Done Editing"));
    m_done->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel Edit"), m_frame);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setGeometry(px(3570), px(2160), px(1335), px(375));
    m_cancel->setAccessibleName(QStringLiteral("Cancel Edit"));

    connect(m_commandNoAddOns, &QComboBox::activated, this, [this](int item) {
        if (item >= 1)
            m_commandAddOns->setCurrentIndex(0);
    });
    connect(m_commandAddOns, &QComboBox::activated, this, [this](int item) {
        if (item >= 1)
            m_commandNoAddOns->setCurrentIndex(0);
    });
    connect(m_picture, &PictureComboList::selectionMade, this, &ToolbarEditorPage::selectPicture);
    connect(browse, &QPushButton::clicked, this, &ToolbarEditorPage::BrowseForBitmap);
    connect(m_done, &QPushButton::clicked, this, &ToolbarEditorPage::CommitButtonEdit);
    connect(m_cancel, &QPushButton::clicked, this, &ToolbarEditorPage::CancelButtonEdit);

    m_frame->installEventFilter(this);
}

void ToolbarEditorPage::fillAddOnCommands()
{
    // The shown command survives a refill, as an extra item when the new list lacks it.
    const QString shown = m_editPosition >= 0 ? commandOfSelection() : QString();
    m_commandAddOns->clear();
    m_commandAddOns->addItems(m_editor->configuration()->addOnCommands());
    if (m_editPosition >= 0)
        showCommand(shown);
    else
        m_commandAddOns->setCurrentIndex(0);
    SizeDropDownToItems(m_commandAddOns, m_editor);
}

bool ToolbarEditorPage::IsSeparatorAt(int position) const
{
    return m_model->isSeparatorAt(position);
}

void ToolbarEditorPage::ShowButtonMenu(int position)
{
    if (position < 0 || position >= m_model->count() || IsSeparatorAt(position))
        return;
    const int count = m_model->count();
    QPoint at = QCursor::pos();
    // Opened from the keyboard the pointer may be anywhere: then the menu drops from the button.
    if (QWidget *button = m_editor->previewToolbar()->buttonWidget(position);
        button && !button->rect().contains(button->mapFromGlobal(at)))
        at = button->mapToGlobal(QPoint(0, button->height()));

    PopupMenu *menu = m_editor->contextMenus();
    menu->restore(QStringLiteral("Toolbar"));
    menu->setEnabled(menu->positionOfKey(kMoveLeft), position >= 1);
    menu->setEnabled(menu->positionOfKey(kMoveRight), position < count - 1);
    menu->setChecked(menu->positionOfKey(kNewGroup), IsSeparatorAt(position - 1));
    const int chosen = menu->show(at);
    const QString key = menu->key(chosen);
    const bool grouped = menu->isChecked(menu->positionOfKey(kNewGroup));
    menu->clear();

    if (key == kAddButton) {
        addButton(position);
    } else if (key == kDeleteButton) {
        deleteButton(position);
    } else if (key == kMoveLeft) {
        moveButton(position, position - 1);
    } else if (key == kMoveRight) {
        moveButton(position, position + 1);
    } else if (key == kEditButton) {
        BeginButtonEdit(position);
    } else if (key == kNewGroup) {
        if (grouped) {
            change(QStringLiteral("Remove Group Separator"),
                   [position](ToolbarChange &toolbar) { toolbar.remove(position - 1); });
        } else {
            const ToolbarButtonEntry separator { freeSeparatorKey(position + 1, -1), {}, -1, true };
            change(QStringLiteral("Begin a new Group"),
                   [position, separator](ToolbarChange &toolbar) { toolbar.insert(position, separator); });
        }
    }
}

void ToolbarEditorPage::change(const QString &text, const std::function<void(ToolbarChange &)> &steps)
{
    auto *toolbar = new ToolbarChange(m_editor->configuration(), text);
    steps(*toolbar);
    pushChange(m_editor->undoStack(), toolbar);
}

void ToolbarEditorPage::addButton(int position)
{
    // A name no other button has: two buttons of one name would be one line of the file.
    QString name = QStringLiteral("New Button");
    for (int number = 2; m_model->indexOfKey(name) >= 0; ++number)
        name = QStringLiteral("New Button %1").arg(number);
    const ToolbarButtonEntry button { name, ConfigFormat::none(), 0, false };
    change(QStringLiteral("Add a new Button"),
           [position, button](ToolbarChange &toolbar) { toolbar.insert(position, button); });
    BeginButtonEdit(position);
}

void ToolbarEditorPage::deleteButton(int position)
{
    if (position < 0 || position >= m_model->count() || IsSeparatorAt(position))
        return;
    change(QStringLiteral("Delete Button"), [position](ToolbarChange &toolbar) { toolbar.remove(position); });
}

// A button moves over its neighbour; over a separator, the separator takes the button's old place and a name
// from that place.
void ToolbarEditorPage::moveButton(int position, int to)
{
    if (position < 0 || to < 0 || position >= m_model->count() || to >= m_model->count() || IsSeparatorAt(position))
        return;
    const QString text
        = to < position ? QStringLiteral("Move Button to the Left") : QStringLiteral("Move Button to the Right");
    change(text, [this, position, to](ToolbarChange &toolbar) {
        const bool overSeparator = IsSeparatorAt(to);
        toolbar.move(position, to);
        if (overSeparator) {
            ToolbarButtonEntry separator = m_model->at(position);
            separator.Tooltip = freeSeparatorKey(position + 1, position);
            toolbar.replace(position, separator);
        }
    });
}

// A drag carries the entry to its new place in one move; a separator carried so gets a name from that place,
// the entries it passes keep theirs.
void ToolbarEditorPage::dropButton(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_model->count() || to >= m_model->count() || from == to)
        return;
    const bool separator = IsSeparatorAt(from);
    change(separator ? QStringLiteral("Move Group Separator") : QStringLiteral("Move Button"),
           [this, from, to, separator](ToolbarChange &toolbar) {
               toolbar.move(from, to);
               if (separator) {
                   ToolbarButtonEntry moved = m_model->at(to);
                   moved.Tooltip = freeSeparatorKey(to + 1, to);
                   toolbar.replace(to, moved);
               }
           });
}

// "space" + number, or the next number no other entry uses as its key: equal keys would collapse into one line
// of the file.
QString ToolbarEditorPage::freeSeparatorKey(int number, int except) const
{
    QString key = ConfigFormat::separatorKey(number);
    while (m_model->indexOfKey(key, except) >= 0)
        key = ConfigFormat::separatorKey(++number);
    return key;
}

void ToolbarEditorPage::BeginButtonEdit(int position)
{
    if (position < 0 || position >= m_model->count() || IsSeparatorAt(position))
        return;
    const ToolbarButtonEntry &entry = m_model->at(position);
    // Bitmap items and kept commands belong to the edit before.
    trimItems(m_picture, kFixedPictureItems);
    trimItems(m_commandNoAddOns, 1 + int(ConfigFormat::hostCommandWords().size()));
    trimItems(m_commandAddOns, int(m_editor->configuration()->addOnCommands().size()));
    m_editPosition = position;
    m_frame->show();
    m_tooltip->setText(entry.Tooltip);
    showCommand(entry.Command);
    showPicture(entry.ImageIndex);
    m_tooltip->setFocus();
    m_tooltip->selectAll();
    Q_EMIT editingChanged();
}

void ToolbarEditorPage::showCommand(const QString &command)
{
    const bool addOn = ConfigFormat::isAddOnCommand(command);
    QComboBox *list = addOn ? m_commandAddOns : m_commandNoAddOns;
    int item = list->findText(command, Qt::MatchExactly | Qt::MatchCaseSensitive);
    // A command the list does not offer (a word of another QTA version, an add-on since renamed) is kept.
    if (item < 0) {
        list->addItem(command);
        item = list->count() - 1;
    }
    list->setCurrentIndex(item);
    (addOn ? m_commandNoAddOns : m_commandAddOns)->setCurrentIndex(0);
}

void ToolbarEditorPage::showPicture(int imageIndex)
{
    if (imageIndex < 0) {
        selectPicture(0);
    } else if (imageIndex < kBuiltInPictures) {
        selectPicture(imageIndex + 1);
    } else {
        // A bitmap file's picture, under its key; a picture number the list lacks keeps its number.
        QString key = m_editor->configuration()->images()->keyAt(imageIndex);
        if (key.isEmpty())
            key = QString::number(imageIndex);
        selectPicture(m_picture->addItem(key, imageIndex));
    }
}

void ToolbarEditorPage::selectPicture(int item)
{
    m_picture->setSelectedPosition(item);
    m_picture->setToolTip(m_picture->itemText(item));
}

int ToolbarEditorPage::pictureOfSelection() const
{
    const int item = m_picture->selectedPosition();
    if (item <= 0)
        return -1;
    return item < kFixedPictureItems ? item - 1 : m_picture->itemPicture(item);
}

QString ToolbarEditorPage::commandOfSelection() const
{
    return m_commandAddOns->currentIndex() >= 1 ? m_commandAddOns->currentText() : m_commandNoAddOns->currentText();
}

void ToolbarEditorPage::CommitButtonEdit()
{
    if (m_editPosition < 0)
        return;
    ToolbarButtonEntry edited = m_model->at(m_editPosition);
    edited.Tooltip = m_tooltip->text();
    edited.ImageIndex = pictureOfSelection();
    edited.Command = commandOfSelection();
    if (!confirmUnsavable(edited) || m_editPosition < 0)
        return;
    const int position = m_editPosition;
    endEdit();
    change(QStringLiteral("Edit Button"),
           [position, edited](ToolbarChange &toolbar) { toolbar.replace(position, edited); });
}

// Position of another button with this key, or -1. Separators do not count (a save gives them free names),
// nor do nameless buttons (each keeps its own line).
int ToolbarEditorPage::otherButtonNamed(const QString &tooltip) const
{
    if (IniRules::matchKey(tooltip).isEmpty())
        return -1;
    for (int position = 0; position < m_model->count(); ++position) {
        const ToolbarButtonEntry &entry = m_model->at(position);
        if (position != m_editPosition && !entry.IsSeparator && IniRules::sameKey(entry.Tooltip, tooltip))
            return position;
    }
    return -1;
}

// The tooltip is the button's key in the file and the command sits before the "|" of its line: say what
// saving would do with values that do not fit, and let the user go back to them.
bool ToolbarEditorPage::confirmUnsavable(const ToolbarButtonEntry &edited)
{
    QStringList problems;
    QWidget *back = nullptr;
    const QString keyProblem = iniKeyProblem(edited.Tooltip);
    if (!keyProblem.isEmpty()) {
        problems.append(QStringLiteral("The tooltip \"%1\" cannot be saved as the button's name in QTA.INI: %2. "
                                       "Saving will be refused until it is changed.")
                            .arg(edited.Tooltip, keyProblem));
        back = m_tooltip;
    } else if (const int other = otherButtonNamed(edited.Tooltip); other >= 0) {
        problems.append(QStringLiteral("Button %1 already has the tooltip \"%2\". The tooltip is the button's name "
                                       "in QTA.INI: on saving, the two lines collapse into one and one of the "
                                       "two buttons is lost.")
                            .arg(other + 1)
                            .arg(m_model->at(other).Tooltip));
        back = m_tooltip;
    }
    if (edited.Command.contains(u'|')) {
        problems.append(QStringLiteral("The command \"%1\" holds \"|\", which a button's line in QTA.INI cannot hold. "
                                       "Saving will be refused until it is changed.")
                            .arg(edited.Command));
        if (!back)
            back = m_commandAddOns->currentIndex() >= 1 ? m_commandAddOns : m_commandNoAddOns;
    }
    if (problems.isEmpty())
        return true;
    problems.append(QStringLiteral("Keep it anyway?"));
    const QMessageBox::StandardButton answer
        = MessageBox::show(m_editor, QMessageBox::Warning, frmEditor::caption(), problems.join(QStringLiteral("\n\n")),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        return true;
    back->setFocus();
    if (back == m_tooltip)
        m_tooltip->selectAll();
    return false;
}

void ToolbarEditorPage::CancelButtonEdit()
{
    if (m_editPosition >= 0)
        endEdit();
}

void ToolbarEditorPage::endEdit()
{
    const bool focusInPanel = m_frame->isAncestorOf(QApplication::focusWidget());
    const int position = m_editPosition;
    m_editPosition = -1;
    m_frame->hide();
    // The keyboard user carries on from the button just edited.
    if (QWidget *button = m_editor->previewToolbar()->buttonWidget(position); button && focusInPanel)
        button->setFocus();
    Q_EMIT editingChanged();
}

void ToolbarEditorPage::BrowseForBitmap()
{
    QPointer<frmDialog> picker = new frmDialog(m_editor);
    picker->setPicturePreview(true);
    FileDialog *dialog = picker->CommonDialog1();
    dialog->setFileName(QString());
    dialog->setFilter(QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp"));
    dialog->setFilterIndex(1);
    dialog->setDefaultExtension(QStringLiteral("bmp"));
    dialog->setFlags(kBitmapDialogFlags);
    dialog->setInitialDir(m_editor->BMPPATH);
    dialog->showOpen();
    if (!picker)
        return;
    const QString file = dialog->fileName();
    delete picker;
    if (file.isEmpty())
        return;

    QString why;
    if (ImageList::readPicture(file, QSize(16, 16), kTransparent, &why).isNull()) {
        MessageBox::show(m_editor, QMessageBox::Warning, frmEditor::caption(),
                         QStringLiteral("\"%1\" cannot be a button's picture: %2. The picture stays as it was.")
                             .arg(QDir::toNativeSeparators(file), why));
        return;
    }
    // Without a short form the full path still finds the picture again.
    QString key = GetShortPath(file);
    if (key.isEmpty())
        key = file;
    ButtonImageList *images = m_editor->configuration()->images();
    int index = images->indexOfKey(key);
    if (index < 0)
        index = images->add(ButtonImageEntry { key, file, false });
    selectPicture(m_picture->addItem(key, index));
}

void ToolbarEditorPage::followInsert(int position)
{
    if (m_editPosition >= 0 && position <= m_editPosition)
        ++m_editPosition;
}

void ToolbarEditorPage::followRemove(int position)
{
    if (position == m_editPosition)
        CancelButtonEdit();
    else if (m_editPosition >= 0 && position < m_editPosition)
        --m_editPosition;
}

void ToolbarEditorPage::followMove(int from, int to)
{
    if (m_editPosition < 0)
        return;
    if (m_editPosition == from)
        m_editPosition = to;
    else if (from < m_editPosition && m_editPosition <= to)
        --m_editPosition;
    else if (to <= m_editPosition && m_editPosition < from)
        ++m_editPosition;
}

bool ToolbarEditorPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Keys no control of the panel took: Enter presses the focused button, else "&Done Editing"; Escape
    // means "&Cancel Edit".
    if (watched == m_frame && (enter || key == Qt::Key_Escape)) {
        auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
        (key == Qt::Key_Escape ? m_cancel : focused ? focused : m_done)->click();
        return true;
    }
    return QObject::eventFilter(watched, event);
}
