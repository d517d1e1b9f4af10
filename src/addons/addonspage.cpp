#include "addonspage.h"

#include "addondelegate.h"
#include "addonlistmodel.h"
#include "addonnamemarks.h"
#include "addonsview.h"
#include "filedialog.h"
#include "folders.h"
#include "frmdialog.h"
#include "pathfunctions.h"
#include "popupmenu.h"
#include "undocommands.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

constexpr int kMoveUp = 1;
constexpr int kMoveDown = 2;

// OFN_LONGNAMES | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY
constexpr int kProgramDialogFlags = 0x281004;

// What the user undoes after changing a cell of each column.
QString cellChangeText(int column)
{
    switch (column) {
    case AddOnListModel::NameColumn:
        return QStringLiteral("Rename Add-On");
    case AddOnListModel::CommandLineColumn:
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
    , m_marks(new AddOnNameMarks(addOns, this))
    , m_grid(new AddOnsView)
    , m_delegate(new AddOnDelegate(this))
    , m_add(new QPushButton(QStringLiteral("New Add-On")))
    , m_kill(new QPushButton(QStringLiteral("Delete Add-On")))
{
    setObjectName(QStringLiteral("picTab(1)"));
    layOutPage();
    connectControls();
    describeWarnings(addOnNameWarnings(addOns->entries()));
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
    m_grid->setModel(m_marks);
    m_grid->setItemDelegate(m_delegate);
    // The columns keep the design's share of the page's longest line, which grows with the font.
    const double scale = qMax(1.0, editHint->sizeHint().width() / double(kLongestLineDesignWidth));
    m_grid->setColumnWidth(AddOnListModel::NameColumn, qRound(146 * scale));
    m_grid->setColumnWidth(AddOnListModel::CommandLineColumn, qRound(236 * scale));
    m_grid->setColumnWidth(AddOnListModel::ParametersColumn, qRound(79 * scale));
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

void AddOnsPage::connectControls()
{
    connect(m_grid, &AddOnsView::rowMoveRequested, this, &AddOnsPage::moveRow);
    connect(m_grid, &AddOnsView::rowDropped, this, &AddOnsPage::dropAddOn);
    connect(m_grid, &AddOnsView::menuRequested, this, &AddOnsPage::showMoveMenu);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentChanged, this, &AddOnsPage::updateDeleteButton);
    connect(m_delegate, &AddOnDelegate::editStored, this, &AddOnsPage::storeCell);
    connect(m_delegate, &AddOnDelegate::browseRequested, this, &AddOnsPage::browseForProgram);
    connect(m_delegate, &AddOnDelegate::editingChanged, this, &AddOnsPage::editingChanged);
    connect(m_marks, &AddOnNameMarks::warningsChanged, this, &AddOnsPage::describeWarnings);
    connect(m_add, &QPushButton::clicked, this, &AddOnsPage::appendNewAddOn);
    connect(m_kill, &QPushButton::clicked, this, &AddOnsPage::deleteCurrentAddOn);
}

bool AddOnsPage::isEditing() const
{
    return m_delegate->isEditing();
}

void AddOnsPage::storeEdit()
{
    m_delegate->storeEdit();
}

void AddOnsPage::cancelEdit()
{
    m_delegate->cancelEdit();
}

void AddOnsPage::showFirstRow()
{
    if (m_model->count() >= 1)
        m_grid->setCurrentIndex(m_marks->index(0, 0));
    else
        m_kill->setEnabled(false);
}

void AddOnsPage::storeCell(const QModelIndex &cell, const QString &text)
{
    const int row = cell.row();
    const int column = cell.column();
    if (row < 0 || row >= m_model->count())
        return;
    change(cellChangeText(column), [&](AddOnChange &list) { list.setCell(row, column, text); });
}

void AddOnsPage::change(const QString &text, const std::function<void(AddOnChange &)> &steps)
{
    auto *list = new AddOnChange(m_model, text);
    steps(*list);
    pushChange(m_undoStack, list);
}

void AddOnsPage::showMoveMenu(int row, QPoint globalPos)
{
    // A right click ends any edit, wherever it is.
    cancelEdit();
    if (row < 0)
        return;
    PopupMenu *menu = m_menus;
    menu->restore(QStringLiteral("Addons"));
    if (row == 0)
        menu->setEnabled(kMoveUp, false);
    if (row == m_model->count() - 1)
        menu->setEnabled(kMoveDown, false);
    const QPointer<AddOnsPage> self(this);
    const int chosen = menu->show(globalPos);
    if (!self)
        return;
    if (chosen == kMoveUp)
        moveRow(row, -1);
    else if (chosen == kMoveDown)
        moveRow(row, 1);
}

// One move of the model row: the current cell stays with its add-on, and the user sees a single change.
void AddOnsPage::moveRow(int row, int step)
{
    const int to = row + step;
    if (row < 0 || row >= m_model->count() || to < 0 || to >= m_model->count() || step == 0)
        return;
    change(step < 0 ? QStringLiteral("Move Add-On Up") : QStringLiteral("Move Add-On Down"),
           [row, to](AddOnChange &list) { list.move(row, to); });
}

void AddOnsPage::dropAddOn(int from, int to)
{
    const int count = m_model->count();
    if (from < 0 || to < 0 || from >= count || to >= count || from == to)
        return;
    change(QStringLiteral("Move Add-On"), [from, to](AddOnChange &list) { list.move(from, to); });
}

void AddOnsPage::appendNewAddOn()
{
    const AddOnEntry entry { QStringLiteral("New Add-On"), QString(), ConfigFormat::none() };
    const int row = m_model->count();
    change(QStringLiteral("New Add-On"), [row, &entry](AddOnChange &list) { list.insert(row, entry); });
    const QModelIndex current = m_grid->currentIndex();
    m_grid->setCurrentIndex(m_marks->index(row, current.isValid() ? current.column() : 0));
}

void AddOnsPage::deleteCurrentAddOn()
{
    const int row = m_grid->currentIndex().row();
    if (row >= 0 && row < m_model->count())
        change(QStringLiteral("Delete Add-On"), [row](AddOnChange &list) { list.remove(row); });
}

void AddOnsPage::updateDeleteButton()
{
    // Enabled exactly while a row inside the list is current; the view reports every move of the current row,
    // also the one a new or deleted add-on causes.
    const QModelIndex current = m_grid->currentIndex();
    m_kill->setEnabled(current.isValid() && current.row() < m_model->count());
}

void AddOnsPage::browseForProgram()
{
    const QPersistentModelIndex cell = m_delegate->editedCell();
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

    // The edit ends either way; a program chosen is stored in the cell the edit was on, if that is still there.
    const bool stillEditing = m_delegate->isEditing() && m_delegate->editedCell() == cell;
    cancelEdit();
    if (!chosen.isEmpty() && stillEditing && cell.isValid()) {
        QString path = shortPathName(chosen);
        // Without a short form the full path still names the program; an empty cell would lose it.
        if (path.isEmpty())
            path = chosen;
        storeCell(cell, path);
    }
    m_grid->setFocus(Qt::OtherFocusReason);
}

// Read out by assistive tools, which do not see the drawn sign.
void AddOnsPage::describeWarnings(const QStringList &warnings)
{
    QStringList description;
    for (int row = 0; row < warnings.size(); ++row) {
        if (!warnings[row].isEmpty())
            description.append(QStringLiteral("Row %1: %2").arg(row + 1).arg(warnings[row]));
    }
    m_grid->setAccessibleDescription(description.join(u'\n'));
}
