#pragma once

#include "filestamp.h"

#include <QObject>
#include <QString>

class QFileSystemWatcher;
class QTimer;
class QWidget;

// Keeps watch on QTA.INI for the main window: another program (QTA itself, a text editor) may change or delete
// it while the editor shows it. While the window is active such a change brings an offer to reload, once per
// change; a save of a changed or deleted file first asks whether to overwrite it. The first save of each file
// in the run keeps the file's previous content as "QTA.INI.bak". Every question goes through MessageBox.
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
    explicit OutsideChanges(QWidget *window);

    // To be called after every successful load and save: what is on disk now is what the window shows.
    void watch(const QString &path);
    QString path() const { return m_path; }

    // To be called before every save; asks what to do when the file changed or vanished since watch(), and
    // keeps the backup before the first save.
    Decision beforeSave();

Q_SIGNALS:
    // The user accepted the offer to load the changed file again.
    void reloadRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void arm();
    void checkDisk();
    void offerReload();

    QWidget *m_window;
    QFileSystemWatcher *m_watcher;
    QTimer *m_settle;
    QString m_path;
    FileStamp m_known; // the file as the window last loaded or saved it
    FileStamp m_handled; // the latest state of the file that the user was told of, or m_known
    bool m_offerPending = false;
    bool m_asking = false;
    bool m_backupKept = false;
};
