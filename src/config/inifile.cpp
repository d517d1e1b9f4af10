#include "inifile.h"

#include "filesafety.h"
#include "inidocument.h"
#include "privateprofile.h"

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

bool holdsLineBreakOrNul(const QString &text)
{
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n' || c.unicode() == 0)
            return true;
    }
    return false;
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
    QString problem = iniKeyProblem(key);
    if (problem.isEmpty())
        problem = iniValueProblem(value);
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
    // One pass and no copies: a save checks every key of both sections.
    auto space = [](QChar c) { return c.unicode() < 0x80 && IniRules::isSpace(char(c.unicode())); };
    qsizetype first = 0;
    qsizetype end = key.size();
    while (first < end && space(key[first]))
        ++first;
    while (end > first && space(key[end - 1]))
        --end;
    if (first == end)
        return QStringLiteral("the name is empty");
    // A line break anywhere, blanks around the name included, would end the line early.
    if (holdsLineBreakOrNul(key))
        return QStringLiteral("the name holds a line break or a NUL character");
    if (QStringView(key).sliced(first, end - first).contains(u'='))
        return QStringLiteral("the name holds \"=\"");
    if (key[first] == u'[')
        return QStringLiteral("the name starts with \"[\"");
    if (key[first] == u';')
        return QStringLiteral("the name starts with \";\"");
    return QString();
}

QString iniValueProblem(const QString &value)
{
    if (holdsLineBreakOrNul(value))
        return QStringLiteral("the value holds a line break or a NUL character");
    return QString();
}
