#include "inifile.h"

#include "ansitext.h"
#include "filesafety.h"
#include "inidocument.h"
#include "privateprofile.h"

#include <QFile>
#include <cstdio>

namespace {

IniContextState g_context;

IniMessageHandler &messageHandler()
{
    static IniMessageHandler handler = [](const QString &text, const QString &title) {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
    };
    return handler;
}

bool checkRegistered()
{
    if (g_context.Registered)
        return true;
    if (messageHandler())
        messageHandler()(QStringLiteral("[Section] and FileName Not Registered in Private.Ini!"),
                         QStringLiteral("IniFile Logic Error"));
    return false;
}

bool holdsLineBreakOrNul(QStringView text)
{
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n' || c.unicode() == 0)
            return true;
    }
    return false;
}

// Only a file that starts with the UTF-8 mark is UTF-8 text; any other, and a missing one, is 8-bit text.
bool isUtf8File(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(3) == "\xEF\xBB\xBF";
}

// The key without the format's whitespace around it, as a read takes it.
QStringView trimmedKey(QStringView key)
{
    auto space = [](QChar c) { return c.unicode() < 0x80 && IniRules::isSpace(char(c.unicode())); };
    while (!key.isEmpty() && space(key.front()))
        key = key.sliced(1);
    while (!key.isEmpty() && space(key.back()))
        key.chop(1);
    return key;
}

QString keyProblem(QStringView key)
{
    // An empty name is a line "=value", which the file holds like any other.
    const QStringView name = trimmedKey(key);
    // A line break anywhere, blanks around the name included, would end the line early.
    if (holdsLineBreakOrNul(key))
        return QStringLiteral("the name holds a line break or a NUL character");
    if (name.contains(u'='))
        return QStringLiteral("the name holds \"=\"");
    if (name.startsWith(u'[') && name.contains(u']'))
        return QStringLiteral("the name starts with \"[\" and holds \"]\", so its line would read as a section header");
    if (name.startsWith(u';'))
        return QStringLiteral("the name starts with \";\"");
    return QString();
}

} // namespace

const IniContextState &IniContext()
{
    return g_context;
}

void IniRegister(const QString &section, const QString &fileName)
{
    g_context.Section = section.trimmed();
    g_context.FileName = fileName.trimmed();
    g_context.Registered = true;
}

int IniReadSection(IniSectionTable &table)
{
    if (!checkRegistered())
        return 0;
    // One read of the file answers what a read of the key list and one read per key would.
    const FileSafety::ReadResult file = FileSafety::readFile(g_context.FileName);
    const QList<IniEntry> entries = IniDocument(file.ok ? file.bytes : QByteArray()).entries(g_context.Section);
    if (entries.isEmpty())
        return 0;
    table[0].clear();
    table[1].clear();
    for (const IniEntry &entry : entries) {
        table[0].append(entry.key);
        table[1].append(entry.value);
    }
    return int(entries.size());
}

QString IniReadKey(const QString &key, const QString &defaultValue)
{
    if (!checkRegistered())
        return QString();
    return PrivateProfile::readString(g_context.Section, key, defaultValue, -1, g_context.FileName).text;
}

qint16 IniWriteKey(const QString &key, const QString &value, QString *reason)
{
    if (!checkRegistered())
        return 0;
    const QString problem = iniEntryProblem(key, { value }, isUtf8File(g_context.FileName));
    if (!problem.isEmpty()) {
        if (reason)
            *reason = problem;
        return 0;
    }
    return PrivateProfile::writeString(g_context.Section, key, value, g_context.FileName, reason) ? 1 : 0;
}

void IniDeleteSection()
{
    if (!checkRegistered())
        return;
    PrivateProfile::writeString(g_context.Section, std::nullopt, std::nullopt, g_context.FileName);
    g_context.Section.clear();
    g_context.Registered = false;
}

IniMessageHandler setIniMessageHandler(IniMessageHandler handler)
{
    IniMessageHandler previous = std::move(messageHandler());
    messageHandler() = std::move(handler);
    return previous;
}

QString iniKeyProblem(const QString &key)
{
    return keyProblem(key);
}

QString iniEntryProblem(QStringView key, std::initializer_list<QStringView> value, bool utf8)
{
    // Checked without copies: a save checks every entry of both sections.
    const QString problem = keyProblem(key);
    if (!problem.isEmpty())
        return problem;
    for (const QStringView part : value) {
        if (holdsLineBreakOrNul(part))
            return QStringLiteral("the value holds a line break or a NUL character");
    }
    // A line that starts with "[" and holds "]" anywhere is a section header.
    if (trimmedKey(key).startsWith(u'[')) {
        for (const QStringView part : value) {
            if (part.contains(u']'))
                return QStringLiteral("the name starts with \"[\" and the value holds \"]\", so the line would read "
                                      "as a section header");
        }
    }
    if (!utf8) {
        bool encodable = AnsiText::canEncode(key);
        for (const QStringView part : value)
            encodable = encodable && AnsiText::canEncode(part);
        if (!encodable)
            return QStringLiteral("it holds characters the file's 8-bit character set cannot hold");
    }
    return QString();
}
