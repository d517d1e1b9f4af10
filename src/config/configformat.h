#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The text of QTA's two sections, "Addons" and "Toolbits", and the records they hold.

// One button of QTA's toolbar. Its tooltip is also its key in "Toolbits".
struct ToolbarButtonEntry
{
    QString tooltip;
    QString command; // empty for a separator
    int imageIndex = -1; // into the ButtonImageList; -1 for no picture
    bool isSeparator = false;

    friend bool operator==(const ToolbarButtonEntry &, const ToolbarButtonEntry &) = default;
};

// One add-on: an outside program QTA can start. Its name is its key in "Addons".
struct AddOnEntry
{
    QString name;
    QString commandLine; // the program, without parameter macros
    QString parameters; // one of ConfigFormat::parameterChoices()

    friend bool operator==(const AddOnEntry &, const AddOnEntry &) = default;
};

// A picture a button can show: the built-in ones are keyed "0" to "7", bitmap files by their short path.
struct ButtonImageEntry
{
    QString key;
    QString source; // a resource path for a built-in picture, else the file's path as the file names it
    bool builtIn = false;

    friend bool operator==(const ButtonImageEntry &, const ButtonImageEntry &) = default;
};

namespace ConfigFormat {

QString addonsSection(); // "Addons"
QString toolbitsSection(); // "Toolbits"
QString iniFileName(); // "QTA.INI"
QString none(); // "(none)"

// "(none)", "%charfile%", "%filelistquoted%", "%charfile% %filelistquoted%"
const QStringList &parameterChoices();

// The 46 command words QTA knows, in the order the editor offers them.
const QStringList &hostCommandWords();

// The five ways a button can run the add-on with this name at this position.
QStringList addOnCommandForms(const QString &name, int position);

// A command that runs an add-on, by name or by number.
bool isAddOnCommand(const QString &command);

// An add-on's value, as a read of its line gives it, split into its command line and its parameter choice.
AddOnEntry parseAddOn(const QString &name, const QString &value);
// What a read of an add-on's line must give: its command line, then its parameter macros.
QString addOnValue(const AddOnEntry &entry);

// An image key of exactly one decimal digit names a picture by its index; returns -1 for any other key.
int digitImageKey(QStringView imageKey);

// "space" + n: the key of a separator.
QString separatorKey(int number);

} // namespace ConfigFormat
