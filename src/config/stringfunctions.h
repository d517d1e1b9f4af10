#pragma once

#include <QString>

// Small text helpers shared by the loader, the saver and the windows. "Blanks" are spaces only: tabs and other
// white space are kept, as the host does.

// The text without blanks at its two ends.
QString trimBlanks(const QString &text);

// The text up to, not including, its first NUL character; the whole text when it has none.
QString stripNull(const QString &text);

// The text trimmed of blanks; when it then begins and ends with a double quote, those two removed.
QString stripQuotes(const QString &text);

// The path with trailing blanks removed, ending in a path separator: the platform's own is added unless the path
// already ends in "/" or "\".
QString addBackslash(const QString &path);
