#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The platform's private-profile calls on one file, by the same rules on every system: each call reads the
// file as it is on disk, and a write that changes something replaces the file in one step.
namespace PrivateProfile {

struct Read
{
    int count = 0; // characters copied, as the platform call returns it
    QString text;
};

// A read with a key. bufferSize is the caller's buffer in characters, the closing NUL included;
// -1 means no limit.
Read readString(const QString &section, const QString &key, const QString &defaultValue, int bufferSize,
                const QString &fileName);

// The key names of a section (the read without a key).
QStringList keyNames(const QString &section, const QString &fileName);

QStringList sectionNames(const QString &fileName);
QStringList sectionLines(const QString &section, const QString &fileName);

// A write. No key: the section is deleted; no value: the key is deleted. Returns false when the file could
// not be written (error then says why).
bool writeString(const QString &section, const std::optional<QString> &key, const std::optional<QString> &value,
                 const QString &fileName, QString *error = nullptr);

} // namespace PrivateProfile
