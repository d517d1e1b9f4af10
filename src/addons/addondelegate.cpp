#include "addondelegate.h"

#include "addonlistmodel.h"
#include "configformat.h"
#include "dropdownwidth.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

AddOnDelegate::AddOnDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QWidget *AddOnDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const
{
    QWidget *editor = nullptr;
    switch (index.column()) {
    case AddOnListModel::NameColumn:
        editor = nameEditor(parent);
        break;
    case AddOnListModel::CommandLineColumn:
        editor = commandEditor(parent);
        break;
    case AddOnListModel::ParametersColumn:
        editor = parametersEditor(parent);
        break;
    default:
        return nullptr;
    }
    m_editor = editor;
    m_cell = index;
    // Told once the view has shown the editor and given it the focus, which is what the window reads.
    QMetaObject::invokeMethod(const_cast<AddOnDelegate *>(this), &AddOnDelegate::editingChanged, Qt::QueuedConnection);
    return editor;
}

QWidget *AddOnDelegate::nameEditor(QWidget *parent) const
{
    auto *name = new QLineEdit(parent);
    name->setObjectName(QStringLiteral("txtAddOnName"));
    name->setAccessibleName(QStringLiteral("Add-on name"));
    connect(name, &QLineEdit::textChanged, this, &AddOnDelegate::editingChanged);
    return name;
}

QWidget *AddOnDelegate::commandEditor(QWidget *parent) const
{
    auto *frame = new QFrame(parent);
    frame->setObjectName(QStringLiteral("fraCommand"));
    frame->setAccessibleName(QStringLiteral("Command line editor"));
    frame->setFrameShape(QFrame::NoFrame);
    frame->setAutoFillBackground(true);
    auto *path = new QLineEdit(frame);
    path->setObjectName(QStringLiteral("txtAddOnPath"));
    path->setAccessibleName(QStringLiteral("Command line"));
    auto *browse = new QPushButton(QStringLiteral("..."), frame);
    browse->setObjectName(QStringLiteral("cmdBrowseForExe"));
    browse->setAccessibleName(QStringLiteral("Browse for the add-on program"));
    browse->setToolTip(browse->accessibleName());
    browse->setAutoDefault(false);
    frame->setFocusProxy(path);
    // The view watches the frame; the keys and the focus go to what is inside it.
    auto *self = const_cast<AddOnDelegate *>(this);
    path->installEventFilter(self);
    browse->installEventFilter(self);
    connect(path, &QLineEdit::textChanged, this, &AddOnDelegate::editingChanged);
    connect(browse, &QPushButton::clicked, this, &AddOnDelegate::browseRequested);
    return frame;
}

QWidget *AddOnDelegate::parametersEditor(QWidget *parent) const
{
    auto *list = new QComboBox(parent);
    list->setObjectName(QStringLiteral("cmbboxAddOnParameters"));
    list->setAccessibleName(QStringLiteral("Parameters"));
    list->addItems(ConfigFormat::parameterChoices());
    auto *self = const_cast<AddOnDelegate *>(this);
    connect(list, &QComboBox::activated, this, [self] {
        if (!std::exchange(self->m_movingInParameters, false))
            self->storeEdit();
    });
    return list;
}

void AddOnDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    // The tooltip keeps showing the value as it was when the edit began.
    if (auto *list = qobject_cast<QComboBox *>(editor)) {
        list->setCurrentIndex(list->findText(text));
        list->setToolTip(text);
        return;
    }
    auto *box = qobject_cast<QLineEdit *>(editor);
    if (!box)
        box = editor->findChild<QLineEdit *>();
    box->setText(text);
    box->setToolTip(text);
    box->selectAll();
}

void AddOnDelegate::setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &index) const
{
    // The view also hands over an editor it closes for its own reasons; only Enter or a pick stores.
    if (m_storing && editor == m_editor)
        Q_EMIT const_cast<AddOnDelegate *>(this)->editStored(index, editorText());
}

void AddOnDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option, const QModelIndex &) const
{
    // Kept inside the visible part of the list, so a cell cut off at the edge still shows the whole editor.
    const QRect cell = option.rect & editor->parentWidget()->rect();
    if (auto *list = qobject_cast<QComboBox *>(editor)) {
        list->setGeometry(cell.left(), cell.top(), cell.width(), list->sizeHint().height());
        // The last column takes the width the window leaves, so the list is measured against the cell of now.
        sizeDropDownToItems(list, list);
        return;
    }
    editor->setGeometry(cell);
    if (auto *browse = editor->findChild<QPushButton *>()) {
        const int buttonWidth = cell.height();
        editor->findChild<QLineEdit *>()->setGeometry(0, 0, cell.width() - buttonWidth - 2, cell.height());
        browse->setGeometry(cell.width() - buttonWidth, 0, buttonWidth, cell.height());
    }
}

void AddOnDelegate::destroyEditor(QWidget *editor, const QModelIndex &index) const
{
    const bool ours = editor == m_editor;
    QStyledItemDelegate::destroyEditor(editor, index);
    if (!ours)
        return;
    m_editor = nullptr;
    m_cell = QPersistentModelIndex();
    Q_EMIT const_cast<AddOnDelegate *>(this)->editingChanged();
}

QString AddOnDelegate::editorText() const
{
    if (auto *list = qobject_cast<QComboBox *>(m_editor.data()))
        return list->currentText();
    auto *box = qobject_cast<QLineEdit *>(m_editor.data());
    return box ? box->text() : m_editor->findChild<QLineEdit *>()->text();
}

void AddOnDelegate::storeEdit()
{
    QWidget *editor = m_editor;
    if (!editor)
        return;
    m_storing = true;
    Q_EMIT commitData(editor);
    m_storing = false;
    Q_EMIT closeEditor(editor, NoHint);
}

void AddOnDelegate::cancelEdit()
{
    if (QWidget *editor = m_editor)
        Q_EMIT closeEditor(editor, RevertModelCache);
}

bool AddOnDelegate::eventFilter(QObject *watched, QEvent *event)
{
    auto *list = qobject_cast<QComboBox *>(m_editor.data());
    if (!m_editor || (watched != m_editor && !m_editor->isAncestorOf(qobject_cast<QWidget *>(watched))))
        return false;
    if (watched == list)
        m_movingInParameters = false;
    switch (event->type()) {
    case QEvent::KeyPress: {
        const auto *keyEvent = static_cast<QKeyEvent *>(event);
        const int key = keyEvent->key();
        // The page's own words promise Escape cancels, wherever the edit's focus is.
        if (key == Qt::Key_Escape) {
            cancelEdit();
            return true;
        }
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !qobject_cast<QPushButton *>(watched)) {
            storeEdit();
            return true;
        }
        // Arrows and letters move through the closed list; Enter picks. The keys that open the list keep their
        // meaning.
        const bool opens = key == Qt::Key_F4 || key == Qt::Key_Space
            || ((key == Qt::Key_Down || key == Qt::Key_Up) && keyEvent->modifiers() & Qt::AltModifier);
        if (watched == list && key != Qt::Key_Tab && key != Qt::Key_Backtab && !opens)
            m_movingInParameters = true;
        return false;
    }
    case QEvent::Wheel:
        if (watched == list)
            m_movingInParameters = true;
        return false;
    case QEvent::FocusOut: {
        // Opening a list or a menu (the keyboard moves into it), or another window becoming active, is not
        // leaving the editor. The command line's frame never has the focus itself: leaving its text box keeps the
        // edit open, so that its "..." can be pressed.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool left = reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason
            && !QApplication::activePopupWidget();
        if (left && watched == m_editor)
            cancelEdit();
        return false;
    }
    default:
        return false;
    }
}
