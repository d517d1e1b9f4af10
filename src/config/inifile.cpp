#include "inifile.h"

#include "ansitext.h"
#include "inidocument.h"

namespace {

bool holdsLineBreakOrNul(QStringView text)
{
    for (QChar c : text) {
        if (c == u'\r' || c == u'\n' || c.unicode() == 0)
            return true;
    }
    return false;
}

QString keyProblem(QStringView key)
{
    // An empty name is a line "=value", which the file holds like any other.
    const QStringView name = IniRules::trimmed(key);
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
    if (IniRules::trimmed(key).startsWith(u'[')) {
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
