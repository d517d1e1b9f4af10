#include "folderbrowser.h"

#include "folderbrowser_p.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <utility>

namespace {

std::function<QString(FolderBrowser &)> &nextAnswer()
{
    static std::function<QString(FolderBrowser &)> chooser;
    return chooser;
}

} // namespace

QString nativeFolderPath(const QString &path)
{
    if (path.isEmpty())
        return {};
    // cleanPath drops a final separator but keeps a root's: "C:" alone would mean the current folder of drive C.
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(path)));
}

QString folderDisplayName(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(path));
    const QString name = QFileInfo(clean).fileName();
    if (!name.isEmpty())
        return name;
    QString root = QDir::toNativeSeparators(clean);
    if (root.size() > 1 && root.endsWith(QDir::separator()))
        root.chop(1);
    return root;
}

FolderBrowser::FolderBrowser(QObject *parent)
    : QObject(parent)
    , m_title(QStringLiteral("Choose Folder"))
    , m_displayName(QString())
    , d(new Private(*this))
{
}

FolderBrowser::~FolderBrowser()
{
    delete d;
}

QWidget *FolderBrowser::owner() const
{
    return m_owner;
}

void FolderBrowser::setOwner(QWidget *owner)
{
    m_owner = owner;
}

QDialog *FolderBrowser::dialog() const
{
    return m_dialog;
}

QString FolderBrowser::specialFolderLocation(int folder) const
{
    return d->specialFolderPath(folder);
}

QString FolderBrowser::browseForFolder()
{
    // One dialog at a time: a second one opened from a handler of the first would lose track of both.
    if (m_showing)
        return {};

    // Whatever happens inside, the object leaves here no longer showing.
    struct ShowingScope
    {
        FolderBrowser &browser;
        explicit ShowingScope(FolderBrowser &b)
            : browser(b)
        {
            browser.m_showing = true;
        }
        ~ShowingScope()
        {
            browser.m_showing = false;
            browser.m_dialog = nullptr;
            browser.d->session = nullptr;
        }
    };

    m_displayName = QString();
    if (auto chooser = std::exchange(nextAnswer(), nullptr)) {
        QString answer;
        {
            ShowingScope showing(*this);
            answer = chooser(*this);
        }
        m_displayName = folderDisplayName(answer);
        return answer;
    }

    FolderDialogAnswer answer;
    {
        ShowingScope showing(*this);
        answer = d->runDialog();
    }
    m_displayName = answer.displayName;
    return answer.path;
}

bool FolderBrowser::setFolder(const QString &path, QString *error)
{
    if (!m_showing) {
        if (error)
            *error = tr("No folder dialog is open.");
        return false;
    }
    if (path.isEmpty())
        return true;
    const QString absolute = d->absolutePath(path, error);
    if (absolute.isEmpty())
        return false;
    if (d->session)
        d->session->setFolder(absolute);
    return true;
}

bool FolderBrowser::setStatus(const QString &text)
{
    if (!m_showing)
        return false;
    if (d->session)
        d->session->setStatus(text);
    return true;
}

void FolderBrowser::setNextAnswerForTesting(std::function<QString(FolderBrowser &)> chooser)
{
    nextAnswer() = std::move(chooser);
}

bool FolderBrowser::simulateSelection(const QString &path)
{
    bool allowOk = true;
    Q_EMIT selectionChanged(path, allowOk);
    return allowOk;
}

void FolderBrowser::Private::opened(QDialog *dialog)
{
    q.m_dialog = dialog;
    Q_EMIT q.initialized();
}

bool FolderBrowser::Private::selectionChanged(const QString &path)
{
    bool allowOk = true;
    Q_EMIT q.selectionChanged(path, allowOk);
    return allowOk;
}

bool FolderBrowser::Private::validationFailed(const QString &text)
{
    bool keepOpen = false;
    Q_EMIT q.validationFailed(text, keepOpen);
    return keepOpen;
}
