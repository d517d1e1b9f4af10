#include "stringfunctions.h"

namespace {

constexpr QChar Blank = u' ';

QString trimBlanksRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == Blank)
        --end;
    return text.left(end);
}

} // namespace

QString trimBlanks(const QString &text)
{
    const QString right = trimBlanksRight(text);
    qsizetype start = 0;
    while (start < right.size() && right.at(start) == Blank)
        ++start;
    return right.mid(start);
}

QString stripNull(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

QString stripQuotes(const QString &text)
{
    const QString trimmed = trimBlanks(text);
    if (trimmed.size() >= 2 && trimmed.startsWith(u'"') && trimmed.endsWith(u'"'))
        return trimmed.mid(1, trimmed.size() - 2);
    return trimmed;
}

QString addBackslash(const QString &path)
{
    const QString trimmed = trimBlanksRight(path);
    if (trimmed.endsWith(u'/') || trimmed.endsWith(u'\\'))
        return trimmed;
#ifdef Q_OS_WIN
    return trimmed + u'\\';
#else
    return trimmed + u'/';
#endif
}
