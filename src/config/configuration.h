#pragma once

#include "addonlistmodel.h"
#include "buttonimagelist.h"
#include "toolbarmodel.h"

#include <QObject>
#include <QStringList>
#include <functional>

class FileStamp;

// What the editor holds of QTA.INI: the toolbar, the add-ons, the add-on commands a button can run, and the
// pictures buttons can show. Nothing reaches the file until SaveConfiguration.
class Configuration final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Configuration)

public:
    explicit Configuration(QObject *parent = nullptr);

    ToolbarModel *toolbar() const { return m_toolbar; }
    AddOnListModel *addOns() const { return m_addOns; }
    ButtonImageList *images() const { return m_images; }

    // "(none)", then the five command forms of each add-on, as the last load built them.
    const QStringList &addOnCommands() const { return m_addOnCommands; }
    void setAddOnCommands(const QStringList &commands);

Q_SIGNALS:
    void addOnCommandsChanged();

private:
    ToolbarModel *m_toolbar;
    AddOnListModel *m_addOns;
    ButtonImageList *m_images;
    QStringList m_addOnCommands;
};

// The path of QTA.INI in the remembered folder (found whatever the letter case of its name).
QString qtaIniPath(const QString &iniFolder);

// The toolbar QTA has when its file names none.
QList<ToolbarButtonEntry> defaultToolbar();

// Fills the picture list with the eight built-in pictures, keys "0" to "7".
void SetupButtonImages(Configuration &config);

// Puts the default toolbar in place of the current one; the file is not touched.
void ResetToolbar(Configuration &config);

// Fills the add-ons, their commands and the toolbar from QTA.INI in iniFolder. A missing file means no
// add-ons and the default toolbar. A file that exists but cannot be read leaves everything as it was: returns
// false and sets error to a sentence naming the file and the reason. remark: a sentence for the user about odd
// content that still loaded, else empty. stamp: the file as this load read it.
bool LoadConfiguration(Configuration &config, const QString &iniFolder, QString *error = nullptr,
                       QString *remark = nullptr, FileStamp *stamp = nullptr);

// Called by a save once it knows that it will write the file at path (the bytes change and nothing refuses the
// write), before anything is written: the place for questions and a backup. Returning false cancels the save.
using BeforeWrite = std::function<bool(const QString &path)>;

// Replaces the "Addons" and "Toolbits" sections of QTA.INI in iniFolder with the add-ons and the toolbar,
// reading the file as it is on disk now so that every other byte stays as it is. Writes nothing when an
// entry cannot be written faithfully, and names each such entry in error; any other failure leaves the old
// file intact and says why. A save that beforeWrite cancelled returns false with an empty error. stamp: the
// file as this save left it.
bool SaveConfiguration(const Configuration &config, const QString &iniFolder, QString *error = nullptr,
                       const BeforeWrite &beforeWrite = {}, FileStamp *stamp = nullptr);
