#include "configuration.h"

#include "ansitext.h"
#include "filesafety.h"
#include "inidocument.h"
#include "inifile.h"
#include "pathfunctions.h"
#include "stringfunctions.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kBuiltInPictures = 8;
// A load drops the pictures from this index on; the one at index 8 stays until the program ends.
constexpr int kFirstDroppedPicture = 9;

QString describe(const QString &what, int number, const QString &key)
{
    return QStringLiteral("%1 %2 (\"%3\")").arg(what).arg(number).arg(key);
}

// Why the entry cannot be written as it stands, or an empty string.
QString entryProblem(const IniDocument &doc, const QString &key, const QString &value)
{
    QString problem = iniKeyProblem(key);
    if (problem.isEmpty())
        problem = iniValueProblem(value);
    if (problem.isEmpty() && !doc.isUtf8() && !(AnsiText::canEncode(key) && AnsiText::canEncode(value)))
        problem = QStringLiteral("it holds characters the file's 8-bit character set cannot hold");
    return problem;
}

// A read trims blanks around names and values; written without them, the lines read back exactly as written
// and the next save of the same lists finds nothing to change.
IniEntry trimmedLine(const IniEntry &line)
{
    return IniEntry{IniRules::trimmed(line.key), IniRules::trimmed(line.value)};
}

QString imageKeyFor(const Configuration &config, int imageIndex)
{
    if (imageIndex < 0)
        return QString();
    // A digit key that named no picture is written back as it was read.
    return config.images()->contains(imageIndex) ? config.images()->keyAt(imageIndex) : QString::number(imageIndex);
}

} // namespace

Configuration::Configuration(QObject *parent)
    : QObject(parent)
    , m_toolbar(new ToolbarModel(this))
    , m_addOns(new AddOnListModel(this))
    , m_images(new ButtonImageList(this))
    , m_addOnCommands{ConfigFormat::none()}
{
}

void Configuration::setAddOnCommands(const QStringList &commands)
{
    if (m_addOnCommands == commands)
        return;
    m_addOnCommands = commands;
    Q_EMIT addOnCommandsChanged();
}

QString IniFilePath(const QString &iniFolder)
{
    const QString path = AddBackslash(iniFolder) + ConfigFormat::iniFileName();
    if (QFileInfo::exists(path))
        return path;
    // Where file names are case-sensitive, QTA's file may be spelt "qta.ini": edit that file rather than
    // create a second one beside it.
    const QStringList matches = QDir(iniFolder).entryList({ConfigFormat::iniFileName()}, QDir::Files);
    return matches.isEmpty() ? path : AddBackslash(iniFolder) + matches.first();
}

QList<ToolbarButtonEntry> DefaultToolbar()
{
    auto button = [](const char16_t *tooltip, const char16_t *command, int image) {
        return ToolbarButtonEntry{QString::fromUtf16(tooltip), QString::fromUtf16(command), image, false};
    };
    auto separator = [](int number) { return ToolbarButtonEntry{ConfigFormat::separatorKey(number), {}, -1, true}; };
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
        images->add(ButtonImageEntry{QString::number(i), QStringLiteral(":/buttons/%1.bmp").arg(i), true});
}

void ResetToolbar(Configuration &config)
{
    config.images()->removeFrom(kFirstDroppedPicture);
    config.toolbar()->reset(DefaultToolbar());
}

ConfigResult LoadConfiguration(Configuration &config, const QString &iniFolder)
{
    const QString path = IniFilePath(iniFolder);
    const FileSafety::ReadResult file = FileSafety::readFile(path);
    if (!file.ok)
        return ConfigResult{false, file.error};
    const IniDocument doc(file.bytes);

    QList<AddOnEntry> addOns;
    QStringList commands{ConfigFormat::none()};
    // Command lines keep their quotes, so a quoted path survives the round trip and gains parameters after
    // its closing quote.
    const QList<IniEntry> addOnLines
        = doc.entries(ConfigFormat::addonsSection(), IniDocument::SkipEmptyKeys | IniDocument::KeepQuotes);
    addOns.reserve(addOnLines.size());
    commands.reserve(1 + 5 * addOnLines.size());
    for (const IniEntry &line : addOnLines) {
        commands += ConfigFormat::addOnCommandForms(line.key, int(addOns.size()));
        addOns.append(ConfigFormat::parseAddOn(line.key, line.value));
    }
    config.addOns()->setEntries(addOns);
    config.setAddOnCommands(commands);

    ButtonImageList *images = config.images();
    images->removeFrom(kFirstDroppedPicture);
    const QList<IniEntry> buttonLines = doc.entries(ConfigFormat::toolbitsSection(), IniDocument::SkipEmptyKeys);
    if (buttonLines.isEmpty()) {
        ResetToolbar(config);
        return ConfigResult{};
    }
    QList<ToolbarButtonEntry> buttons;
    buttons.reserve(buttonLines.size());
    for (const IniEntry &line : buttonLines) {
        const ConfigFormat::ToolbitsValue value = ConfigFormat::splitToolbitsValue(line.value);
        ToolbarButtonEntry button{line.key, value.command, -1, value.command.isEmpty()};
        const int digit = ConfigFormat::digitImageKey(value.imageKey);
        if (digit >= 0) {
            button.ImageIndex = digit;
        } else if (button.IsSeparator) {
            button.ImageIndex = 0;
        } else if (!value.imageKey.isEmpty()) {
            // A missing file keeps its path as written, so the button saves it back unchanged.
            QString key = GetShortPath(value.imageKey);
            if (key.isEmpty())
                key = value.imageKey;
            button.ImageIndex = images->indexOfKey(key);
            if (button.ImageIndex < 0)
                button.ImageIndex = images->add(ButtonImageEntry{key, value.imageKey, false});
        }
        buttons.append(button);
    }
    config.toolbar()->reset(buttons);
    return ConfigResult{};
}

QStringList ApplyConfiguration(const Configuration &config, IniDocument &doc)
{
    QStringList problems;
    QList<IniEntry> addOnLines;
    const QList<AddOnEntry> &addOns = config.addOns()->entries();
    addOnLines.reserve(addOns.size());
    for (int row = 0; row < addOns.size(); ++row) {
        const IniEntry line{addOns[row].Name, ConfigFormat::addOnValue(addOns[row])};
        const QString problem = entryProblem(doc, line.key, line.value);
        if (!problem.isEmpty())
            problems.append(describe(QStringLiteral("Add-on in row"), row + 1, line.key) + QStringLiteral(": ") + problem);
        addOnLines.append(trimmedLine(line));
    }
    QList<IniEntry> buttonLines;
    const QList<ToolbarButtonEntry> &buttons = config.toolbar()->entries();
    buttonLines.reserve(buttons.size());
    for (int i = 0; i < buttons.size(); ++i) {
        const ToolbarButtonEntry &button = buttons[i];
        const IniEntry line{button.Tooltip, button.IsSeparator
                                                ? QStringLiteral("|")
                                                : button.Command + u'|' + imageKeyFor(config, button.ImageIndex)};
        QString problem = entryProblem(doc, line.key, line.value);
        // A reload splits at the first "|" and takes an empty command for a separator.
        if (problem.isEmpty() && !button.IsSeparator && button.Command.contains(u'|'))
            problem = QStringLiteral("its command holds \"|\"");
        if (problem.isEmpty() && !button.IsSeparator && IniRules::trimmed(button.Command).isEmpty())
            problem = QStringLiteral("it has no command, so it would load back as a separator");
        if (!problem.isEmpty())
            problems.append(describe(QStringLiteral("Toolbar button"), i + 1, line.key) + QStringLiteral(": ") + problem);
        IniEntry written = trimmedLine(line);
        // A read takes one pair of enclosing quotes off a value (command 'x with picture file x' reads back as
        // x|x): give such a value a pair to lose, so QTA and a reload see the command and image key as they are.
        if (IniRules::unquoted(written.value).size() != written.value.size())
            written.value = u'"' + written.value + u'"';
        buttonLines.append(written);
    }
    if (!problems.isEmpty())
        return problems;
    // Every copy goes: the platform deletes only the first, and the next would surface with stale lines.
    doc.removeAllSections(ConfigFormat::addonsSection());
    doc.removeAllSections(ConfigFormat::toolbitsSection());
    doc.appendSection(ConfigFormat::addonsSection(), addOnLines);
    doc.appendSection(ConfigFormat::toolbitsSection(), buttonLines);
    return problems;
}

ConfigResult SaveConfiguration(const Configuration &config, const QString &iniFolder)
{
    const QString path = IniFilePath(iniFolder);
    // Read the file again: another program may have changed it since it was loaded.
    const FileSafety::ReadResult file = FileSafety::readFile(path);
    if (!file.ok)
        return ConfigResult{false, file.error};
    IniDocument doc(file.bytes);
    const QStringList problems = ApplyConfiguration(config, doc);
    if (!problems.isEmpty()) {
        return ConfigResult{false, QStringLiteral("Nothing was saved to \"%1\": these entries cannot be written as they "
                                                  "stand:\n%2")
                                       .arg(QDir::toNativeSeparators(path), problems.join(u'\n'))};
    }
    const QByteArray bytes = doc.toBytes();
    // Nothing to change: the file is not touched (and a missing one is not created for nothing).
    if (bytes == file.bytes)
        return ConfigResult{};
    QString error;
    if (!FileSafety::writeFile(path, bytes, &error))
        return ConfigResult{false, error};
    return ConfigResult{};
}
