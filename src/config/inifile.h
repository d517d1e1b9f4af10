#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

// One section of one INI file at a time: register the pair, then read, write or delete by key. Each call
// reads the file as it is on disk; a write that changes something replaces the file in one step.

struct IniContextState
{
    QString Section;
    QString FileName;
    bool Registered = false;
};

// The registered pair, shared by every caller in the process.
const IniContextState &IniContext();

// Row 0: the key names in file order; row 1: the value of each.
using IniSectionTable = std::array<QStringList, 2>;

void IniRegister(const QString &section, const QString &fileName);

// Reads every key of the section with its value into table and returns how many there are. When there are
// none (missing file, missing or empty section) returns 0 and leaves table as it was.
int IniReadSection(IniSectionTable &table);

// The key's value, whole; the default when the key is missing.
QString IniReadKey(const QString &key, const QString &defaultValue);

// Sets key = value. Returns non-zero when written. Refuses (returns 0 and says why in reason) an entry the
// file cannot hold as written: an empty key, a key holding "=", a line break or NUL or starting with "[" or
// ";", a value holding a line break or NUL; and returns 0 when the file cannot be written.
qint16 IniWriteKey(const QString &key, const QString &value, QString *reason = nullptr);

// Removes the section (header and lines) and unregisters the pair.
void IniDeleteSection();

// What a caller shows when a call comes before IniRegister. The default handler writes to stderr; the
// window installs one that shows a message box. Returns the previous handler.
using IniMessageHandler = std::function<void(const QString &text, const QString &title)>;
IniMessageHandler setIniMessageHandler(IniMessageHandler handler);

// Why key cannot be written faithfully as a key of an INI line, or an empty string when it can.
QString iniKeyProblem(const QString &key);
// Why value cannot be written faithfully as the value of an INI line, or an empty string when it can.
QString iniValueProblem(const QString &value);
