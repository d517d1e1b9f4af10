#include "tooltiptext.h"

#include <QStringList>

namespace {

// About the width of a message box's line.
constexpr qsizetype kLongLine = 80;

} // namespace

QString tooltipText(const QString &plain)
{
    const QStringList lines = plain.split(u'\n');
    const bool longLine
        = std::any_of(lines.cbegin(), lines.cend(), [](const QString &line) { return line.size() > kLongLine; });
    if (!longLine)
        return plain;
    return QStringLiteral("<p style=\"white-space:pre-wrap\">") + plain.toHtmlEscaped() + QStringLiteral("</p>");
}
