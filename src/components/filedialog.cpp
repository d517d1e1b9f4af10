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
        Q_EMIT InitDialog(nullptr);
        Q_EMIT FolderChange(nullptr, m_initialDir);
        const QString chosen = chooser ? chooser(*this) : QString();
        Q_EMIT DialogClose();
        return finish(chosen, m_filterIndex);
    }

    // On the heap and watched: the owner may be destroyed while the dialog runs, taking the dialog with it.
    QPointer<OpenFileDialog> dialog = new OpenFileDialog(m_owner, m_flags);
    dialog->setObjectName(QStringLiteral("fileDialog"));
    dialog->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog->setAcceptMode(QFileDialog::AcceptOpen);
    dialog->setFileMode(QFileDialog::AnyFile);
    if (!m_title.isEmpty())
        dialog->setWindowTitle(m_title);
    if (!m_initialDir.isEmpty())
        dialog->setDirectory(m_initialDir);
    QStringList nameFilters = toNameFilters(m_filter);
#ifndef Q_OS_WIN
    // Windows file names ignore letter case, and QTA's files come from there: "*.bmp" must list "SHEET.BMP" too.
    for (QString &nameFilter : nameFilters) {
        const qsizetype open = nameFilter.lastIndexOf(u'(');
        QString patterns;
        for (QChar c : QStringView(nameFilter).sliced(open + 1))
            patterns += c.isLetter() ? QStringLiteral("[%1%2]").arg(c.toLower(), c.toUpper()) : QString(c);
        nameFilter = nameFilter.left(open + 1) + patterns;
    }
#endif
    if (!nameFilters.isEmpty()) {
        dialog->setNameFilters(nameFilters);
        dialog->selectNameFilter(
            nameFilters.at(m_filterIndex >= 1 && m_filterIndex <= nameFilters.size() ? m_filterIndex - 1 : 0));
    }
    dialog->setDefaultSuffix(m_defaultExtension);
    if (!m_fileName.isEmpty())
        dialog->selectFile(m_fileName);

    fitToContent(dialog);

    QFileDialog *events = dialog;
    connect(dialog, &QFileDialog::currentChanged, this,
            [this, events](const QString &path) { Q_EMIT FileChange(events, QDir::toNativeSeparators(path)); });
    connect(dialog, &QFileDialog::directoryEntered, this,
            [this, events](const QString &folder) { Q_EMIT FolderChange(events, QDir::toNativeSeparators(folder)); });

    QPointer<QWidget> preview = m_preview;
    QPointer<QWidget> previewParent;
    QRect previewGeometry;
    bool previewHidden = true;
    if (preview) {
        previewParent = preview->parentWidget();
        previewGeometry = preview->geometry();
        previewHidden = preview->isHidden();
        if (auto *grid = qobject_cast<QGridLayout *>(dialog->layout()))
            grid->addWidget(preview, grid->rowCount(), 0, 1, 2, Qt::AlignLeft | Qt::AlignBottom);
        else if (dialog->layout())
            dialog->layout()->addWidget(preview);
        else
            preview->setParent(dialog);
        preview->show();
    }

    QPointer<FileDialog> self(this);
    Q_EMIT InitDialog(dialog);
    Q_EMIT FolderChange(dialog, QDir::toNativeSeparators(dialog->directory().absolutePath()));
    const bool accepted = dialog->exec() == QDialog::Accepted;

    QString chosen;
    int filterIndex = m_filterIndex;
    if (dialog && accepted && !dialog->selectedFiles().isEmpty()) {
        chosen = dialog->selectedFiles().constFirst();
        const qsizetype selected = indexOfNameFilter(nameFilters, dialog->selectedNameFilter());
        if (selected >= 0)
            filterIndex = int(selected) + 1;
    }
    if (preview && dialog && preview->parentWidget() == dialog) {
        if (dialog->layout())
            dialog->layout()->removeWidget(preview);
        preview->setParent(previewParent);
        preview->setGeometry(previewGeometry);
        preview->setVisible(!previewHidden);
    }
    delete dialog;
    if (!self)
        return false;
    Q_EMIT DialogClose();
    return finish(chosen, filterIndex);
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
    Q_EMIT FileChange(nullptr, currentFile);
}
