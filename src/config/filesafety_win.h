#pragma once

// What saving needs of the file system on Windows (filesafety_win.cpp); the rest of the save is shared.

#include <QString>

namespace FileSafetyWin {

// Puts from in place of to in one step (a rename over it, written through to the disk). On failure returns
// false and sets why; from is then still there and to as it was.
bool replace(const QString &from, const QString &to, QString *why);

// Gives to the attributes of from that a replacement would otherwise drop (hidden, system, archive, not
// indexed); a staged copy without a file to replace gets plain ones.
void takeAttributes(const QString &from, const QString &to);

// Marks a staged copy hidden, as its leading dot does elsewhere.
void hide(const QString &path);

// The number of names (hard links) of the file; 1 when it cannot be told.
qint64 linkCount(const QString &path);

} // namespace FileSafetyWin
