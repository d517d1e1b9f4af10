#pragma once

// Between cBrowseForFolder and the platform's folder dialog (folderdialog_qt.cpp or folderdialog_win.cpp).

#include "cbrowseforfolder.h"

#include <exception>

// What the class asks of the dialog while it is open.
class FolderDialogSession
{
public:
    virtual void setFolder(const QString &sAbsolutePath) = 0;
    virtual void setStatus(const QString &sText) = 0;
    // Closes the dialog as cancelled.
    virtual void abandon() = 0;

protected:
    ~FolderDialogSession() = default;
};

// What the open dialog reports; the class raises its events from these.
class FolderDialogEvents
{
public:
    // The dialog is up and its initial folder selected; dialog is null where the platform draws it itself.
    virtual void opened(QDialog *dialog) = 0;
    // Returns whether OK may be pressed for sPath.
    virtual bool selectionChanged(const QString &sPath) = 0;
    // Returns whether the dialog stays open.
    virtual bool validationFailed(const QString &sText) = 0;

protected:
    ~FolderDialogEvents() = default;
};

struct FolderDialogAnswer
{
    QString path;
    QString displayName;
};

class cBrowseForFolder::Private final : public FolderDialogEvents
{
public:
    explicit Private(cBrowseForFolder &browser)
        : q(browser)
    {
    }

    void opened(QDialog *dialog) override;
    bool selectionChanged(const QString &sPath) override;
    bool validationFailed(const QString &sText) override;

    // Defined by the platform's dialog file.
    FolderDialogAnswer runDialog();
    QString absolutePath(const QString &sPath) const;
    QString specialFolderPath(int eFolder) const;

    cBrowseForFolder &q;
    FolderDialogSession *session = nullptr;
    std::exception_ptr handlerError;

private:
    void keepHandlerError();
};

// A folder path as the class hands it out: native separators, no final separator except on a root ("/", "C:\").
QString nativeFolderPath(const QString &sPath);
// The name shown for a folder: its last path component, or the root or drive itself.
QString folderDisplayName(const QString &sPath);
