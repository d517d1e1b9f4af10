#include "cbrowseforfolder.h"

#include "cbrowseforfolder_p.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <utility>

namespace {

std::function<QString(cBrowseForFolder &)> &nextAnswer()
{
    static std::function<QString(cBrowseForFolder &)> chooser;
    return chooser;
}

} // namespace

QString nativeFolderPath(const QString &sPath)
{
    if (sPath.isEmpty())
        return {};
    // cleanPath drops a final separator but keeps a root's: "C:" alone would mean the current folder of drive C.
    return QDir::toNativeSeparators(QDir::cleanPath(QDir::fromNativeSeparators(sPath)));
}

QString folderDisplayName(const QString &sPath)
{
    if (sPath.isEmpty())
        return {};
    const QString path = QDir::cleanPath(QDir::fromNativeSeparators(sPath));
    const QString name = QFileInfo(path).fileName();
    if (!name.isEmpty())
        return name;
    QString root = QDir::toNativeSeparators(path);
    if (root.size() > 1 && root.endsWith(QDir::separator()))
        root.chop(1);
    return root;
}

BrowseForFolderError::BrowseForFolderError(int number, const QString &description, const QString &source)
    : std::runtime_error(description.toStdString())
    , m_number(number)
    , m_description(description)
    , m_source(source)
{
}

cBrowseForFolder::cBrowseForFolder(QObject *parent)
    : QObject(parent)
    , m_title(QStringLiteral("Choose Folder"))
    , m_displayName(QString())
    , d(new Private(*this))
{
}

cBrowseForFolder::~cBrowseForFolder()
{
    delete d;
}

QString cBrowseForFolder::errorSource() const
{
    return QCoreApplication::applicationName() + QStringLiteral(".cBrowseForFolder");
}

QWidget *cBrowseForFolder::hwndOwner() const
{
    return m_owner;
}

void cBrowseForFolder::sethwndOwner(QWidget *lhWnd)
{
    m_owner = lhWnd;
}

QDialog *cBrowseForFolder::dialog() const
{
    return m_dialog;
}

QString cBrowseForFolder::SpecialFolderLocation(int eFolder) const
{
    return d->specialFolderPath(eFolder);
}

QString cBrowseForFolder::BrowseForFolder()
{
    // One dialog at a time: a second one opened from a handler of the first would lose track of both.
    if (m_showing)
        return {};

    // Whatever happens inside, the object leaves here no longer showing.
    struct ShowingScope
    {
        cBrowseForFolder &browser;
        explicit ShowingScope(cBrowseForFolder &b)
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
    if (d->handlerError)
        std::rethrow_exception(std::exchange(d->handlerError, nullptr));
    m_displayName = answer.displayName;
    return answer.path;
}

void cBrowseForFolder::SetFolder(const QString &sPath)
{
    if (!m_showing)
        throw BrowseForFolderError(ErrorNotShowing, QStringLiteral("Operation invalid unless dialog is displayed."),
                                   errorSource());
    if (sPath.isEmpty())
        return;
    const QString path = d->absolutePath(sPath);
    if (d->session)
        d->session->setFolder(path);
}

void cBrowseForFolder::SetStatus(const QString &sText)
{
    if (!m_showing)
        throw BrowseForFolderError(ErrorNotShowing, QStringLiteral("Operation invalid unless dialog is displayed."),
                                   errorSource());
    if (d->session)
        d->session->setStatus(sText);
}

void cBrowseForFolder::setNextAnswerForTesting(std::function<QString(cBrowseForFolder &)> chooser)
{
    nextAnswer() = std::move(chooser);
}

bool cBrowseForFolder::simulateSelection(const QString &sPath)
{
    bool bAllowOk = true;
    Q_EMIT SelectionChanged(sPath, bAllowOk);
    return bAllowOk;
}

void cBrowseForFolder::Private::opened(QDialog *dialog)
{
    q.m_dialog = dialog;
    try {
        Q_EMIT q.Initialized();
    } catch (...) {
        keepHandlerError();
    }
}

bool cBrowseForFolder::Private::selectionChanged(const QString &sPath)
{
    bool bAllowOk = true;
    try {
        Q_EMIT q.SelectionChanged(sPath, bAllowOk);
    } catch (...) {
        keepHandlerError();
        return false;
    }
    return bAllowOk;
}

bool cBrowseForFolder::Private::validationFailed(const QString &sText)
{
    bool bKeepOpen = false;
    try {
        Q_EMIT q.ValidationFailed(sText, bKeepOpen);
    } catch (...) {
        keepHandlerError();
        return false;
    }
    return bKeepOpen;
}

void cBrowseForFolder::Private::keepHandlerError()
{
    // An exception must not unwind through the dialog's event loop: close the dialog, rethrow once it is gone.
    if (!handlerError)
        handlerError = std::current_exception();
    if (session)
        session->abandon();
}
