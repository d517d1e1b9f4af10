#include "addonspage.h"

#include "addonlistmodel.h"
#include "addonnamemarks.h"
#include "dropdownwidth.h"
#include "filedialog.h"
#include "folders.h"
#include "frmdialog.h"
#include "grid.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "tooltiptext.h"
#include "undocommands.h"

#include <QApplication>
#include <QBoxLayout>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <utility>

namespace {

constexpr int kNameColumn = 1;
constexpr int kCommandLineColumn = 2;
constexpr int kParametersColumn = 3;

constexpr int kMoveUp = 1;
constexpr int kMoveDown = 2;

// OFN_LONGNAMES | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY
constexpr int kProgramDialogFlags = 0x281004;

// What the user undoes after changing a cell of each column.
QString cellChangeText(int column)
{
    switch (column) {
    case kNameColumn:
        return QStringLiteral("Rename Add-On");
    case kCommandLineColumn:
        return QStringLiteral("Change Add-On Command Line");
    default:
        return QStringLiteral("Change Add-On Parameters");
    }
}

// The page's longest line of text, in pixels, as the design laid it out.
constexpr int kLongestLineDesignWidth = 451;

QLabel *label(const QString &name, const QString &text)
{
    auto *label = new QLabel(text);
    label->setObjectName(name);
    return label;
}

} // namespace

AddOnsPage::AddOnsPage(AddOnListModel *addOns, QUndoStack *undoStack, PopupMenu *menus, const Folders &folders,
                       QWidget *parent)
    : QWidget(parent)
    , m_model(addOns)
    , m_undoStack(undoStack)
    , m_menus(menus)
    , m_folders(folders)
    , m_grid(new Grid)
    , m_add(new QPushButton(QStringLiteral("New Add-On")))
    , m_kill(new QPushButton(QStringLiteral("Delete Add-On")))
{
    setObjectName(QStringLiteral("picTab(1)"));
    layOutPage();
    buildEditors();
    m_marks = new AddOnNameMarks(this);
    m_grid->setItemDelegateForColumn(kNameColumn - 1, m_marks);
    connectControls();
    updateNameMarks();
}

void AddOnsPage::layOutPage()
{
    auto *heading
        = label(QStringLiteral("Label9"), QStringLiteral("This is a list of the Add-ons found on the QTA.INI file:"));
    auto *moveHint = label(
        QStringLiteral("Label10"),
        QStringLiteral("To move an Add-On up or down, right click the Add-On and select the action from the menu"));
    auto *editHint = label(
        QStringLiteral("Label11"),
        QStringLiteral(
            "Edit the fields by selecting the field you want to edit and then clicking it again with the left button"));
    auto *keysHint
        = label(QStringLiteral("Label12"), QStringLiteral("Press Enter when done editing or Escape to cancel"));

    m_grid->setObjectName(QStringLiteral("grdAddOnsList"));
    m_grid->setAccessibleName(QStringLiteral("Add-ons"));
    m_grid->setAddOnModel(m_model);
    // The columns keep the design's share of the page's longest line, which grows with the font.
    const double scale = qMax(1.0, editHint->sizeHint().width() / double(kLongestLineDesignWidth));
    m_grid->addColumn(QString(), QStringLiteral("Add-On Name"), qRound(146 * scale));
    m_grid->addColumn(QString(), QStringLiteral("Command Line"), qRound(236 * scale));
    m_grid->addColumn(QString(), QStringLiteral("Parameters"), qRound(79 * scale));
    m_grid->setMinimumHeight(qRound(164 * scale));
    m_add->setObjectName(QStringLiteral("cmdAddAddOn"));
    m_kill->setObjectName(QStringLiteral("cmdKillAddOn"));
    for (QPushButton *button : { m_add, m_kill })
        button->setMinimumSize(qRound(81 * scale), qRound(25 * scale));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_add);
    buttons->addSpacing(qRound(15 * scale));
    buttons->addWidget(m_kill);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 10, 0, 0);
    layout->setSpacing(5);
    layout->addWidget(heading);
    layout->addWidget(m_grid);
    layout->addWidget(moveHint);
    layout->addWidget(editHint);
    layout->addWidget(keysHint);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    layout->addStretch();
}

// The in-place editors float over the cell they edit, outside the layout.
void AddOnsPage::buildEditors()
{
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("txtAddOnName"));
    m_name->setAccessibleName(QStringLiteral("Add-on name"));
    m_name->hide();

    m_command = new QFrame(this);
    m_command->setObjectName(QStringLiteral("fraCommand"));
    m_command->setAccessibleName(QStringLiteral("Command line editor"));
    m_command->setFrameShape(QFrame::NoFrame);
    m_command->hide();
    m_path = new QLineEdit(m_command);
    m_path->setObjectName(QStringLiteral("txtAddOnPath"));
    m_path->setAccessibleName(QStringLiteral("Command line"));
    m_browse = new QPushButton(QStringLiteral("..."), m_command);
    m_browse->setObjectName(QStringLiteral("cmdBrowseForExe"));
    m_browse->setAccessibleName(QStringLiteral("Browse for the add-on program"));
    m_browse->setToolTip(m_browse->accessibleName());
    m_browse->setAutoDefault(false);

    m_parameters = new QComboBox(this);
    m_parameters->setObjectName(QStringLiteral("cmbboxAddOnParameters"));
    m_parameters->setAccessibleName(QStringLiteral("Parameters"));
    m_parameters->addItems(ConfigFormat::parameterChoices());
    m_parameters->hide();
    // Sized as the column it edits, so the list is measured against the width it will have.
    m_parameters->resize(m_grid->columnWidth(kParametersColumn - 1), m_parameters->sizeHint().height());
    sizeDropDownToItems(m_parameters, this);

    const QList<QObject *> watched = { m_name, m_path, m_browse, m_parameters, m_grid };
    for (QObject *object : watched)
        object->installEventFilter(this);
}

void AddOnsPage::connectControls()
{
    connect(m_grid, &Grid::editRequested, this, &AddOnsPage::beginEdit);
    connect(m_grid, &Grid::editingEnded, this, &AddOnsPage::endEdit);
    connect(m_grid, &Grid::gridNotice, this, &AddOnsPage::handleGridNotice);
    connect(m_grid, &Grid::pointerMoved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPoint pos) { showTooltip(pos); });
    connect(m_grid, &Grid::pointerButton, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint pos) { handlePointerButton(buttons, pos); });
    connect(m_grid, &Grid::currentCellChanged, this, &AddOnsPage::updateDeleteButton);
    connect(m_grid, &Grid::rowMoveRequested, this, [this](int row, int step) {
        if (step < 0)
            moveUp(row);
        else if (step > 0)
            moveDown(row);
    });
    connect(m_grid, &Grid::rowDropped, this, &AddOnsPage::dropAddOn);
    connect(m_parameters, &QComboBox::activated, this, [this](int index) {
        if (!std::exchange(m_movingInParameters, false))
            commitEdit(m_parameters->itemText(index));
    });
    connect(m_name, &QLineEdit::textChanged, this, &AddOnsPage::editingChanged);
    connect(m_path, &QLineEdit::textChanged, this, &AddOnsPage::editingChanged);
    connect(m_browse, &QPushButton::clicked, this, &AddOnsPage::browseForProgram);
    connect(m_add, &QPushButton::clicked, this, &AddOnsPage::appendNewAddOn);
    connect(m_kill, &QPushButton::clicked, this, &AddOnsPage::deleteCurrentAddOn);

    connect(m_model, &QAbstractItemModel::dataChanged, this, &AddOnsPage::updateNameMarks);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &AddOnsPage::updateNameMarks);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &AddOnsPage::updateNameMarks);
    connect(m_model, &QAbstractItemModel::rowsMoved, this, &AddOnsPage::updateNameMarks);
    connect(m_model, &QAbstractItemModel::modelReset, this, &AddOnsPage::updateNameMarks);
}

bool AddOnsPage::isEditing() const
{
    return !m_name->isHidden() || !m_command->isHidden() || !m_parameters->isHidden();
}

void AddOnsPage::storeEdit()
{
    if (!m_name->isHidden())
        commitEdit(m_name->text());
    else if (!m_command->isHidden())
        commitEdit(m_path->text());
    else if (!m_parameters->isHidden())
        commitEdit(m_parameters->currentText());
}

void AddOnsPage::beginEdit(int row, int column)
{
    hideEditors();
    QWidget *page = m_grid->parentWidget();
    // Kept inside the grid's visible area, so a cell cut off at the edge still shows the whole editor.
    const QRect visible(m_grid->viewport()->mapTo(page, QPoint(0, 0)), m_grid->viewport()->size());
    const QRect cell = m_grid->cellRectangle(row, column) & visible;
    if (cell.isEmpty())
        return;
    const QString text = m_grid->cellContent(row, column);

    switch (column) {
    case kNameColumn:
        m_name->setGeometry(cell);
        m_name->setText(text);
        m_name->setToolTip(text);
        m_name->selectAll();
        m_name->show();
        m_name->raise();
        m_name->setFocus(Qt::OtherFocusReason);
        break;
    case kCommandLineColumn: {
        m_command->setGeometry(cell);
        const int buttonWidth = cell.height();
        m_path->setGeometry(0, 0, cell.width() - buttonWidth - 2, cell.height());
        m_browse->setGeometry(cell.width() - buttonWidth, 0, buttonWidth, cell.height());
        m_path->setText(text);
        m_path->setToolTip(text);
        m_path->selectAll();
        m_command->show();
        m_command->raise();
        m_path->setFocus(Qt::OtherFocusReason);
        break;
    }
    case kParametersColumn:
        m_parameters->setGeometry(cell.left(), cell.top(), cell.width(), m_parameters->sizeHint().height());
        // The last column takes the width the window leaves, so the list is measured against the cell of now.
        sizeDropDownToItems(m_parameters, this);
        m_parameters->setCurrentIndex(m_parameters->findText(text));
        m_parameters->setToolTip(text);
        m_parameters->show();
        m_parameters->raise();
        m_parameters->setFocus(Qt::OtherFocusReason);
        break;
    default:
        break;
    }
    Q_EMIT editingChanged();
}

void AddOnsPage::commitEdit(const QString &text)
{
    // Only into the cell of an edit still open: the grid ends an edit whose cell moved away.
    if (m_grid->isEditing())
        setCurrentCell(text);
    m_grid->finishEditing();
    endEdit();
}

void AddOnsPage::setCurrentCell(const QString &text)
{
    const int row = m_grid->currentRow();
    const int column = m_grid->currentColumn();
    if (row < 1 || row > m_grid->rowCount() || column < kNameColumn || column > kParametersColumn)
        return;
    change(cellChangeText(column), [&](AddOnChange &list) { list.setCell(row - 1, column - 1, text); });
}

void AddOnsPage::change(const QString &text, const std::function<void(AddOnChange &)> &steps)
{
    auto *list = new AddOnChange(m_model, text);
    steps(*list);
    pushChange(m_undoStack, list);
}

void AddOnsPage::showFirstRow()
{
    if (m_grid->rowCount() >= 1)
        m_grid->setCurrentRow(1);
    else
        m_kill->setEnabled(false);
}

void AddOnsPage::cancelEdit()
{
    m_grid->finishEditing();
    endEdit();
}

void AddOnsPage::endEdit()
{
    // The keyboard stays with the list, so the next cell can be reached and edited without the mouse.
    const QWidget *focus = QApplication::focusWidget();
    if (focus && (focus == m_name || focus == m_parameters || m_command->isAncestorOf(focus)))
        m_grid->setFocus(Qt::OtherFocusReason);
    hideEditors();
}

void AddOnsPage::hideEditors()
{
    const bool wasEditing = isEditing();
    m_name->hide();
    m_command->hide();
    m_parameters->hide();
    if (wasEditing)
        Q_EMIT editingChanged();
}

void AddOnsPage::handleGridNotice()
{
    if (!m_command->isHidden() || !m_parameters->isHidden())
        cancelEdit();
}

void AddOnsPage::showTooltip(QPoint pos)
{
    const auto [row, column] = m_grid->hitTest(pos);
    QString text = m_grid->cellContent(row, column);
    const QString warning = column == kNameColumn ? nameWarning(row) : QString();
    if (!warning.isEmpty())
        text = tooltipText(text.isEmpty() ? warning : text + u'\n' + warning);
    if (m_grid->toolTip() != text)
        m_grid->setToolTip(text);
}

void AddOnsPage::handlePointerButton(Qt::MouseButtons buttons, QPoint pos)
{
    if (!(buttons & Qt::RightButton))
        return;
    cancelEdit();
    const int row = m_grid->hitTest(pos).first;
    if (row >= 1)
        showMoveMenu(row, m_grid->viewport()->mapToGlobal(pos));
}

void AddOnsPage::showMoveMenu(int row, QPoint globalPos)
{
    PopupMenu *menu = m_menus;
    menu->restore(QStringLiteral("Addons"));
    if (row == 1)
        menu->setEnabled(kMoveUp, false);
    if (row == m_grid->rowCount())
        menu->setEnabled(kMoveDown, false);
    const QPointer<AddOnsPage> self(this);
    const int chosen = menu->show(globalPos);
    if (!self)
        return;
    if (chosen == kMoveUp)
        moveUp(row);
    else if (chosen == kMoveDown)
        moveDown(row);
}

// One move of the model row: the current cell stays with its add-on, and the user sees a single change.
void AddOnsPage::moveUp(int row)
{
    if (row < 2 || row > m_grid->rowCount())
        return;
    change(QStringLiteral("Move Add-On Up"), [row](AddOnChange &list) { list.move(row - 1, row - 2); });
}

void AddOnsPage::moveDown(int row)
{
    if (row < 1 || row >= m_grid->rowCount())
        return;
    change(QStringLiteral("Move Add-On Down"), [row](AddOnChange &list) { list.move(row - 1, row); });
}

void AddOnsPage::dropAddOn(int from, int to)
{
    const int count = m_grid->rowCount();
    if (from < 1 || to < 1 || from > count || to > count || from == to)
        return;
    change(QStringLiteral("Move Add-On"), [from, to](AddOnChange &list) { list.move(from - 1, to - 1); });
}

void AddOnsPage::appendNewAddOn()
{
    if (m_grid->rowCount() == 0)
        m_kill->setEnabled(true);
    const AddOnEntry entry { QStringLiteral("New Add-On"), QString(), ConfigFormat::none() };
    const int row = m_grid->rowCount();
    change(QStringLiteral("New Add-On"), [row, &entry](AddOnChange &list) { list.insert(row, entry); });
    m_grid->setCurrentRow(m_grid->rowCount());
}

void AddOnsPage::deleteCurrentAddOn()
{
    const int row = m_grid->currentRow();
    if (row >= 1 && row <= m_grid->rowCount())
        change(QStringLiteral("Delete Add-On"), [row](AddOnChange &list) { list.remove(row - 1); });
    if (m_grid->currentRow() > m_grid->rowCount() || m_grid->rowCount() == 0)
        m_kill->setEnabled(false);
}

void AddOnsPage::updateDeleteButton()
{
    const int row = m_grid->currentRow();
    m_kill->setEnabled(row >= 1 && row <= m_grid->rowCount());
}

void AddOnsPage::browseForProgram()
{
    auto *picker = new frmDialog(this);
    FileDialog *dialog = picker->fileDialog();
    dialog->setFileName(QString());
    dialog->setFlags(kProgramDialogFlags);
    dialog->setFilter(QStringLiteral("Windows Executables (*.exe)|*.exe"));
    dialog->setFilterIndex(1);
    dialog->setDefaultExtension(QStringLiteral("exe"));
    dialog->setInitialDir(m_folders.addOns);

    const QPointer<AddOnsPage> self(this);
    const QPointer<frmDialog> guard(picker);
    dialog->showOpen();
    if (!self || !guard)
        return;
    const QString chosen = dialog->fileName();
    delete picker;

    if (!chosen.isEmpty() && m_grid->isEditing()) {
        QString path = shortPathName(chosen);
        // Without a short form the full path still names the program; an empty cell would lose it.
        if (path.isEmpty())
            path = chosen;
        setCurrentCell(path);
    }
    m_grid->finishEditing();
    hideEditors();
    m_grid->setFocus(Qt::OtherFocusReason);
}

QString AddOnsPage::nameWarning(int row) const
{
    return m_marks->warning(row - 1);
}

void AddOnsPage::updateNameMarks()
{
    const QStringList warnings = addOnNameWarnings(m_model->entries());
    m_marks->setWarnings(warnings);
    // Read out by assistive tools, which do not see the drawn sign.
    QStringList description;
    for (int row = 0; row < warnings.size(); ++row) {
        if (!warnings[row].isEmpty())
            description.append(QStringLiteral("Row %1: %2").arg(row + 1).arg(warnings[row]));
    }
    m_grid->setAccessibleDescription(description.join(u'\n'));
    m_grid->viewport()->update();
}

bool AddOnsPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_parameters)
        m_movingInParameters = false;
    if (event->type() == QEvent::KeyPress) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if ((watched == m_name || watched == m_path) && enter) {
            commitEdit(static_cast<QLineEdit *>(watched)->text());
            return true;
        }
        if (watched == m_parameters && enter) {
            commitEdit(m_parameters->currentText());
            return true;
        }
        // Arrows and letters move through the closed list as the page promises; Enter picks. The keys that open
        // the list keep their meaning.
        const bool opens = key == Qt::Key_F4 || key == Qt::Key_Space
            || ((key == Qt::Key_Down || key == Qt::Key_Up) && keyEvent->modifiers() & Qt::AltModifier);
        if (watched == m_parameters && key != Qt::Key_Escape && key != Qt::Key_Tab && key != Qt::Key_Backtab && !opens)
            m_movingInParameters = true;
        // The page's own words promise Escape cancels, wherever the edit's focus is.
        if ((watched == m_name || watched == m_path || watched == m_browse || watched == m_parameters)
            && key == Qt::Key_Escape) {
            cancelEdit();
            return true;
        }
    } else if (event->type() == QEvent::Wheel && watched == m_parameters) {
        m_movingInParameters = true;
    } else if (event->type() == QEvent::FocusOut) {
        // Opening a list or a menu (the keyboard moves into it), or another window becoming active, is not
        // leaving the editor.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool left = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && !QApplication::activePopupWidget();
        if (left && watched == m_name && !m_name->isHidden()) {
            cancelEdit();
        } else if (left && watched == m_parameters && !m_parameters->isHidden()) {
            cancelEdit();
            m_parameters->hide();
        }
    } else if (event->type() == QEvent::ContextMenu && watched == m_grid
               && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The menu key opens the move menu for the current row, as a right click does for the row under the pointer.
        const int row = m_grid->currentRow();
        if (row >= 1) {
            cancelEdit();
            const QRect cell = m_grid->cellRectangle(row, qMax(1, m_grid->currentColumn()));
            showMoveMenu(row, m_grid->parentWidget()->mapToGlobal(cell.bottomLeft()));
        }
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
