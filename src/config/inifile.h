#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <initializer_list>

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
// file cannot hold as written (see iniEntryProblem); returns 0 when the file cannot be written.
qint16 IniWriteKey(const QString &key, const QString &value, QString *reason = nullptr);

// Removes the section (header and lines) and unregisters the pair.
void IniDeleteSection();

// What a caller shows when a call comes before IniRegister. The default handler writes to stderr; the
// window installs one that shows a message box. Returns the previous handler.
using IniMessageHandler = std::function<void(const QString &text, const QString &title)>;
IniMessageHandler setIniMessageHandler(IniMessageHandler handler);

// Why key cannot be the key of a line that reads back as that key (blanks around it aside), whatever the
// value, or an empty string when it can.
QString iniKeyProblem(const QString &key);
// Why the line key=value cannot be written so that a read gives back the key and the value, or an empty
// string when it can. The value may come in parts, as the line joins them; a value a read would change goes
// into quotes, which is no problem. A file of 8-bit text (utf8 false) holds only its code page's characters.
QString iniEntryProblem(QStringView key, std::initializer_list<QStringView> value, bool utf8);
