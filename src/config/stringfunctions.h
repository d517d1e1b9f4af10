#pragma once

#include <QString>

// Small text helpers shared by the loader, the saver and the windows. "Blanks" are spaces only: tabs and other
// white space are kept, as the host does.

// Replaces every occurrence of find in source (letter case ignored, left to right, never overlapping, the
// replacement is not searched again) and returns how many were replaced. Callers take an empty result as
// "nothing found": when find does not occur, or find is empty, result becomes "" and the count is 0. A source
// made only of blanks leaves result as the caller passed it and returns 0.
int ReplaceText(const QString &source, const QString &find, const QString &replacement, QString &result);

// The text up to, not including, its first NUL character; the whole text when it has none.
QString StripNull(const QString &text);

// The text trimmed of blanks; when it then begins and ends with a double quote, those two removed.
QString StripQuotes(const QString &text);

// The path with trailing blanks removed, ending in a path separator: the platform's own is added unless the path
// already ends in "/" or "\".
QString AddBackslash(const QString &path);
