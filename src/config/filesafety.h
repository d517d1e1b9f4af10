#pragma once

#include <QByteArray>
#include <QString>

// Every read and write of QTA.INI passes through here.
namespace FileSafety {

// Reads the whole file into bytes; a missing file reads as none. Returns false, and sets error to a sentence
// naming the file and the reason, when the file exists but cannot be read as settings (a folder, a pipe, a file
// too large).
bool readFile(const QString &path, QByteArray *bytes, QString *error);

// Replaces the file's content in one step: the new bytes go to a hidden temporary file beside it
// (".QTA.INI.qtaedit-..."), which then takes the file's place, so a failure at any point, the process killed
// included, leaves the old file as it was (a temporary left by a kill goes at the next write). A short write
// (a full disk) counts as a failure, and the new copy is read back and compared before the replacement. Writes
// through symbolic links to their final target and keeps the file's permissions, owner and group where
// allowed. On failure returns false and sets error to a sentence naming the file and what went wrong.
//
// Two cases are written in place instead, since a replacement cannot serve them: a file with more than one
// hard link (a new file would leave the other names with the old content) and a file in a folder that takes
// no new files (read-only). The old bytes are kept in memory, and any failure writes them back; the error
// then says whether that worked.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error);

// False when writeFile(path) would be refused before it writes anything (a read-only file, a missing or
// read-only folder, a folder in the file's place, a circle of symbolic links), with the sentence writeFile gives
// in error. A write may still fail later (a full disk).
bool canWrite(const QString &path, QString *error);

// The backup's name: the file's own name, letter case kept, plus ".bak", in the same folder.
QString backupPath(const QString &path);

// Copies the file's current bytes to backupPath(path) through writeFile, replacing an older backup, with
// the file's permissions. A missing file has nothing to keep: returns true and leaves any backup alone.
bool keepBackup(const QString &path, QString *error);

// Test hook: makes every following write accept at most maxBytes bytes, as a full disk would; -1 lifts it.
// Putting the old bytes back after a failed in-place write is not limited.
void setWriteLimitForTesting(qint64 maxBytes);

} // namespace FileSafety
