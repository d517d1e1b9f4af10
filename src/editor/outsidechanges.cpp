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

OutsideChanges::OutsideChanges(QWidget *window, const QString &title)
    : QObject(window)
    , m_window(window)
    , m_title(title)
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

void OutsideChanges::watch(const QString &path, const FileStamp &stamp)
{
    m_path = path;
    m_source = path;
    m_sourceStamp = stamp;
    m_read = true;
    m_known = stamp;
    m_handled = m_known;
    m_offerPending = false;
    arm();
}

void OutsideChanges::follow(const QString &path)
{
    if (path == m_path)
        return;
    m_path = path;
    m_read = path == m_source;
    m_known = m_read ? m_sourceStamp : FileStamp();
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
    // A file the window has not read has nothing on screen to reload: its first save asks instead.
    if (m_path.isEmpty() || !m_read)
        return;
    arm();
    const FileStamp now = FileStamp::read(m_path, &m_handled);
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
    const FileStamp now = FileStamp::read(m_path, &m_handled);
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
    const QMessageBox::StandardButton answer
        = ask(QMessageBox::Question, text.arg(shown(m_path)),
              { { QMessageBox::Yes, QStringLiteral("Reload") }, { QMessageBox::No, QStringLiteral("Keep my edits") } },
              QMessageBox::No);
    if (answer == QMessageBox::Yes)
        Q_EMIT reloadRequested();
}

OutsideChanges::Decision OutsideChanges::beforeSave()
{
    // A file the window has not read is asked about once the save knows it will write it.
    if (m_path.isEmpty() || !m_read)
        return Proceed;
    const FileStamp now = FileStamp::read(m_path, &m_known);
    if (!now.changedSince(m_known))
        return Proceed;
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
    const QMessageBox::StandardButton answer
        = ask(QMessageBox::Warning, text.arg(shown(m_path)),
              { { QMessageBox::Save, now.exists() ? QStringLiteral("Overwrite") : QStringLiteral("Save anyway") },
                { QMessageBox::Discard, QStringLiteral("Reload") },
                { QMessageBox::Cancel, QStringLiteral("Cancel") } },
              QMessageBox::Cancel);
    if (answer == QMessageBox::Discard)
        return Reload;
    return answer == QMessageBox::Save ? Proceed : Cancel;
}

bool OutsideChanges::beforeWrite(const QString &path)
{
    const bool other = path != m_source;
    if (other && QFileInfo::exists(path)) {
        const QString text
            = QStringLiteral("\"%1\" has not been loaded in the editor: the add-ons and the toolbar shown here "
                             "were read from \"%2\".\n\nSaving replaces the add-ons and the toolbar in \"%1\" "
                             "with them. The rest of that file is kept, and its present content is kept as "
                             "\"%3\".")
                  .arg(shown(path), shown(m_source), shown(FileSafety::backupPath(path)));
        const QMessageBox::StandardButton answer = ask(
            QMessageBox::Warning, text,
            { { QMessageBox::Save, QStringLiteral("Replace") }, { QMessageBox::Cancel, QStringLiteral("Cancel") } },
            QMessageBox::Cancel);
        if (answer != QMessageBox::Save)
            return false;
    }
    // Once per file and run: later saves leave the backup of the file as it was before the first.
    const QString key = QFileInfo(path).absoluteFilePath();
    if (m_backedUp.contains(key))
        return true;
    QString error;
    if (!FileSafety::keepBackup(path, &error)) {
        const QMessageBox::StandardButton answer
            = ask(QMessageBox::Warning,
                  QStringLiteral("No backup of the file could be kept before saving.\n%1\n\nSave without a backup?")
                      .arg(error),
                  { { QMessageBox::Yes, QString() }, { QMessageBox::No, QString() } }, QMessageBox::No);
        if (answer != QMessageBox::Yes)
            return false;
    }
    m_backedUp.insert(key);
    return true;
}

QMessageBox::StandardButton OutsideChanges::ask(QMessageBox::Icon icon, const QString &text,
                                                const MessageBox::ButtonTexts &buttons,
                                                QMessageBox::StandardButton defaultButton)
{
    m_asking = true;
    const QMessageBox::StandardButton answer = MessageBox::show(m_window, icon, m_title, text, buttons, defaultButton);
    m_asking = false;
    return answer;
}

bool OutsideChanges::eventFilter(QObject *watched, QEvent *event)
{
    // Not from inside the activation itself: a modal box opened there would run within the event.
    if (watched == m_window && event->type() == QEvent::ActivationChange && m_offerPending)
        QTimer::singleShot(0, this, &OutsideChanges::offerReload);
    return QObject::eventFilter(watched, event);
}
