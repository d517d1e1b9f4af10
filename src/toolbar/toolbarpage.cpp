#include "toolbarpage.h"

#include "buttonpicturelist.h"
#include "configuration.h"
#include "dropdownwidth.h"
#include "filedialog.h"
#include "folders.h"
#include "frmdialog.h"
#include "imagelist.h"
#include "inidocument.h"
#include "inifile.h"
#include "messagebox.h"
#include "pathfunctions.h"
#include "picturecombolist.h"
#include "popupmenu.h"
#include "previewtoolbar.h"
#include "programcaption.h"
#include "toolbar.h"
#include "undocommands.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollArea>
#include <QStyle>
#include <QUndoStack>

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

// A panel row: its label left of the control, wrapped onto two lines where it is long.
QLabel *rowLabel(const QString &name, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setBuddy(buddy);
    // A screen reader names the control by its label.
    buddy->setAccessibleName(text.endsWith(u':') ? text.chopped(1) : text);
    return label;
}

void trimItems(QComboBox *combo, int count)
{
    while (combo->count() > count)
        combo->removeItem(combo->count() - 1);
}

} // namespace

ToolbarPage::ToolbarPage(Configuration *config, QUndoStack *undoStack, PopupMenu *menus, ButtonPictureList *pictures,
                         const Folders &folders, QWidget *parent)
    : QWidget(parent)
    , m_config(config)
    , m_model(config->toolbar())
    , m_undoStack(undoStack)
    , m_menus(menus)
    , m_pictures(pictures)
    , m_folders(folders)
    , m_host(new QScrollArea)
    , m_preview(new Toolbar)
{
    setObjectName(QStringLiteral("picTab(0)"));
    auto *heading = new QLabel(QStringLiteral("The QTA Toolbar will look like the following toolbar:"));
    heading->setObjectName(QStringLiteral("lblPreview"));
    auto *hint = new QLabel(QStringLiteral("Click on any button on the toolbar and select an action from the menu."));
    hint->setObjectName(QStringLiteral("lblPreviewHint"));
    buildPreview();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 10, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(heading);
    layout->addWidget(m_host);
    layout->addWidget(hint);
    layout->addSpacing(6);
    layout->addWidget(buildPanel());
    layout->addStretch();

    connect(m_model, &ToolbarModel::buttonInserted, this, &ToolbarPage::followInsert);
    connect(m_model, &ToolbarModel::buttonRemoved, this, &ToolbarPage::followRemove);
    connect(m_model, &ToolbarModel::buttonMoved, this, &ToolbarPage::followMove);
    // A reload or reset replaces every button: the one being edited is gone.
    connect(m_model, &ToolbarModel::toolbarReset, this, &ToolbarPage::cancelEdit);
    connect(config, &Configuration::addOnCommandsChanged, this, &ToolbarPage::fillAddOnCommands);
}

ToolbarPage::~ToolbarPage()
{
    // The focus moves as the page's controls go: the page no longer follows it then.
    disconnect(qApp, nullptr, this, nullptr);
}

void ToolbarPage::buildPreview()
{
    m_preview->setObjectName(QStringLiteral("vbQTAToolbar"));
    m_preview->setAccessibleName(QStringLiteral("QTA toolbar preview"));
    m_preview->setPictureSize(16);
    m_preview->setFlat(false);
    m_preview->setImageLists(m_pictures->images());
    m_previewBinding = new PreviewToolbar(m_model, m_config->addOns(), m_preview, this);

    // A toolbar longer than the page scrolls sideways, its buttons whole.
    m_host->setObjectName(QStringLiteral("vbalTBarHost1"));
    m_host->setFrameShape(QFrame::NoFrame);
    m_host->setFocusPolicy(Qt::NoFocus); // the buttons take the focus, the strip around them does not
    m_host->setWidgetResizable(true);
    m_host->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_host->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_host->setWidget(m_preview);
    // The page's own colour behind the buttons, not the colour of a list.
    m_host->viewport()->setAutoFillBackground(false);
    m_preview->setAutoFillBackground(false);
    // Room for the scroll bar below the buttons, so it never covers them.
    m_host->setFixedHeight(m_preview->sizeHint().height()
                           + style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_host));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) { showFocusedButton(now); });

    connect(m_preview, &Toolbar::buttonClicked, this, &ToolbarPage::showButtonMenu);
    // The keyboard and drag requests of the preview do what the menu does.
    m_preview->setEditable(true);
    connect(m_preview, &Toolbar::buttonMenuRequested, this, &ToolbarPage::showButtonMenu);
    connect(m_preview, &Toolbar::buttonEditRequested, this, [this](int position) {
        if (storeEdit())
            beginEdit(position);
    });
    connect(m_preview, &Toolbar::buttonDeleteRequested, this, &ToolbarPage::deleteButton);
    connect(m_preview, &Toolbar::buttonMoveRequested, this, [this](int position, int step) {
        if (step < 0)
            moveButton(position, position - 1);
        else if (step > 0)
            moveButton(position, position + 1);
    });
    connect(m_preview, &Toolbar::buttonDropped, this, &ToolbarPage::dropButton);
}

QGroupBox *ToolbarPage::buildPanel()
{
    m_frame = new QGroupBox(QStringLiteral("Selected Button Info:"));
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_frame->setAccessibleName(QStringLiteral("Selected Button Info"));
    // Closed, the panel keeps its room: the page does not jump as it opens and closes.
    QSizePolicy keepRoom = m_frame->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    m_frame->setSizePolicy(keepRoom);
    m_frame->hide();

    m_tooltip = new QLineEdit;
    m_tooltip->setObjectName(QStringLiteral("txtTooltip"));
    m_commandNoAddOns = new QComboBox;
    m_commandNoAddOns->setObjectName(QStringLiteral("cmbboxCommandNoAddOns"));
    m_commandNoAddOns->addItem(ConfigFormat::none());
    m_commandNoAddOns->addItems(ConfigFormat::hostCommandWords());
    m_commandAddOns = new QComboBox;
    m_commandAddOns->setObjectName(QStringLiteral("cmbboxCommandAddOns"));
    m_picture = new PictureComboList;
    m_picture->setObjectName(QStringLiteral("cmbButtonBitmap"));
    m_picture->setImageList(m_pictures->images());
    m_picture->addItem(ConfigFormat::none(), 0);
    for (int i = 0; i < kBuiltInPictures; ++i)
        m_picture->addItem(QString::number(i), i);
    auto *browse = new QPushButton(QStringLiteral("..."));
    browse->setObjectName(QStringLiteral("cmdBrowseForBitmap"));
    browse->setAccessibleName(QStringLiteral("..."));
    browse->setAccessibleDescription(QStringLiteral("Browse for a bitmap file"));
    browse->setToolTip(QStringLiteral("Browse for a bitmap file"));
    browse->setFixedSize(m_picture->sizeHint().height(), m_picture->sizeHint().height());

    m_done = new QPushButton(QStringLiteral("&Done Editing"));
    m_done->setObjectName(QStringLiteral("cmdDone"));
    m_done->setAccessibleName(QStringLiteral("Done Editing"));
    m_done->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("&Cancel Edit"));
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAccessibleName(QStringLiteral("Cancel Edit"));
    // Room for the picture drawn beside the caption.
    for (QPushButton *button : { m_done, m_cancel })
        button->setMinimumWidth(button->sizeHint().width() + 24);
    fillAddOnCommands();
    layOutPanel(browse);

    connect(m_commandNoAddOns, &QComboBox::activated, this, [this](int item) {
        if (item >= 1)
            m_commandAddOns->setCurrentIndex(0);
    });
    connect(m_commandAddOns, &QComboBox::activated, this, [this](int item) {
        if (item >= 1)
            m_commandNoAddOns->setCurrentIndex(0);
    });
    connect(m_tooltip, &QLineEdit::textChanged, this, &ToolbarPage::editingChanged);
    connect(m_picture, &PictureComboList::selectionMade, this, &ToolbarPage::selectPicture);
    connect(browse, &QPushButton::clicked, this, &ToolbarPage::browseForBitmap);
    connect(m_done, &QPushButton::clicked, this, &ToolbarPage::commitEdit);
    connect(m_cancel, &QPushButton::clicked, this, &ToolbarPage::cancelEdit);
    m_frame->installEventFilter(this);
    return m_frame;
}

// A row for each control with its label to the left, then the panel's two buttons side by side.
void ToolbarPage::layOutPanel(QPushButton *browse)
{
    auto *rows = new QGridLayout;
    rows->setColumnStretch(1, 1);
    // The labels wrap at the width of their shortest line's words, as the design lays them out.
    const int labelWidth = fontMetrics().horizontalAdvance(QStringLiteral("Button Command: ")) + 4;
    auto addRow = [rows, labelWidth](QLabel *label, QWidget *control, int row) {
        label->setFixedWidth(labelWidth);
        rows->addWidget(label, row, 0);
        rows->addWidget(control, row, 1);
    };
    addRow(rowLabel(QStringLiteral("lblTooltip"), QStringLiteral("Button Tooltip:"), m_tooltip), m_tooltip, 0);
    addRow(rowLabel(QStringLiteral("lblCommandNoAddOns"), QStringLiteral("Button Command: (Non-AddOn)"),
                    m_commandNoAddOns),
           m_commandNoAddOns, 1);
    addRow(rowLabel(QStringLiteral("lblCommandAddOns"), QStringLiteral("Button Command: (RunAddOn*)"), m_commandAddOns),
           m_commandAddOns, 2);
    auto *picture = new QHBoxLayout;
    picture->addWidget(m_picture, 1);
    picture->addWidget(browse);
    auto *pictureLabel = rowLabel(QStringLiteral("lblButtonImage"), QStringLiteral("Button Image:"), m_picture);
    pictureLabel->setFixedWidth(labelWidth);
    rows->addWidget(pictureLabel, 3, 0);
    rows->addLayout(picture, 3, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_done);
    buttons->addSpacing(12);
    buttons->addWidget(m_cancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(m_frame);
    layout->addLayout(rows);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void ToolbarPage::fillAddOnCommands()
{
    // The shown command survives a refill, as an extra item when the new list lacks it.
    const QString shown = m_editPosition >= 0 ? commandOfSelection() : QString();
    m_commandAddOns->clear();
    m_commandAddOns->addItems(m_config->addOnCommands());
    if (m_editPosition >= 0)
        showCommand(shown);
    else
        m_commandAddOns->setCurrentIndex(0);
    sizeDropDownToItems(m_commandAddOns, this);
}

void ToolbarPage::showButtonMenu(int position)
{
    if (position < 0 || position >= m_model->count() || m_model->isSeparatorAt(position))
        return;
    const int count = m_model->count();
    QPoint at = QCursor::pos();
    // Opened from the keyboard the pointer may be anywhere: then the menu drops from the button.
    if (QWidget *button = m_preview->buttonWidget(position);
        button && !button->rect().contains(button->mapFromGlobal(at)))
        at = button->mapToGlobal(QPoint(0, button->height()));

    PopupMenu *menu = m_menus;
    menu->restore(QStringLiteral("Toolbar"));
    menu->setEnabled(menu->positionOfKey(kMoveLeft), position >= 1);
    menu->setEnabled(menu->positionOfKey(kMoveRight), position < count - 1);
    menu->setChecked(menu->positionOfKey(kNewGroup), m_model->isSeparatorAt(position - 1));
    const int chosen = menu->show(at);
    const QString key = menu->key(chosen);
    const bool grouped = menu->isChecked(menu->positionOfKey(kNewGroup));
    menu->clear();
    // Opening the panel on a button first stores what was changed for the button before, as "Done Editing" would:
    // typing is never dropped unasked. A change the user goes back to correct keeps the panel where it is.
    if ((key == kAddButton || key == kEditButton) && !storeEdit())
        return;

    if (key == kAddButton) {
        addButton(position);
    } else if (key == kDeleteButton) {
        deleteButton(position);
    } else if (key == kMoveLeft) {
        moveButton(position, position - 1);
    } else if (key == kMoveRight) {
        moveButton(position, position + 1);
    } else if (key == kEditButton) {
        beginEdit(position);
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

void ToolbarPage::change(const QString &text, const std::function<void(ToolbarChange &)> &steps)
{
    auto *toolbar = new ToolbarChange(m_config, text);
    steps(*toolbar);
    pushChange(m_undoStack, toolbar);
}

void ToolbarPage::addButton(int position)
{
    // A name no other button has: two buttons of one name would be one line of the file.
    QString name = QStringLiteral("New Button");
    for (int number = 2; m_model->indexOfKey(name) >= 0; ++number)
        name = QStringLiteral("New Button %1").arg(number);
    const ToolbarButtonEntry button { name, ConfigFormat::none(), 0, false };
    change(QStringLiteral("Add a new Button"),
           [position, button](ToolbarChange &toolbar) { toolbar.insert(position, button); });
    beginEdit(position);
}

void ToolbarPage::deleteButton(int position)
{
    if (position < 0 || position >= m_model->count() || m_model->isSeparatorAt(position))
        return;
    change(QStringLiteral("Delete Button"), [position](ToolbarChange &toolbar) { toolbar.remove(position); });
}

// A button moves over its neighbour; over a separator, the separator takes the button's old place and a name
// from that place.
void ToolbarPage::moveButton(int position, int to)
{
    if (position < 0 || to < 0 || position >= m_model->count() || to >= m_model->count()
        || m_model->isSeparatorAt(position))
        return;
    const QString text
        = to < position ? QStringLiteral("Move Button to the Left") : QStringLiteral("Move Button to the Right");
    change(text, [this, position, to](ToolbarChange &toolbar) {
        const bool overSeparator = m_model->isSeparatorAt(to);
        toolbar.move(position, to);
        if (overSeparator) {
            ToolbarButtonEntry separator = m_model->at(position);
            separator.tooltip = freeSeparatorKey(position + 1, position);
            toolbar.replace(position, separator);
        }
    });
}

// A drag carries the entry to its new place in one move; a separator carried so gets a name from that place,
// the entries it passes keep theirs.
void ToolbarPage::dropButton(int from, int to)
{
    if (from < 0 || to < 0 || from >= m_model->count() || to >= m_model->count() || from == to)
        return;
    const bool separator = m_model->isSeparatorAt(from);
    change(separator ? QStringLiteral("Move Group Separator") : QStringLiteral("Move Button"),
           [this, from, to, separator](ToolbarChange &toolbar) {
               toolbar.move(from, to);
               if (separator) {
                   ToolbarButtonEntry moved = m_model->at(to);
                   moved.tooltip = freeSeparatorKey(to + 1, to);
                   toolbar.replace(to, moved);
               }
           });
}

// "space" + number, or the next number no other entry uses as its key: equal keys would collapse into one line
// of the file.
QString ToolbarPage::freeSeparatorKey(int number, int except) const
{
    QString key = ConfigFormat::separatorKey(number);
    while (m_model->indexOfKey(key, except) >= 0)
        key = ConfigFormat::separatorKey(++number);
    return key;
}

void ToolbarPage::beginEdit(int position)
{
    if (position < 0 || position >= m_model->count() || m_model->isSeparatorAt(position))
        return;
    const ToolbarButtonEntry &entry = m_model->at(position);
    // Bitmap items and kept commands belong to the edit before.
    trimItems(m_picture, kFixedPictureItems);
    trimItems(m_commandNoAddOns, 1 + int(ConfigFormat::hostCommandWords().size()));
    trimItems(m_commandAddOns, int(m_config->addOnCommands().size()));
    m_editPosition = position;
    m_frame->show();
    m_tooltip->setText(entry.tooltip);
    showCommand(entry.command);
    showPicture(entry.imageIndex);
    m_tooltip->setFocus();
    m_tooltip->selectAll();
    Q_EMIT editingChanged();
}

void ToolbarPage::showCommand(const QString &command)
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

void ToolbarPage::showPicture(int imageIndex)
{
    if (imageIndex < 0) {
        selectPicture(0);
    } else if (imageIndex < kBuiltInPictures) {
        selectPicture(imageIndex + 1);
    } else {
        // A bitmap file's picture, under its key; a picture number the list lacks keeps its number.
        QString key = m_config->images()->keyAt(imageIndex);
        if (key.isEmpty())
            key = QString::number(imageIndex);
        selectPicture(m_picture->addItem(key, imageIndex));
    }
}

void ToolbarPage::selectPicture(int item)
{
    m_picture->setSelectedPosition(item);
    m_picture->setToolTip(m_picture->itemText(item));
}

int ToolbarPage::pictureOfSelection() const
{
    const int item = m_picture->selectedPosition();
    if (item <= 0)
        return -1;
    return item < kFixedPictureItems ? item - 1 : m_picture->itemPicture(item);
}

QString ToolbarPage::commandOfSelection() const
{
    return m_commandAddOns->currentIndex() >= 1 ? m_commandAddOns->currentText() : m_commandNoAddOns->currentText();
}

void ToolbarPage::commitEdit()
{
    if (m_editPosition < 0)
        return;
    ToolbarButtonEntry edited = m_model->at(m_editPosition);
    edited.tooltip = m_tooltip->text();
    edited.imageIndex = pictureOfSelection();
    edited.command = commandOfSelection();
    if (!confirmUnsavable(edited) || m_editPosition < 0)
        return;
    const int position = m_editPosition;
    endEdit();
    change(QStringLiteral("Edit Button"),
           [position, edited](ToolbarChange &toolbar) { toolbar.replace(position, edited); });
}

// Position of another button with this key, or -1. Separators do not count (a save gives them free names),
// nor do nameless buttons (each keeps its own line).
int ToolbarPage::otherButtonNamed(const QString &tooltip) const
{
    if (IniRules::matchKey(tooltip).isEmpty())
        return -1;
    for (int position = 0; position < m_model->count(); ++position) {
        const ToolbarButtonEntry &entry = m_model->at(position);
        if (position != m_editPosition && !entry.isSeparator && IniRules::sameKey(entry.tooltip, tooltip))
            return position;
    }
    return -1;
}

// The tooltip is the button's key in the file and the command sits before the "|" of its line: say what
// saving would do with values that do not fit, and let the user go back to them.
bool ToolbarPage::confirmUnsavable(const ToolbarButtonEntry &edited)
{
    QStringList problems;
    QWidget *back = nullptr;
    const QString keyProblem = iniKeyProblem(edited.tooltip);
    if (!keyProblem.isEmpty()) {
        problems.append(QStringLiteral("The tooltip \"%1\" cannot be saved as the button's name in QTA.INI: %2. "
                                       "Saving will be refused until it is changed.")
                            .arg(edited.tooltip, keyProblem));
        back = m_tooltip;
    } else if (const int other = otherButtonNamed(edited.tooltip); other >= 0) {
        problems.append(QStringLiteral("Button %1 already has the tooltip \"%2\". The tooltip is the button's name "
                                       "in QTA.INI: on saving, the two lines collapse into one and one of the "
                                       "two buttons is lost.")
                            .arg(other + 1)
                            .arg(m_model->at(other).tooltip));
        back = m_tooltip;
    }
    if (edited.command.contains(u'|')) {
        problems.append(QStringLiteral("The command \"%1\" holds \"|\", which a button's line in QTA.INI cannot hold. "
                                       "Saving will be refused until it is changed.")
                            .arg(edited.command));
        if (!back)
            back = m_commandAddOns->currentIndex() >= 1 ? m_commandAddOns : m_commandNoAddOns;
    }
    if (problems.isEmpty())
        return true;
    problems.append(QStringLiteral("Keep it anyway?"));
    const QMessageBox::StandardButton answer
        = MessageBox::show(this, QMessageBox::Warning, programCaption(), problems.join(QStringLiteral("\n\n")),
                           QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer == QMessageBox::Yes)
        return true;
    back->setFocus();
    if (back == m_tooltip)
        m_tooltip->selectAll();
    return false;
}

bool ToolbarPage::storeEdit()
{
    commitEdit();
    return !isEditing();
}

void ToolbarPage::keepKeyboardPlace(const std::function<void()> &step)
{
    const int focused = m_preview->focusedButton();
    step();
    if (focused < 0 || m_preview->isAncestorOf(QApplication::focusWidget()))
        return;
    for (int position = qMin(focused, m_preview->buttonCount() - 1); position >= 0; --position) {
        if (!m_preview->isSeparator(position)) {
            m_preview->focusButton(position);
            return;
        }
    }
}

void ToolbarPage::showFocusedButton(QWidget *focused)
{
    if (focused && focused != m_preview && m_preview->isAncestorOf(focused))
        m_host->ensureWidgetVisible(focused, 0, 0);
}

void ToolbarPage::cancelEdit()
{
    if (m_editPosition >= 0)
        endEdit();
}

void ToolbarPage::endEdit()
{
    const bool focusInPanel = m_frame->isAncestorOf(QApplication::focusWidget());
    const int position = m_editPosition;
    m_editPosition = -1;
    m_frame->hide();
    // The keyboard user carries on from the button just edited.
    if (QWidget *button = m_preview->buttonWidget(position); button && focusInPanel)
        button->setFocus();
    Q_EMIT editingChanged();
}

void ToolbarPage::browseForBitmap()
{
    QPointer<frmDialog> picker = new frmDialog(this);
    picker->setPicturePreview(true);
    FileDialog *dialog = picker->fileDialog();
    dialog->setFileName(QString());
    dialog->setFilter(QStringLiteral("Windows Bitmaps (*.bmp)|*.bmp"));
    dialog->setFilterIndex(1);
    dialog->setDefaultExtension(QStringLiteral("bmp"));
    dialog->setFlags(kBitmapDialogFlags);
    dialog->setInitialDir(m_folders.bitmaps);
    dialog->showOpen();
    if (!picker)
        return;
    const QString file = dialog->fileName();
    delete picker;
    if (file.isEmpty())
        return;

    QString why;
    if (ImageList::readPicture(file, QSize(16, 16), kTransparent, &why).isNull()) {
        MessageBox::show(this, QMessageBox::Warning, programCaption(),
                         QStringLiteral("\"%1\" cannot be a button's picture: %2. The picture stays as it was.")
                             .arg(QDir::toNativeSeparators(file), why));
        return;
    }
    // Without a short form the full path still finds the picture again.
    QString key = shortPathName(file);
    if (key.isEmpty())
        key = file;
    ButtonImageList *images = m_config->images();
    int index = images->indexOfKey(key);
    if (index < 0)
        index = images->add(ButtonImageEntry { key, file, false });
    selectPicture(m_picture->addItem(key, index));
}

void ToolbarPage::followInsert(int position)
{
    if (m_editPosition >= 0 && position <= m_editPosition)
        ++m_editPosition;
}

void ToolbarPage::followRemove(int position)
{
    if (position == m_editPosition)
        cancelEdit();
    else if (m_editPosition >= 0 && position < m_editPosition)
        --m_editPosition;
}

void ToolbarPage::followMove(int from, int to)
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

bool ToolbarPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    // Keys no control of the panel took: Enter presses the focused button, else "&Done Editing"; Escape
    // means "&Cancel Edit".
    if (watched == m_frame && (enter || key == Qt::Key_Escape)) {
        auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget());
        (key == Qt::Key_Escape ? m_cancel : focused ? focused : m_done)->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
