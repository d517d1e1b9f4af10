#include "filedialog.h"

#include "messagebox.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QScreen>
#include <QTreeView>

namespace {

QList<std::function<QString(FileDialog &)>> &queuedAnswers()
{
    static QList<std::function<QString(FileDialog &)>> answers;
    return answers;
}

// Qt's dialog refuses missing files only in a mode that greys out the Open button without a word, and never
// checks the folder of a typed name; this one tells the user, as the classic dialog does.
class OpenFileDialog final : public QFileDialog
{
public:
    OpenFileDialog(QWidget *parent, int flags)
        : QFileDialog(parent)
        , m_flags(flags)
    {
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        if (!files.isEmpty()) {
            const QFileInfo info(files.constFirst());
            const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
            // A folder is left to Qt, which opens it.
            if (!info.isDir()) {
                const bool fileMustExist = m_flags & FileDialog::FileMustExist;
                const bool pathMustExist = fileMustExist || (m_flags & FileDialog::PathMustExist);
                if (pathMustExist && !info.absoluteDir().exists()) {
                    refuse(tr("%1\nPath does not exist.\nCheck the path and try again.").arg(shown));
                    return;
                }
                if (fileMustExist && !info.exists()) {
                    refuse(tr("%1\nFile not found.\nCheck the file name and try again.").arg(shown));
                    return;
                }
            }
        }
        QFileDialog::accept();
    }

private:
    void refuse(const QString &text) { MessageBox::show(this, QMessageBox::Warning, windowTitle(), text); }

    int m_flags;
};

// With the patterns hidden Qt reports the selected filter as shown, so match either form.
qsizetype indexOfNameFilter(const QStringList &nameFilters, const QString &selected)
{
    for (qsizetype i = 0; i < nameFilters.size(); ++i) {
        const QString &nameFilter = nameFilters.at(i);
        if (nameFilter == selected
            || nameFilter.left(nameFilter.lastIndexOf(QLatin1Char('('))).simplified() == selected)
            return i;
    }
    return -1;
}

// Qt's dialog opens at a size that cuts long names and the last column off: room for names of about sixty
// characters, the list's name column taking what the others leave, within the screen.
void fitToContent(QFileDialog *dialog)
{
    if (auto *list = dialog->findChild<QTreeView *>(QStringLiteral("treeView"))) {
        list->header()->setStretchLastSection(false);
        list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    }
    const QFontMetrics metrics = dialog->fontMetrics();
    QSize wanted = dialog->sizeHint().expandedTo(QSize(metrics.averageCharWidth() * 110, metrics.height() * 30));
    if (const QScreen *screen = dialog->screen())
        wanted = wanted.boundedTo(screen->availableGeometry().size() * 9 / 10);
    dialog->resize(wanted);
}

// Windows file names ignore letter case, and QTA's files come from there: "*.bmp" must list "SHEET.BMP" too.
QStringList caseBlind(QStringList nameFilters)
{
#ifndef Q_OS_WIN
    for (QString &nameFilter : nameFilters) {
        const qsizetype open = nameFilter.lastIndexOf(u'(');
        QString patterns;
        for (QChar c : QStringView(nameFilter).sliced(open + 1))
            patterns += c.isLetter() ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper()) : QString(c);
        nameFilter = nameFilter.left(open + 1) + patterns;
    }
#endif
    return nameFilters;
}

// The caller's preview widget, shown in the dialog's bottom-left corner while it is open and handed back to its
// own parent, with its old geometry and visibility, afterwards.
class LentPreview
{
public:
    LentPreview(QWidget *preview, QFileDialog *dialog)
        : m_preview(preview)
        , m_dialog(dialog)
    {
        if (!preview)
            return;
        m_parent = preview->parentWidget();
        m_geometry = preview->geometry();
        m_hidden = preview->isHidden();
        if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
            grid->addWidget(preview, grid->rowCount(), 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
        else if (dialog->layout())
            dialog->layout()->addWidget(preview);
        else
            preview->setParent(dialog);
        preview->show();
    }
    ~LentPreview()
    {
        // Either may be gone: the owner window, closed meanwhile, takes the dialog and what sits in it along.
        if (!m_preview || !m_dialog || m_preview->parentWidget() != m_dialog)
            return;
        if (m_dialog->layout())
            m_dialog->layout()->removeWidget(m_preview);
        m_preview->setParent(m_parent);
        m_preview->setGeometry(m_geometry);
        m_preview->setVisible(!m_hidden);
    }
    Q_DISABLE_COPY_MOVE(LentPreview)

private:
    QPointer<QWidget> m_preview;
    QPointer<QFileDialog> m_dialog;
    QPointer<QWidget> m_parent;
    QRect m_geometry;
    bool m_hidden = true;
};

} // namespace

FileDialog::FileDialog(QObject *parent)
    : QObject(parent)
{
}

void FileDialog::setFileName(const QString &fileName)
{
    m_fileName = fileName;
}

void FileDialog::setFilter(const QString &filter)
{
    m_filter = filter;
}

void FileDialog::setFilterIndex(int index)
{
    m_filterIndex = index;
}

void FileDialog::setDefaultExtension(const QString &extension)
{
    m_defaultExtension = extension;
}

void FileDialog::setFlags(int flags)
{
    m_flags = flags;
}

void FileDialog::setInitialDir(const QString &folder)
{
    m_initialDir = folder;
}

void FileDialog::setTitle(const QString &title)
{
    m_title = title;
}

void FileDialog::setOwner(QWidget *owner)
{
    m_owner = owner;
}

void FileDialog::setPreviewWidget(QWidget *widget)
{
    m_preview = widget;
}

QStringList FileDialog::toNameFilters(const QString &filter)
{
    QStringList nameFilters;
    const QStringList parts = filter.split(QLatin1Char('|'));
    // A description without its pattern (an odd last part) is dropped.
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        QStringList patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &pattern : patterns) {
            pattern = pattern.trimmed();
            // The classic "*.*" means every file; to Qt it would mean only names with a dot.
            if (pattern == QStringLiteral("*.*"))
                pattern = QStringLiteral("*");
        }
        patterns.removeAll(QString());
        if (patterns.isEmpty())
            continue;
        // Qt reads the patterns from the last parentheses; the dialog hides them, so the description shows as
        // written even when it names its patterns itself.
        nameFilters.append(QStringLiteral("%1 (%2)").arg(description, patterns.join(QLatin1Char(' '))));
    }
    return nameFilters;
}

bool FileDialog::showOpen()
{
    if (!queuedAnswers().isEmpty()) {
        const auto chooser = queuedAnswers().takeFirst();
        Q_EMIT dialogInitialized(nullptr);
        Q_EMIT folderChanged(nullptr, m_initialDir);
        const QString chosen = chooser ? chooser(*this) : QString();
        Q_EMIT dialogClosed();
        return finish(chosen, m_filterIndex);
    }

    // On the heap and watched: the owner may be destroyed while the dialog runs, taking the dialog with it.
    QPointer<OpenFileDialog> dialog = new OpenFileDialog(m_owner, m_flags);
    const QStringList nameFilters = configure(dialog);
    QFileDialog *events = dialog;
    connect(dialog, &QFileDialog::currentChanged, this,
            [this, events](const QString &path) { Q_EMIT fileChanged(events, QDir::toNativeSeparators(path)); });
    connect(dialog, &QFileDialog::directoryEntered, this,
            [this, events](const QString &folder) { Q_EMIT folderChanged(events, QDir::toNativeSeparators(folder)); });

    QPointer<FileDialog> self(this);
    QString chosen;
    int filterIndex = m_filterIndex;
    {
        const LentPreview lent(m_preview, dialog);
        Q_EMIT dialogInitialized(dialog);
        Q_EMIT folderChanged(dialog, QDir::toNativeSeparators(dialog->directory().absolutePath()));
        const bool accepted = dialog->exec() == QDialog::Accepted;
        if (dialog && accepted && !dialog->selectedFiles().isEmpty()) {
            chosen = dialog->selectedFiles().constFirst();
            const qsizetype selected = indexOfNameFilter(nameFilters, dialog->selectedNameFilter());
            if (selected >= 0)
                filterIndex = int(selected) + 1;
        }
    }
    delete dialog;
    if (!self)
        return false;
    Q_EMIT dialogClosed();
    return finish(chosen, filterIndex);
}

QStringList FileDialog::configure(QFileDialog *dialog) const
{
    dialog->setObjectName(QStringLiteral("fileDialog"));
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (!m_title.isEmpty())
        dialog->setWindowTitle(m_title);
    if (!m_initialDir.isEmpty())
        dialog->setDirectory(m_initialDir);
    const QStringList nameFilters = caseBlind(toNameFilters(m_filter));
    if (!nameFilters.isEmpty()) {
        dialog->setNameFilters(nameFilters);
        dialog->selectNameFilter(
            nameFilters.at(m_filterIndex >= 1 && m_filterIndex <= nameFilters.size() ? m_filterIndex - 1 : 0));
    }
    dialog->setDefaultSuffix(m_defaultExtension);
    if (!m_fileName.isEmpty())
        dialog->selectFile(m_fileName);
    fitToContent(dialog);
    return nameFilters;
}

bool FileDialog::finish(const QString &chosen, int filterIndex)
{
    m_filterIndex = filterIndex;
    m_fileName = QDir::toNativeSeparators(chosen);
    return !m_fileName.isEmpty();
}

void FileDialog::setNextAnswerForTesting(std::function<QString(FileDialog &)> chooser)
{
    queuedAnswers().append(std::move(chooser));
}

int FileDialog::pendingAnswersForTesting()
{
    return int(queuedAnswers().size());
}

void FileDialog::clearAnswersForTesting()
{
    queuedAnswers().clear();
}

void FileDialog::emitFileChangeForTesting(const QString &currentFile)
{
    Q_EMIT fileChanged(nullptr, currentFile);
}
