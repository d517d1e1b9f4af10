#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>

class QDialog;
class QWidget;

// Asks the user for a folder. The owner may listen to selectionChanged and refuse a folder: the OK button is
// then disabled until an acceptable folder is selected.
class FolderBrowser final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FolderBrowser)

public:
    explicit FolderBrowser(QObject *parent = nullptr);
    ~FolderBrowser() override;

    // The path of a special folder (the platform's special-folder number on Windows; elsewhere the
    // QStandardPaths::StandardLocation value); "" when it has no file-system path.
    QString specialFolderLocation(int folder) const;

    bool editBox() const { return m_editBox; }
    void setEditBox(bool on) { m_editBox = on; }
    bool statusText() const { return m_statusText; }
    void setStatusText(bool on) { m_statusText = on; }
    bool fileSystemOnly() const { return m_fileSystemOnly; }
    void setFileSystemOnly(bool on) { m_fileSystemOnly = on; }
    bool validateEditBox() const { return m_validateEditBox; }
    void setValidateEditBox(bool on) { m_validateEditBox = on; }
    bool useNewUi() const { return m_useNewUi; }
    void setUseNewUi(bool on) { m_useNewUi = on; }
    QString title() const { return m_title; }
    void setTitle(const QString &title) { m_title = title; }
    // Out of line: QPointer needs the complete QWidget and QDialog, which this header only declares.
    QWidget *owner() const;
    void setOwner(QWidget *owner);
    QString initialDir() const { return m_initialDir; }
    void setInitialDir(const QString &dir) { m_initialDir = dir; }
    QString rootDir() const { return m_rootDir; }
    void setRootDir(const QString &dir) { m_rootDir = dir; }

    // Shows the dialog modally; returns the chosen folder's path, or "" when the user cancels.
    QString browseForFolder();
    // The display name of the folder chosen in the last BrowseForFolder.
    QVariant displayName() const { return m_displayName; }

    // While the dialog is open: select path / show text on the status line. False when no dialog is open or the
    // path cannot be made absolute (error then says why).
    bool setFolder(const QString &path, QString *error = nullptr);
    bool setStatus(const QString &text);

    bool isShowing() const { return m_showing; }
    QDialog *dialog() const;

    // Test hook: the next BrowseForFolder calls chooser instead of showing the dialog and returns its answer
    // ("" for Cancel). The chooser may call simulateSelection() to see what the OK button would do.
    static void setNextAnswerForTesting(std::function<QString(FolderBrowser &)> chooser);
    // Raises selectionChanged for path as the dialog does and returns whether OK would be enabled.
    bool simulateSelection(const QString &path);

Q_SIGNALS:
    void initialized();
    void selectionChanged(const QString &path, bool &allowOk);
    void validationFailed(const QString &path, bool &keepOpen);

private:
    QPointer<QWidget> m_owner;
    QString m_title;
    QString m_initialDir;
    QString m_rootDir;
    bool m_editBox = false;
    bool m_statusText = false;
    bool m_fileSystemOnly = false;
    bool m_validateEditBox = false;
    bool m_useNewUi = false;
    bool m_showing = false;
    QVariant m_displayName;
    QPointer<QDialog> m_dialog;
    class Private;
    Private *d = nullptr;
};
