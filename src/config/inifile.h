#pragma once

#include <QString>
#include <QStringView>
#include <initializer_list>

// What one line of QTA.INI can hold so that a read gives back what was written.

// Why key cannot be the key of a line that reads back as that key (blanks around it aside), whatever the
// value, or an empty string when it can.
QString iniKeyProblem(const QString &key);
// Why the line key=value cannot be written so that a read gives back the key and the value, or an empty
// string when it can. The value may come in parts, as the line joins them; a value a read would change goes
// into quotes, which is no problem. A file of 8-bit text (utf8 false) holds only its code page's characters.
QString iniEntryProblem(QStringView key, std::initializer_list<QStringView> value, bool utf8);
