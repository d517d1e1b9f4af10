#pragma once

#include <QString>

// A tooltip for text that may hold long lines: as it is when every line is short, else as rich text that
// wraps at word boundaries (a tooltip of plain text is one line however long), keeping the line breaks and
// blanks it has.
QString tooltipText(const QString &plain);
