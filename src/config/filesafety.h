#pragma once

#include <QByteArray>
#include <QString>

// Every read and write of QTA.INI passes through here.
namespace FileSafety {

struct ReadResult
{
    bool ok = false;     // false: the file exists but could not be read (error says why)
    bool exists = false;
    QByteArray bytes;
    QString error;
};

ReadResult readFile(const QString &path);

// Replaces the file's content in one step: the new bytes go to a hidden temporary file beside it
// (".QTA.INI.qtaedit-..."), which then takes the file's place, so a failure at any point, the process killed
// included, leaves the old file as it was (a temporary left by a kill goes at the next write). A short write
// (a full disk) counts as a failure, and the result is read back and compared after the replacement. Writes
// through a symbolic link to its target and keeps the file's permissions. On failure returns false and sets
// error to a sentence naming the file and what went wrong.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

// Test hook: makes every following write accept at most maxBytes bytes, as a full disk would; -1 lifts it.
void setWriteLimitForTesting(qint64 maxBytes);

} // namespace FileSafety
