#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <functional>
#include <stdexcept>

class QDialog;
class QWidget;

// Raised by the folder browser with a number, a description and a source, like the errors of a component.
class BrowseForFolderError final : public std::runtime_error
{
public:
    BrowseForFolderError(int number, const QString &description, const QString &source);

    int number() const { return m_number; }
    QString description() const { return m_description; }
    QString source() const { return m_source; }

private:
    int m_number;
    QString m_description;
    QString m_source;
};

// Asks the user for a folder. The owner may listen to SelectionChanged and refuse a folder: the OK button is
// then disabled until an acceptable folder is selected.
class cBrowseForFolder final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(cBrowseForFolder)

public:
    enum { ErrorNotShowing = 26002 };

    explicit cBrowseForFolder(QObject *parent = nullptr);
    ~cBrowseForFolder() override;

    // The path of a special folder (the platform's special-folder number on Windows; elsewhere the
    // QStandardPaths::StandardLocation value); "" when it has no file-system path.
    QString SpecialFolderLocation(int eFolder) const;

    bool EditBox() const { return m_editBox; }
    void setEditBox(bool bState) { m_editBox = bState; }
    bool StatusText() const { return m_statusText; }
    void setStatusText(bool bState) { m_statusText = bState; }
    bool FileSystemOnly() const { return m_fileSystemOnly; }
    void setFileSystemOnly(bool bState) { m_fileSystemOnly = bState; }
    bool ValidateEditBox() const { return m_validateEditBox; }
    void setValidateEditBox(bool bState) { m_validateEditBox = bState; }
    bool UseNewUI() const { return m_useNewUI; }
    void setUseNewUI(bool bState) { m_useNewUI = bState; }
    QString Title() const { return m_title; }
    void setTitle(const QString &sTitle) { m_title = sTitle; }
    // Out of line: QPointer needs the complete QWidget and QDialog, which this header only declares.
    QWidget *hwndOwner() const;
    void sethwndOwner(QWidget *lhWnd);
    QString InitialDir() const { return m_initialDir; }
    void setInitialDir(const QString &sDir) { m_initialDir = sDir; }
    QString RootDir() const { return m_rootDir; }
    void setRootDir(const QString &sDir) { m_rootDir = sDir; }

    // Shows the dialog modally; returns the chosen folder's path, or "" when the user cancels.
    QString BrowseForFolder();
    // The display name of the folder chosen in the last BrowseForFolder.
    QVariant DisplayName() const { return m_displayName; }

    // While the dialog is open: select sPath / show sText on the status line. Otherwise they throw
    // BrowseForFolderError 26002.
    void SetFolder(const QString &sPath);
    void SetStatus(const QString &sText);

    bool isShowing() const { return m_showing; }
    QDialog *dialog() const;

    // Test hook: the next BrowseForFolder calls chooser instead of showing the dialog and returns its answer
    // ("" for Cancel). The chooser may call simulateSelection() to see what the OK button would do.
    static void setNextAnswerForTesting(std::function<QString(cBrowseForFolder &)> chooser);
    // Raises SelectionChanged for sPath as the dialog does and returns whether OK would be enabled.
    bool simulateSelection(const QString &sPath);

Q_SIGNALS:
    void Initialized();
    void SelectionChanged(const QString &sPath, bool &bAllowOk);
    void ValidationFailed(const QString &sPath, bool &bKeepOpen);

private:
    QString errorSource() const;

    QPointer<QWidget> m_owner;
    QString m_title;
    QString m_initialDir;
    QString m_rootDir;
    bool m_editBox = false;
    bool m_statusText = false;
    bool m_fileSystemOnly = false;
    bool m_validateEditBox = false;
    bool m_useNewUI = false;
    bool m_showing = false;
    QVariant m_displayName;
    QPointer<QDialog> m_dialog;
    class Private;
    Private *d = nullptr;
};
