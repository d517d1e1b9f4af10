#include "configuration.h"

#include "entrykeys.h"
#include "filesafety.h"
#include "filestamp.h"
#include "inidocument.h"
#include "inifile.h"
#include "inputcheck.h"
#include "pathfunctions.h"
#include "stringfunctions.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

constexpr int kBuiltInPictures = 8;
// A load drops the pictures from this index on; the one at index 8 stays until the program ends.
constexpr int kFirstDroppedPicture = 9;

QString describe(const QString &what, int number, const QString &key)
{
    return QStringLiteral("%1 %2 (\"%3\")").arg(what).arg(number).arg(key);
}

// The entries whose nameless line would follow another nameless line: a read drops such a line, so QTA
// would not see it and the next load would lose it. An entry that repeats an earlier name adds no line.
template<typename NameOf> QSet<int> namelessAfterNameless(qsizetype count, NameOf nameOf)
{
    QSet<int> hidden;
    qsizetype nameless = 0;
    for (qsizetype i = 0; i < count && nameless < 2; ++i)
        nameless += IniRules::trimmed(nameOf(i)).isEmpty() ? 1 : 0;
    if (nameless < 2)
        return hidden; // the usual case, spared the names
    QSet<QString> names;
    bool lastNameless = false;
    for (qsizetype i = 0; i < count; ++i) {
        const QStringView name = IniRules::trimmed(QStringView(nameOf(i)));
        if (name.isEmpty()) {
            if (lastNameless)
                hidden.insert(int(i));
            lastNameless = true;
        } else if (const QString key = IniRules::matchKey(name.toString()); !names.contains(key)) {
            names.insert(key);
            lastNameless = false;
        }
    }
    return hidden;
}

QString namelessProblem()
{
    return QStringLiteral("it has no name and its line would follow another line without a name, which QTA does "
                          "not read: give one of the two a name");
}

QString imageKeyFor(const Configuration &config, int imageIndex)
{
    if (imageIndex < 0)
        return QString();
    // A digit key that named no picture is written back as it was read.
    return config.images()->contains(imageIndex) ? config.images()->keyAt(imageIndex) : QString::number(imageIndex);
}

// The "Addons" lines of the add-ons, each refused entry named in problems.
void encodeAddOns(const QList<AddOnEntry> &addOns, IniSectionEntries &lines, bool utf8, QStringList &problems)
{
    const QSet<int> hidden
        = namelessAfterNameless(addOns.size(), [&](qsizetype i) -> const QString & { return addOns[i].name; });
    for (int row = 0; row < addOns.size(); ++row) {
        const QString &name = addOns[row].name;
        const QString value = ConfigFormat::addOnValue(addOns[row]);
        QString problem = iniEntryProblem(name, { value }, utf8);
        if (problem.isEmpty() && hidden.contains(row))
            problem = namelessProblem();
        if (!problem.isEmpty())
            problems.append(describe(QStringLiteral("Add-on in row"), row + 1, name) + QStringLiteral(": ") + problem);
        lines.addKey(IniRules::trimmed(name));
        lines.addValue({ value });
    }
}

// The "Toolbits" lines of the buttons, each refused entry named in problems. A button's line is encoded from
// its parts as they stand, without a string per line.
void encodeButtons(const Configuration &config, IniSectionEntries &lines, bool utf8, QStringList &problems)
{
    const QList<ToolbarButtonEntry> &buttons = config.toolbar()->entries();
    const QStringList keys = savedToolbarKeys(buttons);
    const QSet<int> hidden
        = namelessAfterNameless(buttons.size(), [&](qsizetype i) -> const QString & { return keys[i]; });
    for (int i = 0; i < buttons.size(); ++i) {
        const ToolbarButtonEntry &button = buttons[i];
        const QString imageKey = button.isSeparator ? QString() : imageKeyFor(config, button.imageIndex);
        const QStringView command = button.isSeparator ? QStringView() : QStringView(button.command);
        QString problem = iniEntryProblem(keys[i], { command, imageKey }, utf8);
        // A reload splits at the first "|" and takes an empty command for a separator; a blank one is kept
        // in quotes.
        if (problem.isEmpty() && !button.isSeparator && command.contains(u'|'))
            problem = QStringLiteral("its command holds \"|\"");
        if (problem.isEmpty() && !button.isSeparator && command.isEmpty())
            problem = QStringLiteral("it has no command, so it would load back as a separator");
        if (problem.isEmpty() && hidden.contains(i))
            problem = namelessProblem();
        if (!problem.isEmpty()) {
            problems.append(describe(QStringLiteral("Toolbar button"), i + 1, button.tooltip) + QStringLiteral(": ")
                            + problem);
        }
        // Quoted where a read would change "command|key": blanks at the end of the image key "8 " of a bitmap
        // file would be trimmed into the picture at index 8, and the command 'x with the file x' would read x|x.
        lines.addKey(IniRules::trimmed(keys[i]));
        lines.addValue({ command, u"|", imageKey });
    }
}

// The two sections written into doc as a save writes them; returns the entries that cannot be written
// (empty when all can), in which case doc is left unchanged.
QStringList applyConfiguration(const Configuration &config, IniDocument &doc)
{
    QStringList problems;
    IniSectionEntries addOnLines(doc, config.addOns()->count());
    encodeAddOns(config.addOns()->entries(), addOnLines, doc.isUtf8(), problems);
    IniSectionEntries buttonLines(doc, config.toolbar()->count());
    encodeButtons(config, buttonLines, doc.isUtf8(), problems);
    if (!problems.isEmpty())
        return problems;
    // Every copy goes: the platform deletes only the first, and the next would surface with stale lines.
    while (doc.removeSection(ConfigFormat::addonsSection())) { }
    while (doc.removeSection(ConfigFormat::toolbitsSection())) { }
    doc.writeEntries(ConfigFormat::addonsSection(), addOnLines);
    doc.writeEntries(ConfigFormat::toolbitsSection(), buttonLines);
    return problems;
}

// The add-ons and their commands from doc. Each value as QTA reads it, enclosing quotes taken off: the grid
// shows what QTA runs. Nameless lines are add-ons QTA counts: they keep their place, so every add-on keeps its
// number.
void loadAddOns(Configuration &config, const IniDocument &doc)
{
    QList<AddOnEntry> addOns;
    QStringList commands { ConfigFormat::none() };
    addOns.reserve(doc.sectionLineCount(ConfigFormat::addonsSection()));
    commands.reserve(1 + 5 * addOns.capacity());
    doc.readEntries(ConfigFormat::addonsSection(), IniDocument::KeepEmptyNames, [&](QString &name, QString &value) {
        IniRules::unquote(value);
        commands += ConfigFormat::addOnCommandForms(name, int(addOns.size()));
        addOns.append(ConfigFormat::parseAddOn(name, value));
    });
    config.addOns()->setEntries(addOns);
    config.setAddOnCommands(commands);
}

// The button of one "Toolbits" line, its picture added to images when a bitmap file is new there. The line's
// strings go straight into the button: the value, cut at the first "|", becomes the command.
ToolbarButtonEntry buttonOf(QString &key, QString &value, ButtonImageList *images)
{
    IniRules::unquote(value);
    const qsizetype bar = value.indexOf(u'|');
    const QStringView imageKey = bar < 0 ? QStringView() : QStringView(value).sliced(bar + 1);
    ToolbarButtonEntry button { std::move(key), QString(), -1, bar == 0 || value.isEmpty() };
    const int digit = ConfigFormat::digitImageKey(imageKey);
    if (digit >= 0) {
        button.imageIndex = digit;
    } else if (button.isSeparator) {
        button.imageIndex = 0;
    } else if (!imageKey.isEmpty()) {
        // A missing file keeps its path as written, so the button saves it back unchanged.
        const QString source = imageKey.toString();
        QString pictureKey = shortPathName(source);
        if (pictureKey.isEmpty())
            pictureKey = source;
        button.imageIndex = images->indexOfKey(pictureKey);
        if (button.imageIndex < 0)
            button.imageIndex = images->add(ButtonImageEntry { pictureKey, source, false });
    }
    if (bar >= 0)
        value.truncate(bar);
    button.command = std::move(value);
    return button;
}

// The toolbar from doc; the default toolbar when the file names no button.
void loadToolbar(Configuration &config, const IniDocument &doc)
{
    config.images()->removeFrom(kFirstDroppedPicture);
    QList<ToolbarButtonEntry> buttons;
    buttons.reserve(doc.sectionLineCount(ConfigFormat::toolbitsSection()));
    doc.readEntries(ConfigFormat::toolbitsSection(), IniDocument::KeepEmptyNames,
                    [&](QString &key, QString &value) { buttons.append(buttonOf(key, value, config.images())); });
    if (buttons.isEmpty())
        ResetToolbar(config);
    else
        config.toolbar()->reset(buttons);
}

} // namespace

Configuration::Configuration(QObject *parent)
    : QObject(parent)
    , m_toolbar(new ToolbarModel(this))
    , m_addOns(new AddOnListModel(this))
    , m_images(new ButtonImageList(this))
    , m_addOnCommands { ConfigFormat::none() }
{
}

void Configuration::setAddOnCommands(const QStringList &commands)
{
    if (m_addOnCommands == commands)
        return;
    m_addOnCommands = commands;
    Q_EMIT addOnCommandsChanged();
}

QString qtaIniPath(const QString &iniFolder)
{
    const QString folder = addBackslash(iniFolder);
    const QString path = folder + ConfigFormat::iniFileName();
    if (QFileInfo::exists(path))
        return path;
    // Where file names are case-sensitive, QTA's file may be spelt "qta.ini": edit that file rather than
    // create a second one beside it (looked for in the folder the path names, blanks after it dropped).
    const QStringList matches = QDir(folder).entryList({ ConfigFormat::iniFileName() }, QDir::Files);
    return matches.isEmpty() ? path : folder + matches.first();
}

QList<ToolbarButtonEntry> defaultToolbar()
{
    auto button = [](const char16_t *tooltip, const char16_t *command, int image) {
        return ToolbarButtonEntry { QString::fromUtf16(tooltip), QString::fromUtf16(command), image, false };
    };
    auto separator = [](int number) { return ToolbarButtonEntry { ConfigFormat::separatorKey(number), {}, -1, true }; };
    return {
        button(u"New", u"NEW", 1),
        button(u"Load...", u"LOAD", 2),
        button(u"Save", u"SAVE", 3),
        separator(4),
        button(u"Print", u"PRINT", 4),
        button(u"Print Preview", u"PREVIEW", 5),
        separator(7),
        button(u"Preferences...", u"PREFERENCES", 6),
        button(u"Exit QTA", u"EXIT", 7),
    };
}

void SetupButtonImages(Configuration &config)
{
    ButtonImageList *images = config.images();
    images->clear();
    for (int i = 0; i < kBuiltInPictures; ++i)
        images->add(ButtonImageEntry { QString::number(i), QStringLiteral(":/buttons/%1.bmp").arg(i), true });
}

void ResetToolbar(Configuration &config)
{
    config.images()->removeFrom(kFirstDroppedPicture);
    config.toolbar()->reset(defaultToolbar());
}

bool LoadConfiguration(Configuration &config, const QString &iniFolder, QString *error, QString *remark,
                       FileStamp *stamp)
{
    const QString path = qtaIniPath(iniFolder);
    QByteArray bytes;
    if (!FileSafety::readFile(path, &bytes, error))
        return false;
    if (stamp)
        *stamp = FileStamp::forBytes(path, bytes);
    // Odd content still loads: the user hears of it, and a save keeps every byte outside our two sections.
    if (remark)
        *remark = describeUnusualContent(bytes, path);
    const IniDocument doc(bytes);
    loadAddOns(config, doc);
    loadToolbar(config, doc);
    return true;
}

bool SaveConfiguration(const Configuration &config, const QString &iniFolder, QString *error,
                       const BeforeWrite &beforeWrite, FileStamp *stamp)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    const QString path = qtaIniPath(iniFolder);
    // Read the file again: another program may have changed it since it was loaded.
    QByteArray old;
    if (!FileSafety::readFile(path, &old, error))
        return false;
    // Lines of 8-bit text added to a UTF-16 file would be unreadable to everyone, QTA included.
    if (old.startsWith("\xFF\xFE") || old.startsWith("\xFE\xFF")) {
        return fail(QStringLiteral("Nothing was saved to \"%1\": the file is UTF-16 text, which the editor cannot "
                                   "add to without spoiling it. Save it as ANSI or UTF-8 text in a text editor, "
                                   "then try again.")
                        .arg(QDir::toNativeSeparators(path)));
    }
    IniDocument doc(old);
    const QStringList problems = applyConfiguration(config, doc);
    if (!problems.isEmpty()) {
        return fail(QStringLiteral("Nothing was saved to \"%1\": these entries cannot be written as they stand:\n%2")
                        .arg(QDir::toNativeSeparators(path), problems.join(u'\n')));
    }
    const QByteArray bytes = doc.toBytes();
    // Nothing to change: the file is not touched (and a missing one is not created for nothing).
    if (bytes != old) {
        if (!FileSafety::canWrite(path, error))
            return false;
        if (beforeWrite && !beforeWrite(path))
            return fail(QString());
        if (!FileSafety::writeFile(path, bytes, error))
            return false;
    }
    if (stamp)
        *stamp = FileStamp::forBytes(path, bytes);
    return true;
}
