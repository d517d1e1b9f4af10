#pragma once

#include "filestamp.h"
#include "messagebox.h"

#include <QObject>
#include <QSet>
#include <QString>

class QFileSystemWatcher;
class QTimer;
class QWidget;

// Keeps watch on QTA.INI for the main window: another program (QTA itself, a text editor) may change or delete
// it while the editor shows it. While the window is active such a change brings an offer to reload, once per
// change; a save of a changed or deleted file first asks whether to overwrite it. The first overwrite of each
// file in the run keeps the file's previous content as "QTA.INI.bak", and the first overwrite of a file the
// window did not read (the user chose another folder) asks first. Every question goes through MessageBox.
class OutsideChanges final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OutsideChanges)

public:
    enum Decision {
        Proceed, // save now
        Reload, // the user chose to load the file again instead; nothing is to be saved
        Cancel, // save nothing
    };

    // The window owns this object; its activation decides when an offer is shown.
    OutsideChanges(QWidget *window, const QString &title);

    // To be called after every successful load and save, with the stamp it handed back: what is on disk now is
    // what the window shows.
    void watch(const QString &path, const FileStamp &stamp);
    // To be called when saves go to another file from now on, one the window has not read: the lists shown
    // still come from the file watched before.
    void follow(const QString &path);
    QString path() const { return m_path; }

    // To be called before every save; asks what to do when the file changed or vanished since watch().
    Decision beforeSave();
    // To be called once a save knows it will write the file at path, before it writes: asks before the first
    // overwrite of a file the window has not read, and keeps the backup before the first overwrite of each file.
    // False: write nothing.
    bool beforeWrite(const QString &path);

Q_SIGNALS:
    // The user accepted the offer to load the changed file again.
    void reloadRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arm();
    void checkDisk();
    void offerReload();

    QMessageBox::StandardButton ask(QMessageBox::Icon icon, const QString &text, const MessageBox::ButtonTexts &buttons,
                                    QMessageBox::StandardButton defaultButton);

    QWidget *m_window;
    QString m_title;
    QFileSystemWatcher *m_watcher;
    QTimer *m_settle;
    QString m_path;
    QString m_source; // the file the lists shown were last loaded from or saved to
    FileStamp m_sourceStamp; // that file as the window last loaded or saved it
    bool m_read = false; // whether m_path is that file
    FileStamp m_known; // the file as the window last loaded or saved it
    FileStamp m_handled; // the latest state of the file that the user was told of, or m_known
    bool m_offerPending = false;
    bool m_asking = false;
    QSet<QString> m_backedUp; // files whose backup this run has kept
};
