#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QFileDialog;

// The file-open dialog of the program: Qt's own (not the platform's) dialog, so a preview widget can sit inside.
// Settings use the classic open-file conventions: a "Description|pattern|..." filter, a 1-based filter index
// and the platform's open-file flag values.
class FileDialog final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FileDialog)

public:
    // Flag values that are honoured. Others (hide read-only 0x4, long names, explorer style, ...) are kept but
    // change nothing: the dialog has no read-only check box and always shows long names.
    static constexpr int PathMustExist = 0x800;
    static constexpr int FileMustExist = 0x1000; // implies PathMustExist

    explicit FileDialog(QObject *parent = nullptr);

    QString fileName() const { return m_fileName; }
    void setFileName(const QString &fileName);
    QString filter() const { return m_filter; }
    void setFilter(const QString &filter);
    int filterIndex() const { return m_filterIndex; }
    void setFilterIndex(int index);
    QString defaultExtension() const { return m_defaultExtension; }
    void setDefaultExtension(const QString &extension);
    int flags() const { return m_flags; }
    void setFlags(int flags);
    QString initialDir() const { return m_initialDir; }
    void setInitialDir(const QString &folder);
    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QWidget *owner() const { return m_owner; }
    void setOwner(QWidget *owner);
    // A widget of the caller's that the dialog shows in its bottom-left corner while it is open. It is handed
    // back to its own parent, with its old geometry and visibility, when the dialog closes (but not to a layout
    // it sat in, so give one that sits in none).
    QWidget *previewWidget() const { return m_preview; }
    void setPreviewWidget(QWidget *widget);

    // "Bitmaps (*.bmp)|*.bmp|All|*.*" as Qt name filters, one per complete description/pattern pair.
    static QStringList toNameFilters(const QString &filter);

    // Runs the Open dialog modally. True with fileName() set to the chosen file, or false with fileName() "".
    // filterIndex() then names the filter that was selected.
    bool showOpen();

    // Test hook: queues one answer. Each showOpen() takes the oldest queued chooser instead of showing the
    // dialog; the chooser sees this object with its settings and returns the chosen path, "" for cancel. The
    // signals still come (with a null dialog): dialogInitialized, folderChanged for the initial folder, dialogClosed.
    // While it runs the chooser may call emitFileChangeForTesting() to act as a user selecting a file.
    static void setNextAnswerForTesting(std::function<QString(FileDialog &)> chooser);
    static int pendingAnswersForTesting();
    static void clearAnswersForTesting();
    void emitFileChangeForTesting(const QString &currentFile);

Q_SIGNALS:
    // dialog is null when the test hook answers.
    void dialogInitialized(QFileDialog *dialog);
    // currentFile is the full path of the entry the user selected (it may be a folder).
    void fileChanged(QFileDialog *dialog, const QString &currentFile);
    // Also sent once for the initial folder when the dialog opens.
    void folderChanged(QFileDialog *dialog, const QString &folder);
    void dialogClosed();

private:
    // Sets the dialog up from the settings; returns the name filters it shows.
    QStringList configure(QFileDialog *dialog) const;
    bool finish(const QString &chosen, int filterIndex);

    QString m_fileName;
    QString m_filter;
    int m_filterIndex = 1;
    QString m_defaultExtension;
    int m_flags = 0;
    QString m_initialDir;
    QString m_title;
    QPointer<QWidget> m_owner;
    QPointer<QWidget> m_preview;
};
