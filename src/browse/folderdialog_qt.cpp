// The folder dialog of every platform but Windows: a folder tree of our own.

#include <QtGlobal>

#ifndef Q_OS_WIN

#include "folderbrowser_p.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

// Shows the root folder itself as the top of the tree (so it can be chosen) without its siblings.
class RootOnlyProxy final : public QSortFilterProxyModel
{
public:
    RootOnlyProxy(QFileSystemModel *source, const QModelIndex &root, QObject *parent)
        : QSortFilterProxyModel(parent)
        , m_root(root)
    {
        setSourceModel(source);
    }

    QModelIndex topParent() const { return mapFromSource(m_root.parent()); }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override
    {
        return sourceParent != m_root.parent() || sourceModel()->index(sourceRow, 0, sourceParent) == m_root;
    }

private:
    QPersistentModelIndex m_root;
};

class FolderDialog final : public QDialog, public FolderDialogSession
{
public:
    FolderDialog(const FolderBrowser &browser, FolderDialogEvents &events, const QString &rootPath, QWidget *parent);

    bool selectFolder(const QString &path);
    QString chosenPath() const { return m_chosen; }

    void setFolder(const QString &absolutePath) override;
    void setStatus(const QString &text) override;

private:
    void announceOpened();
    void revealCurrent();
    void onCurrentChanged(const QModelIndex &current);
    void onOk();
    QString currentPath() const;

    FolderDialogEvents &m_events;
    QString m_rootPath;
    bool m_validate = false;
    QFileSystemModel *m_model = nullptr;
    RootOnlyProxy *m_proxy = nullptr;
    QTreeView *m_tree = nullptr;
    QLineEdit *m_edit = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_ok = nullptr;
    bool m_opened = false;
    bool m_allowed = false;
    int m_revealedAt = 0; // where revealCurrent() left the tree's scroll bar
    QString m_chosen;
};

FolderDialog::FolderDialog(const FolderBrowser &browser, FolderDialogEvents &events, const QString &rootPath,
                           QWidget *parent)
    : QDialog(parent)
    , m_events(events)
    , m_rootPath(rootPath)
    , m_validate(browser.editBox() && browser.validateEditBox())
{
    setObjectName(QStringLiteral("dlgBrowseForFolder"));
    setWindowTitle(FolderBrowser::tr("Browse for Folder"));
    setSizeGripEnabled(browser.useNewUi());

    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(browser.title(), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setWordWrap(true);
    layout->addWidget(title);

    m_model = new QFileSystemModel(this);
    m_model->setReadOnly(true);
    // Hidden folders too: a host program under a compatibility layer typically lives below one.
    m_model->setFilter(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Drives | QDir::Hidden);
    m_model->setRootPath(m_rootPath);
    m_proxy = new RootOnlyProxy(m_model, m_model->index(m_rootPath), this);

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("tvwFolders"));
    m_tree->setAccessibleName(browser.title());
    m_tree->setModel(m_proxy);
    m_tree->setRootIndex(m_proxy->topParent());
    m_tree->setHeaderHidden(true);
    for (int column = 1; column < m_proxy->columnCount(); ++column)
        m_tree->hideColumn(column);
    m_tree->setMinimumSize(300, 300);
    // Marks the current folder as set, so that focus alone does not pick the first one when none was chosen.
    m_tree->setCurrentIndex(QModelIndex());
    title->setBuddy(m_tree);
    layout->addWidget(m_tree, 1);

    if (browser.editBox()) {
        auto *caption = new QLabel(FolderBrowser::tr("&Folder:"), this);
        m_edit = new QLineEdit(this);
        m_edit->setObjectName(QStringLiteral("txtFolder"));
        m_edit->setAccessibleName(FolderBrowser::tr("Folder"));
        caption->setBuddy(m_edit);
        layout->addWidget(caption);
        layout->addWidget(m_edit);
        // Typed text is checked when OK is pressed, so typing may offer OK even where the selection may not.
        connect(m_edit, &QLineEdit::textEdited, this,
                [this](const QString &text) { m_ok->setEnabled(m_allowed || !text.trimmed().isEmpty()); });
    }
    if (browser.statusText()) {
        m_status = new QLabel(this);
        m_status->setObjectName(QStringLiteral("lblStatus"));
        m_status->setTextFormat(Qt::PlainText);
        m_status->setAccessibleName(FolderBrowser::tr("Status"));
        layout->addWidget(m_status);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setEnabled(false);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &FolderDialog::onOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_tree->selectionModel(), &QItemSelectionModel::currentChanged, this, &FolderDialog::onCurrentChanged);
    // Folders are listed as the model reads them, which pushes the selected one down, out of view: it is shown
    // again after each batch of rows and each sort, until the user scrolls the tree.
    auto *reveal = new QTimer(this);
    reveal->setSingleShot(true);
    reveal->setInterval(0);
    connect(reveal, &QTimer::timeout, this, [this] {
        if (m_tree->verticalScrollBar()->value() == m_revealedAt)
            revealCurrent();
    });
    connect(m_proxy, &QAbstractItemModel::rowsInserted, reveal, qOverload<>(&QTimer::start));
    connect(m_proxy, &QAbstractItemModel::layoutChanged, reveal, qOverload<>(&QTimer::start));

    // Runs once exec() has shown the dialog.
    QMetaObject::invokeMethod(this, &FolderDialog::announceOpened, Qt::QueuedConnection);
}

void FolderDialog::announceOpened()
{
    m_events.opened(this);
    m_opened = true;
    revealCurrent();
    // The initial folder (or one a handler chose meanwhile) is reported after initialized, like every later one.
    onCurrentChanged(m_tree->currentIndex());
}

void FolderDialog::revealCurrent()
{
    if (m_tree->currentIndex().isValid())
        m_tree->scrollTo(m_tree->currentIndex(), QAbstractItemView::PositionAtCenter);
    m_revealedAt = m_tree->verticalScrollBar()->value();
}

QString FolderDialog::currentPath() const
{
    const QModelIndex current = m_tree->currentIndex();
    return current.isValid() ? m_model->filePath(m_proxy->mapToSource(current)) : QString();
}

bool FolderDialog::selectFolder(const QString &path)
{
    const QModelIndex index = m_proxy->mapFromSource(m_model->index(path));
    bool insideRoot = false;
    for (QModelIndex i = index; i.isValid() && !insideRoot; i = i.parent())
        insideRoot = i.parent() == m_tree->rootIndex();
    if (!insideRoot)
        return false;
    m_tree->setCurrentIndex(index);
    m_tree->scrollTo(index);
    m_tree->expand(index);
    return true;
}

void FolderDialog::onCurrentChanged(const QModelIndex &current)
{
    if (!m_opened)
        return;
    const QString path
        = nativeFolderPath(current.isValid() ? m_model->filePath(m_proxy->mapToSource(current)) : QString());
    if (m_status)
        m_status->setText(path);
    if (m_edit)
        m_edit->setText(path);
    const QPersistentModelIndex reported(current);
    const bool allowed = !path.isEmpty() && m_events.selectionChanged(path);
    // A handler that selected another folder has already set OK for that one.
    if (m_tree->currentIndex() != reported)
        return;
    m_allowed = allowed;
    m_ok->setEnabled(m_allowed);
}

void FolderDialog::onOk()
{
    QString chosen = currentPath();
    const QString typed = m_edit ? m_edit->text().trimmed() : QString();
    if (!typed.isEmpty()) {
        const QDir base(chosen.isEmpty() ? m_rootPath : chosen);
        const QString target = QDir::cleanPath(base.absoluteFilePath(QDir::fromNativeSeparators(typed)));
        if (target != chosen) {
            if (QFileInfo(target).isDir() && selectFolder(target)) {
                // A typed folder passes the owner's check like a selected one; a refused one leaves OK disabled.
                chosen = currentPath();
            } else if (m_validate) {
                setStatus(FolderBrowser::tr("Path invalid: ") + typed);
                if (m_events.validationFailed(typed))
                    return;
                // Closing on text that names no folder chooses nothing, rather than some other folder.
                reject();
                return;
            }
            // Without validation the typed text is ignored and the selected folder is the answer.
        }
    }
    if (chosen.isEmpty() || !m_allowed) {
        m_ok->setEnabled(m_allowed);
        return;
    }
    m_chosen = chosen;
    accept();
}

void FolderDialog::setFolder(const QString &absolutePath)
{
    if (QFileInfo(absolutePath).isDir())
        selectFolder(absolutePath);
    m_tree->setFocus();
}

void FolderDialog::setStatus(const QString &text)
{
    if (m_status)
        m_status->setText(text);
}

} // namespace

FolderDialogAnswer FolderBrowser::Private::runDialog()
{
    QString root = QDir::rootPath();
    if (!q.rootDir().isEmpty()) {
        // A root that does not exist leaves the default root, as an unknown root does on Windows.
        const QString path = absolutePath(q.rootDir());
        if (QFileInfo(path).isDir())
            root = path;
    }

    QPointer<FolderDialog> dialog = new FolderDialog(q, *this, root, q.owner());
    if (!q.initialDir().isEmpty()) {
        const QString initial = absolutePath(q.initialDir());
        if (QFileInfo(initial).isDir())
            dialog->selectFolder(initial);
    }

    session = dialog;
    const bool accepted = dialog->exec() == QDialog::Accepted;
    session = nullptr;
    FolderDialogAnswer answer;
    // The owner window may have been closed meanwhile, taking the dialog with it.
    if (dialog) {
        if (accepted)
            answer = { nativeFolderPath(dialog->chosenPath()), folderDisplayName(dialog->chosenPath()) };
        delete dialog;
    }
    return answer;
}

QString FolderBrowser::Private::absolutePath(const QString &path, QString *) const
{
    return QDir::cleanPath(QFileInfo(QDir::fromNativeSeparators(path)).absoluteFilePath());
}

QString FolderBrowser::Private::specialFolderPath(int folder) const
{
    if (!QMetaEnum::fromType<QStandardPaths::StandardLocation>().valueToKey(folder))
        return {};
    return nativeFolderPath(QStandardPaths::writableLocation(static_cast<QStandardPaths::StandardLocation>(folder)));
}

#endif
