#include "configformat.h"

#include "stringfunctions.h"

#include <QStringBuilder>

namespace {

const QString kCharFile = QStringLiteral("%charfile%");
const QString kFileList = QStringLiteral("%filelistquoted%");

// Position of an ASCII word in text from a position on, letter case ignored; -1 when absent. Qt's own
// case-insensitive search folds every character through Unicode tables, which a large file feels.
qsizetype indexOfWord(QStringView text, QStringView word, qsizetype from = 0)
{
    auto fold = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; };
    for (qsizetype i = from; i + word.size() <= text.size(); ++i) {
        qsizetype k = 0;
        while (k < word.size() && fold(text[i + k].unicode()) == word[k].unicode())
            ++k;
        if (k == word.size())
            return i;
    }
    return -1;
}

// Takes the macro words out of a command line: each "%charfile%" goes, each "%filelistquoted%" becomes a
// blank, and the blanks that then meet where a word stood become one. The user's own blanks elsewhere stay
// as they are (a path may hold two in a row). Taking a word out can join the text around it into another
// ("%char%charfile%file%"): that goes too, or the command line would gain a parameter at every save and load.
// One pass, each word found where it ends, so a long line of many words costs no more than its length.
QString withoutMacroWords(QStringView text)
{
    QString out;
    out.reserve(text.size());
    auto endsWith = [&out](QStringView word) {
        return out.size() >= word.size() && indexOfWord(QStringView(out).last(word.size()), word) == 0;
    };
    qsizetype i = 0;
    while (i < text.size()) {
        out.append(text[i++]);
        if (out.back() != u'%')
            continue;
        const bool fileList = endsWith(kFileList);
        if (!fileList && !endsWith(kCharFile))
            continue;
        out.chop(fileList ? kFileList.size() : kCharFile.size());
        bool blank = fileList;
        while (!out.isEmpty() && out.back() == u' ') {
            out.chop(1);
            blank = true;
        }
        while (i < text.size() && text[i] == u' ') {
            ++i;
            blank = true;
        }
        if (blank)
            out.append(u' ');
    }
    return out;
}

} // namespace

namespace ConfigFormat {

QString addonsSection()
{
    return QStringLiteral("Addons");
}

QString toolbitsSection()
{
    return QStringLiteral("Toolbits");
}

QString iniFileName()
{
    return QStringLiteral("QTA.INI");
}

QString none()
{
    return QStringLiteral("(none)");
}

const QStringList &parameterChoices()
{
    static const QStringList choices = { none(), kCharFile, kFileList, kCharFile + u' ' + kFileList };
    return choices;
}

const QStringList &hostCommandWords()
{
    static const QStringList words = {
        QStringLiteral("NEW"),
        QStringLiteral("LOAD"),
        QStringLiteral("OPEN"),
        QStringLiteral("SAVE"),
        QStringLiteral("SAVEAS"),
        QStringLiteral("PRINT"),
        QStringLiteral("PREVIEW"),
        QStringLiteral("PREFERENCES"),
        QStringLiteral("EXIT"),
        QStringLiteral("QUIT"),
        QStringLiteral("PRINTSETUP"),
        QStringLiteral("VIEWPICTURE"),
        QStringLiteral("VIEWDESCRIPTION"),
        QStringLiteral("VIEWDESC"),
        QStringLiteral("VIEWNOTES"),
        QStringLiteral("VIEWMISC"),
        QStringLiteral("PACKAGES"),
        QStringLiteral("VIEWPACKAGES"),
        QStringLiteral("NEEDSADSCHECKALL"),
        QStringLiteral("NEEDSADSCHECKMARKED"),
        QStringLiteral("NEEDSADSTOGGLEMARKED"),
        QStringLiteral("NEEDSSKILLSCHECKALL"),
        QStringLiteral("NEEDSSKILLSCHECKMARKED"),
        QStringLiteral("NEEDSSKILLSTOGGLEMARKED"),
        QStringLiteral("NEEDSSPELLSCHECKALL"),
        QStringLiteral("NEEDSSPELLSCHECKMARKED"),
        QStringLiteral("NEEDSSPELLSTOGGLEMARKED"),
        QStringLiteral("RESYNC"),
        QStringLiteral("TOOLSRESYNC"),
        QStringLiteral("REINTEGRATESTATS"),
        QStringLiteral("TOOLSREINTEGRATESTATS"),
        QStringLiteral("RECALCALL"),
        QStringLiteral("RECALCULATEEVERYTHING"),
        QStringLiteral("EXPORTASCII"),
        QStringLiteral("EXPORTTEXT"),
        QStringLiteral("EXPORTHTML"),
        QStringLiteral("EXPORTHTM"),
        QStringLiteral("HELPCONTENTS"),
        QStringLiteral("HELP"),
        QStringLiteral("HELPCONTACT"),
        QStringLiteral("HELPTIPS"),
        QStringLiteral("TIPS"),
        QStringLiteral("HELPABOUT"),
        QStringLiteral("HELPABOUTQTA"),
        QStringLiteral("HELPABOUTDATA"),
        QStringLiteral("HELPABOUTDATAFILES"),
    };
    return words;
}

QStringList addOnCommandForms(const QString &name, int position)
{
    const QString number = QString::number(position);
    // Built in one piece each: a file with thousands of add-ons makes five of these per add-on.
    return {
        QStringLiteral("RUNADDON(") % name % u')',        QStringLiteral("RUNADDONNAME(") % name % u')',
        QStringLiteral("RUNADDONBYNAME(") % name % u')',  QStringLiteral("RUNADDONNUM(") % number % u')',
        QStringLiteral("RUNADDONBYNUM(") % number % u')',
    };
}

bool isAddOnCommand(const QString &command)
{
    return command.contains(QStringLiteral("RUNADDON"), Qt::CaseInsensitive);
}

AddOnEntry parseAddOn(const QString &name, const QString &value)
{
    // Most command lines hold no macro word at all: spare them the searches.
    const bool percent = value.contains(u'%');
    const bool charFile = percent && indexOfWord(value, kCharFile) >= 0;
    const bool fileList = percent && indexOfWord(value, kFileList) >= 0;
    // Without macro words the command line is the value as QTA reads it, blanks inside quotes included.
    if (!charFile && !fileList)
        return AddOnEntry { name, value, none() };
    AddOnEntry entry;
    entry.name = name;
    entry.parameters = parameterChoices().at((charFile ? 1 : 0) + (fileList ? 2 : 0));
    entry.commandLine = trimBlanks(withoutMacroWords(value));
    return entry;
}

QString addOnValue(const AddOnEntry &entry)
{
    if (entry.parameters.isEmpty() || entry.parameters == none())
        return entry.commandLine;
    // The blank joins the two; without a command line there is nothing to join.
    if (entry.commandLine.isEmpty())
        return entry.parameters;
    return entry.commandLine + u' ' + entry.parameters;
}

int digitImageKey(QStringView imageKey)
{
    if (imageKey.size() == 1 && imageKey[0] >= u'0' && imageKey[0] <= u'9')
        return imageKey[0].unicode() - u'0';
    return -1;
}

QString separatorKey(int number)
{
    return QStringLiteral("space") + QString::number(number);
}

} // namespace ConfigFormat
