#include "outsidechanges.h"

#include "filesafety.h"
#include "messagebox.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>
#include <QWidget>

namespace {

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

OutsideChanges::OutsideChanges(QWidget *window)
    : QObject(window)
    , m_window(window)
    , m_watcher(new QFileSystemWatcher(this))
    , m_settle(new QTimer(this))
{
    // A program writes a file in pieces and a save signals both the file and its folder: look once it is done.
    m_settle->setSingleShot(true);
    m_settle->setInterval(150);
    connect(m_settle, &QTimer::timeout, this, &OutsideChanges::checkDisk);
    connect(m_watcher, &QFileSystemWatcher::fileChanged, m_settle, qOverload<>(&QTimer::start));
    connect(m_watcher, &QFileSystemWatcher::directoryChanged, m_settle, qOverload<>(&QTimer::start));
    m_window->installEventFilter(this);
}

void OutsideChanges::watch(const QString &path)
{
    // Another file (the user chose another folder) gets a backup of its own at its first save.
    if (path != m_path)
        m_backupKept = false;
    m_path = path;
    m_known = FileStamp::of(path);
    m_handled = m_known;
    m_offerPending = false;
    arm();
}

// The folder is watched too: a program that replaces the file by rename ends the watch on the file itself.
void OutsideChanges::arm()
{
    QStringList wanted;
    const QFileInfo info(m_path);
    if (info.exists())
        wanted << m_path;
    wanted << info.absolutePath();
    const QString real = info.canonicalFilePath(); // behind a symbolic link the real file's folder changes
    if (!real.isEmpty() && real != info.absoluteFilePath())
        wanted << real << QFileInfo(real).absolutePath();

    const QStringList watched = m_watcher->files() + m_watcher->directories();
    for (const QString &path : watched) {
        if (!wanted.contains(path))
            m_watcher->removePath(path);
    }
    for (const QString &path : std::as_const(wanted)) {
        if (!watched.contains(path) && QFileInfo::exists(path))
            m_watcher->addPath(path);
    }
}

void OutsideChanges::checkDisk()
{
    if (m_path.isEmpty())
        return;
    arm();
    const FileStamp now = FileStamp::of(m_path, &m_handled);
    if (!now.changedSince(m_handled)) {
        m_handled = now; // same bytes, new times: the next look need not read the file again
        return;
    }
    m_offerPending = true;
    offerReload();
}

void OutsideChanges::offerReload()
{
    if (!m_offerPending || m_asking)
        return;
    // Never over another box, and not to a user working elsewhere: the offer waits for the window's turn.
    if (!m_window->isActiveWindow())
        return;
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(300, this, &OutsideChanges::offerReload);
        return;
    }
    m_offerPending = false;
    const FileStamp now = FileStamp::of(m_path, &m_handled);
    const bool backToKnown = !now.changedSince(m_known);
    const bool alreadyTold = !now.changedSince(m_handled);
    m_handled = now;
    if (backToKnown || alreadyTold)
        return;

    const QString text = now.exists()
        ? QStringLiteral("\"%1\" was changed by another program.\n\nReload it to see its add-ons and toolbar as they "
                         "are now, dropping the changes made here since the last save, or keep your edits: saving "
                         "them will ask before replacing the add-ons and the toolbar in the file.")
        : QStringLiteral("\"%1\" was deleted or moved away by another program.\n\nReload to start from a missing "
                         "file (no add-ons, the default toolbar), dropping the changes made here since the last "
                         "save, or keep your edits: saving them will ask before creating the file again.");
    m_asking = true;
    const QMessageBox::StandardButton answer
        = MessageBox::show(m_window, QMessageBox::Question, m_window->windowTitle(), text.arg(shown(m_path)),
                           MessageBox::ButtonTexts { { QMessageBox::Yes, QStringLiteral("Reload") },
                                                     { QMessageBox::No, QStringLiteral("Keep my edits") } },
                           QMessageBox::No);
    m_asking = false;
    if (answer == QMessageBox::Yes)
        Q_EMIT reloadRequested();
}

OutsideChanges::Decision OutsideChanges::beforeSave()
{
    if (m_path.isEmpty())
        return Proceed;
    const FileStamp now = FileStamp::of(m_path);
    if (now.changedSince(m_known)) {
        m_handled = now;
        m_offerPending = false;
        const QString text = now.exists()
            ? QStringLiteral("\"%1\" was changed by another program after the editor loaded or saved it.\n\n"
                             "Overwrite: save the add-ons and the toolbar shown here in place of those in the "
                             "file; the other program's changes to the rest of the file are kept.\n"
                             "Reload: load the file again, dropping the changes made here since the last save.\n"
                             "Cancel: save nothing now.")
            : QStringLiteral("\"%1\" was deleted or moved away by another program after the editor loaded or "
                             "saved it.\n\n"
                             "Save anyway: create it again with the add-ons and the toolbar shown here; nothing "
                             "else it held comes back.\n"
                             "Reload: start from a missing file (no add-ons, the default toolbar), dropping the "
                             "changes made here since the last save.\n"
                             "Cancel: save nothing now.");
        m_asking = true;
        const QMessageBox::StandardButton answer = MessageBox::show(
            m_window, QMessageBox::Warning, m_window->windowTitle(), text.arg(shown(m_path)),
            MessageBox::ButtonTexts {
                { QMessageBox::Save, now.exists() ? QStringLiteral("Overwrite") : QStringLiteral("Save anyway") },
                { QMessageBox::Discard, QStringLiteral("Reload") },
                { QMessageBox::Cancel, QStringLiteral("Cancel") } },
            QMessageBox::Cancel);
        m_asking = false;
        if (answer == QMessageBox::Discard)
            return Reload;
        if (answer != QMessageBox::Save)
            return Cancel;
    }

    if (!m_backupKept) {
        QString error;
        if (!FileSafety::keepBackup(m_path, &error)) {
            m_asking = true;
            const QMessageBox::StandardButton answer = MessageBox::show(
                m_window, QMessageBox::Warning, m_window->windowTitle(),
                QStringLiteral("No backup of the file could be kept before saving.\n%1\n\nSave without a backup?")
                    .arg(error),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            m_asking = false;
            if (answer != QMessageBox::Yes)
                return Cancel;
        }
        // Once per run: later saves of this run leave the backup of the file as it was before the first.
        m_backupKept = true;
    }
    return Proceed;
}

bool OutsideChanges::eventFilter(QObject *watched, QEvent *event)
{
    // Not from inside the activation itself: a modal box opened there would run within the event.
    if (watched == m_window && event->type() == QEvent::ActivationChange && m_offerPending)
        QTimer::singleShot(0, this, &OutsideChanges::offerReload);
    return QObject::eventFilter(watched, event);
}
