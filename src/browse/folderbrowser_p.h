#pragma once

// Between FolderBrowser and the platform's folder dialog (folderdialog_qt.cpp or folderdialog_win.cpp).

#include "folderbrowser.h"

// What the class asks of the dialog while it is open.
class FolderDialogSession
{
public:
    virtual void setFolder(const QString &absolutePath) = 0;
    virtual void setStatus(const QString &text) = 0;

protected:
    ~FolderDialogSession() = default;
};

// What the open dialog reports; the class raises its events from these.
class FolderDialogEvents
{
public:
    // The dialog is up and its initial folder selected; dialog is null where the platform draws it itself.
    virtual void opened(QDialog *dialog) = 0;
    // Returns whether OK may be pressed for path.
    virtual bool selectionChanged(const QString &path) = 0;
    // Returns whether the dialog stays open.
    virtual bool validationFailed(const QString &text) = 0;

protected:
    ~FolderDialogEvents() = default;
};

struct FolderDialogAnswer
{
    QString path;
    QString displayName;
};

class FolderBrowser::Private final : public FolderDialogEvents
{
public:
    explicit Private(FolderBrowser &browser)
        : q(browser)
    {
    }

    void opened(QDialog *dialog) override;
    bool selectionChanged(const QString &path) override;
    bool validationFailed(const QString &text) override;

    // Defined by the platform's dialog file.
    FolderDialogAnswer runDialog();
    // The absolute form of path; "" when the system cannot make one (error then says why).
    QString absolutePath(const QString &path, QString *error = nullptr) const;
    QString specialFolderPath(int folder) const;

    FolderBrowser &q;
    FolderDialogSession *session = nullptr;
};

// A folder path as the class hands it out: native separators, no final separator except on a root ("/", "C:\").
QString nativeFolderPath(const QString &path);
// The name shown for a folder: its last path component, or the root or drive itself.
QString folderDisplayName(const QString &path);
