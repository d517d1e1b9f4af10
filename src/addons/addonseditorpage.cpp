#include "addonseditorpage.h"

#include "addonlistmodel.h"
#include "addonnamemarks.h"
#include "dropdownwidth.h"
#include "filedialog.h"
#include "frmdialog.h"
#include "frmeditor.h"
#include "grid.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "tooltiptext.h"
#include "undocommands.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QKeyEvent>
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

} // namespace

AddOnsEditorPage::AddOnsEditorPage(frmEditor *editor)
    : QObject(editor)
    , m_editor(editor)
    , m_grid(editor->addOnsGrid())
{
    QWidget *page = editor->panel(frmEditor::AddOnsTab);

    m_name = new QLineEdit(page);
    m_name->setObjectName(QStringLiteral("txtAddOnName"));
    m_name->setAccessibleName(QStringLiteral("Add-on name"));
    m_name->hide();

    m_command = new QFrame(page);
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

    m_parameters = new QComboBox(page);
    m_parameters->setObjectName(QStringLiteral("cmbboxAddOnParameters"));
    m_parameters->setAccessibleName(QStringLiteral("Parameters"));
    m_parameters->addItems(ConfigFormat::parameterChoices());
    m_parameters->hide();
    // Sized as the column it edits, so the list is measured against the width it will have.
    m_parameters->resize(m_grid->columnWidth(kParametersColumn - 1), m_parameters->sizeHint().height());
    SizeDropDownToItems(m_parameters, editor);

    const QList<QObject *> watched = { m_name, m_path, m_browse, m_parameters, m_grid };
    for (QObject *object : watched)
        object->installEventFilter(this);

    m_marks = new AddOnNameMarks(this);
    m_grid->setItemDelegateForColumn(kNameColumn - 1, m_marks);

    connect(m_grid, &Grid::EditRequested, this, &AddOnsEditorPage::beginEdit);
    connect(m_grid, &Grid::EditingEnded, this, &AddOnsEditorPage::endEdit);
    connect(m_grid, &Grid::GridNotice, this, &AddOnsEditorPage::handleGridNotice);
    connect(m_grid, &Grid::PointerMoved, this,
            [this](Qt::MouseButtons, Qt::KeyboardModifiers, QPoint pos) { showTooltip(pos); });
    connect(m_grid, &Grid::PointerButton, this,
            [this](Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint pos) { handlePointerButton(buttons, pos); });
    connect(m_grid, &Grid::CurrentCellChanged, this, &AddOnsEditorPage::updateDeleteButton);
    connect(m_grid, &Grid::rowMoveRequested, this, [this](int row, int step) {
        if (step < 0)
            MoveAddOnUp(row);
        else if (step > 0)
            MoveAddOnDown(row);
    });
    connect(m_grid, &Grid::rowDropped, this, &AddOnsEditorPage::dropAddOn);
    connect(m_parameters, &QComboBox::activated, this, [this](int index) {
        if (!std::exchange(m_movingInParameters, false))
            CommitAddOnEdit(m_parameters->itemText(index));
    });
    connect(m_browse, &QPushButton::clicked, this, &AddOnsEditorPage::BrowseAddOnExecutable);
    connect(editor->addAddOnButton(), &QPushButton::clicked, this, &AddOnsEditorPage::AppendNewAddOn);
    connect(editor->deleteAddOnButton(), &QPushButton::clicked, this, &AddOnsEditorPage::DeleteCurrentAddOn);

    AddOnListModel *model = m_grid->addOnModel();
    connect(model, &QAbstractItemModel::dataChanged, this, &AddOnsEditorPage::updateNameMarks);
    connect(model, &QAbstractItemModel::rowsInserted, this, &AddOnsEditorPage::updateNameMarks);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &AddOnsEditorPage::updateNameMarks);
    connect(model, &QAbstractItemModel::rowsMoved, this, &AddOnsEditorPage::updateNameMarks);
    connect(model, &QAbstractItemModel::modelReset, this, &AddOnsEditorPage::updateNameMarks);
    updateNameMarks();
}

bool AddOnsEditorPage::isEditing() const
{
    return !m_name->isHidden() || !m_command->isHidden() || !m_parameters->isHidden();
}

void AddOnsEditorPage::commitOpenEdit()
{
    if (!m_name->isHidden())
        CommitAddOnEdit(m_name->text());
    else if (!m_command->isHidden())
        CommitAddOnEdit(m_path->text());
    else if (!m_parameters->isHidden())
        CommitAddOnEdit(m_parameters->currentText());
}

void AddOnsEditorPage::beginEdit(int row, int column)
{
    hideEditors();
    QWidget *page = m_grid->parentWidget();
    // Kept inside the grid's visible area, so a cell cut off at the edge still shows the whole editor.
    const QRect visible(m_grid->viewport()->mapTo(page, QPoint(0, 0)), m_grid->viewport()->size());
    const QRect cell = m_grid->CellRectangle(row, column) & visible;
    if (cell.isEmpty())
        return;
    const QString text = m_grid->CellContent(row, column);

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
        SizeDropDownToItems(m_parameters, m_editor);
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

void AddOnsEditorPage::CommitAddOnEdit(const QString &text)
{
    // Only into the cell of an edit still open: the grid ends an edit whose cell moved away.
    if (m_grid->isEditing())
        setCurrentCell(text);
    m_grid->FinishEditing();
    endEdit();
}

void AddOnsEditorPage::setCurrentCell(const QString &text)
{
    const int row = m_grid->CurrentRow();
    const int column = m_grid->CurrentColumn();
    if (row < 1 || row > m_grid->RowCount() || column < kNameColumn || column > kParametersColumn)
        return;
    change(cellChangeText(column), [&](AddOnChange &list) { list.setCell(row - 1, column - 1, text); });
}

void AddOnsEditorPage::change(const QString &text, const std::function<void(AddOnChange &)> &steps)
{
    auto *list = new AddOnChange(m_grid, text);
    steps(*list);
    pushChange(m_editor->undoStack(), list);
}

void AddOnsEditorPage::CancelAddOnEdit()
{
    m_grid->FinishEditing();
    endEdit();
}

void AddOnsEditorPage::endEdit()
{
    // The keyboard stays with the list, so the next cell can be reached and edited without the mouse.
    const QWidget *focus = QApplication::focusWidget();
    if (focus && (focus == m_name || focus == m_parameters || m_command->isAncestorOf(focus)))
        m_grid->setFocus(Qt::OtherFocusReason);
    hideEditors();
}

void AddOnsEditorPage::hideEditors()
{
    const bool wasEditing = isEditing();
    m_name->hide();
    m_command->hide();
    m_parameters->hide();
    if (wasEditing)
        Q_EMIT editingChanged();
}

void AddOnsEditorPage::handleGridNotice()
{
    if (!m_command->isHidden() || !m_parameters->isHidden())
        CancelAddOnEdit();
}

void AddOnsEditorPage::showTooltip(QPoint pos)
{
    const auto [row, column] = m_grid->HitTest(pos);
    QString text = m_grid->CellContent(row, column);
    const QString warning = column == kNameColumn ? nameWarning(row) : QString();
    if (!warning.isEmpty())
        text = tooltipText(text.isEmpty() ? warning : text + u'\n' + warning);
    if (m_grid->toolTip() != text)
        m_grid->setToolTip(text);
}

void AddOnsEditorPage::handlePointerButton(Qt::MouseButtons buttons, QPoint pos)
{
    if (!(buttons & Qt::RightButton))
        return;
    CancelAddOnEdit();
    const int row = m_grid->HitTest(pos).first;
    if (row >= 1)
        showMoveMenu(row, m_grid->viewport()->mapToGlobal(pos));
}

void AddOnsEditorPage::showMoveMenu(int row, QPoint globalPos)
{
    PopupMenu *menu = m_editor->contextMenus();
    menu->restore(QStringLiteral("Addons"));
    if (row == 1)
        menu->setEnabled(kMoveUp, false);
    if (row == m_grid->RowCount())
        menu->setEnabled(kMoveDown, false);
    const QPointer<AddOnsEditorPage> self(this);
    const int chosen = menu->show(globalPos);
    if (!self)
        return;
    if (chosen == kMoveUp)
        MoveAddOnUp(row);
    else if (chosen == kMoveDown)
        MoveAddOnDown(row);
}

// One move of the model row: the current cell stays with its add-on, and the user sees a single change.
void AddOnsEditorPage::MoveAddOnUp(int row)
{
    if (row < 2 || row > m_grid->RowCount())
        return;
    change(QStringLiteral("Move Add-On Up"), [row](AddOnChange &list) { list.move(row - 1, row - 2); });
}

void AddOnsEditorPage::MoveAddOnDown(int row)
{
    if (row < 1 || row >= m_grid->RowCount())
        return;
    change(QStringLiteral("Move Add-On Down"), [row](AddOnChange &list) { list.move(row - 1, row); });
}

void AddOnsEditorPage::dropAddOn(int from, int to)
{
    const int count = m_grid->RowCount();
    if (from < 1 || to < 1 || from > count || to > count || from == to)
        return;
    change(QStringLiteral("Move Add-On"), [from, to](AddOnChange &list) { list.move(from - 1, to - 1); });
}

void AddOnsEditorPage::AppendNewAddOn()
{
    if (m_grid->RowCount() == 0)
        m_editor->deleteAddOnButton()->setEnabled(true);
    const AddOnEntry entry { QStringLiteral("New Add-On"), QString(), ConfigFormat::none() };
    const int row = m_grid->RowCount();
    change(QStringLiteral("New Add-On"), [row, &entry](AddOnChange &list) { list.insert(row, entry); });
    m_grid->setCurrentRow(m_grid->RowCount());
}

void AddOnsEditorPage::DeleteCurrentAddOn()
{
    const int row = m_grid->CurrentRow();
    if (row >= 1 && row <= m_grid->RowCount())
        change(QStringLiteral("Delete Add-On"), [row](AddOnChange &list) { list.remove(row - 1); });
    if (m_grid->CurrentRow() > m_grid->RowCount() || m_grid->RowCount() == 0)
        m_editor->deleteAddOnButton()->setEnabled(false);
}

void AddOnsEditorPage::updateDeleteButton()
{
    const int row = m_grid->CurrentRow();
    m_editor->deleteAddOnButton()->setEnabled(row >= 1 && row <= m_grid->RowCount());
}

void AddOnsEditorPage::BrowseAddOnExecutable()
{
    auto *picker = new frmDialog(m_editor);
    FileDialog *dialog = picker->CommonDialog1();
    dialog->setFileName(QString());
    dialog->setFlags(kProgramDialogFlags);
    dialog->setFilter(QStringLiteral("Windows Executables (*.exe)|*.exe"));
    dialog->setFilterIndex(1);
    dialog->setDefaultExtension(QStringLiteral("exe"));
    dialog->setInitialDir(m_editor->EXEPATH);

    const QPointer<AddOnsEditorPage> self(this);
    const QPointer<frmDialog> guard(picker);
    dialog->showOpen();
    if (!self || !guard)
        return;
    const QString chosen = dialog->fileName();
    delete picker;

    if (!chosen.isEmpty() && m_grid->isEditing()) {
        QString path = GetShortPath(chosen);
        // Without a short form the full path still names the program; an empty cell would lose it.
        if (path.isEmpty())
            path = chosen;
        setCurrentCell(path);
    }
    m_grid->FinishEditing();
    hideEditors();
    m_grid->setFocus(Qt::OtherFocusReason);
}

QString AddOnsEditorPage::nameWarning(int row) const
{
    return m_marks->warning(row - 1);
}

void AddOnsEditorPage::updateNameMarks()
{
    const QStringList warnings = addOnNameWarnings(m_grid->addOnModel()->entries());
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

bool AddOnsEditorPage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_parameters)
        m_movingInParameters = false;
    if (event->type() == QEvent::KeyPress) {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if ((watched == m_name || watched == m_path) && enter) {
            CommitAddOnEdit(static_cast<QLineEdit *>(watched)->text());
            return true;
        }
        if (watched == m_parameters && enter) {
            CommitAddOnEdit(m_parameters->currentText());
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
            CancelAddOnEdit();
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
            CancelAddOnEdit();
        } else if (left && watched == m_parameters && !m_parameters->isHidden()) {
            CancelAddOnEdit();
            m_parameters->hide();
        }
    } else if (event->type() == QEvent::ContextMenu && watched == m_grid
               && static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard) {
        // The menu key opens the move menu for the current row, as a right click does for the row under the pointer.
        const int row = m_grid->CurrentRow();
        if (row >= 1) {
            CancelAddOnEdit();
            const QRect cell = m_grid->CellRectangle(row, qMax(1, m_grid->CurrentColumn()));
            showMoveMenu(row, m_grid->parentWidget()->mapToGlobal(cell.bottomLeft()));
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}
